// The forum text. Flags: the seed of the piece sizes. Parts: the file name,
// then the file's bytes. The block is built from the whole file and again
// from pieces of random sizes, cut anywhere; both must be equal.
#include <algorithm>
#include <string>

#include "forum/forum_text.h"
#include "fuzz/fuzz_input.h"

namespace codeloom::fuzz {
namespace {

// The file read piece by piece, cut anywhere, in pieces of random sizes.
std::string blockInPieces(std::string_view name, std::string_view bytes, uint32_t seed) {
  std::string_view text = bytes.substr(0, bytes.find('\x1A'));  // nothing after 0x1A is passed
  uint32_t state = seed * 2654435761u + 1;  // never 0 for a seed below 256
  size_t largest = size_t{1} << (seed % 9);  // pieces of at most 1 .. 256 bytes
  std::string out;
  appendForumHead(out, name);
  ForumLines lines;
  for (size_t at = 0; at < text.size();) {
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
    size_t take = std::min<size_t>(state % (largest + 1), text.size() - at);
    appendForumLines(out, lines, text.substr(at, take));
    at += take;
  }
  appendForumTail(out);
  return out;
}

}  // namespace
}  // namespace codeloom::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace codeloom;
  using namespace codeloom::fuzz;
  FuzzInput input = splitInput(data, size, 2);
  std::string_view name = input.parts[0], bytes = input.parts[1];

  std::string whole;
  appendForumBlock(whole, name, bytes);
  FUZZ_CHECK(whole == blockInPieces(name, bytes, input.flags));

  // The code between the head and the tail: no tab is left, every line ends
  // in CR LF, and each byte of the file gives at most three (an empty line's
  // CR gives blank, CR, LF) while only the last line end may vanish.
  const std::string head = std::string(name) + "\r\n[code]", tail = "[/code]\r\n \r\n";
  FUZZ_CHECK(whole.size() >= head.size() + tail.size());
  FUZZ_CHECK(whole.starts_with(head) && whole.ends_with(tail));
  std::string_view code =
      std::string_view(whole).substr(head.size(), whole.size() - head.size() - tail.size());
  size_t fileSize = std::min(bytes.size(), bytes.find('\x1A'));
  FUZZ_CHECK(code.find('\t') == std::string_view::npos);
  FUZZ_CHECK(linesEndInCrLf(std::string(code) + "\r\n"));
  FUZZ_CHECK(code.size() + 2 >= fileSize);
  FUZZ_CHECK(code.size() <= 3 * fileSize);
  return 0;
}
