// Lets ctest run the unit tests once per byte-mask kernel: the environment
// variable CODELOOM_MASK_KERNEL (scalar, sse2 or avx2) picks the kernel the
// text readers use; without it they use the best the CPU has. Only the
// test binary reads it.
#include <cstdlib>
#include <cstring>

#include "platform/byte_masks.h"

namespace codeloom {
namespace {

[[maybe_unused]] const bool kKernelChosen = [] {
  const char* name = std::getenv("CODELOOM_MASK_KERNEL");
  if (!name) return false;
  MaskKernel kernel = std::strcmp(name, "scalar") == 0 ? MaskKernel::Scalar
                      : std::strcmp(name, "sse2") == 0 ? MaskKernel::Sse2
                      : std::strcmp(name, "avx2") == 0 ? MaskKernel::Avx2
                                                       : MaskKernel::Best;
  useMaskKernel(kernel);
  return true;
}();

}  // namespace
}  // namespace codeloom
