// The token routines over a delimited text from outside. The input is the delimiter (up to the
// first zero byte) and the text. Counting and taking tokens agree: CountTokens calls of GetToken
// take the whole text, the last one finding no delimiter. Too many tokens or positions past the
// 16-bit range are reported in a message box, never a crash.

#include <string>

#include "fuzz/FuzzSupport.h"
#include "presentation/basTOKENS.h"
#include "runtime/Utf8.h"

using namespace tamarind;

namespace {

class CountingBox : public MessageBoxService {
 public:
  MsgBoxResult MsgBox(const std::string&, int32_t, const std::string&) override {
    ++shown;
    return vbOK;
  }
  int shown = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 128 * 1024) return 0;
  const std::string_view input = fuzz::AsText(data, size);
  const size_t split = input.find('\0');
  if (split == std::string_view::npos) return 0;
  const std::string_view delim = input.substr(0, split);
  std::string text(input.substr(split + 1));

  CountingBox box;
  const int16_t n = basTOKENS::CountTokens(box, text, delim);
  if (box.shown) {
    fuzz::Require(n == 0, "a reported count is 0");
    return 0;
  }
  fuzz::Require(n >= 0 && (n == 0) == text.empty(), "only the empty text has no tokens");
  for (int16_t i = 1; i <= n; ++i) {
    if (i == n && !delim.empty())
      fuzz::Require(utf8::FindCharacters(text, delim, 0) == std::string_view::npos, "the last token has no delimiter");
    basTOKENS::GetToken(box, text, delim);
    fuzz::Require(box.shown == 0, "tokens that were counted are taken without a report");
  }
  fuzz::Require(text.empty(), "CountTokens calls of GetToken take the whole text");
  return 0;
}
