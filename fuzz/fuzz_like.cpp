// The Like operator over a text and a pattern from outside. The input is the pattern, a zero byte,
// then the text. A malformed pattern is Error 93; nothing else comes out. Sizes are bounded so that
// one run stays within the matcher's text length x pattern length steps.

#include <string_view>

#include "fuzz/FuzzSupport.h"
#include "runtime/Error.h"
#include "runtime/Like.h"

using namespace tamarind;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input = fuzz::AsText(data, size);
  const size_t split = input.find('\0');
  const std::string_view pattern = input.substr(0, split);
  const std::string_view text = split == std::string_view::npos ? std::string_view() : input.substr(split + 1);
  if (pattern.size() > 512 || text.size() > 4096) return 0;
  try {
    const bool matched = Like(text, pattern);
    // A pattern matches itself read as a text when it has no wildcard or list at all.
    if (pattern.find_first_of("?*#[") == std::string_view::npos)
      fuzz::Require(Like(pattern, pattern), "a plain pattern matches its own text");
    // "*" + pattern matches whatever pattern matches.
    if (matched) fuzz::Require(Like(text, "*" + std::string(pattern)), "a leading star keeps a match");
  } catch (const Error& e) {
    fuzz::Require(e.Number() == err::InvalidPatternString, "Like raises only Error 93");
  }
  return 0;
}
