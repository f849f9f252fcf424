#!/usr/bin/env bash
# Installs what building and testing Codeloom needs on Debian 12, as root.
# Packages already present are left alone; apt runs only when one is missing.
set -eu
packages=(
  cmake ninja-build g++ libgtest-dev libcli11-dev   # native build and unit tests
  python3                                            # CLI and hostile-input tests, the icon
  unzip icoutils                                     # checking the release zip
  g++-mingw-w64-x86-64-posix                         # the Windows programs
  clang-14 libclang-rt-14-dev                        # the fuzz targets (libFuzzer)
  wine64 fonts-wine xvfb                             # end-to-end tests
  imagemagick x11-utils                              # the README screenshot
  lcov                                               # scripts/coverage.sh
  universal-ctags                                    # bench/run.sh compares with it
  ccache                                             # rebuilds of the same sources, in any clone
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
