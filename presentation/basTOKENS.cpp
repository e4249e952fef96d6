#include "presentation/basTOKENS.h"

#include "runtime/Text.h"

namespace tamarind::basTOKENS {

namespace {
// Token positions are 16-bit.
int16_t Position(int32_t p) {
  if (p > 32767) Raise(err::Overflow, "basTOKENS");
  return static_cast<int16_t>(p);
}
}  // namespace

std::string GetToken(MessageBoxService& box, std::string& text, std::string_view delim) {
  return ReportAndEnd<std::string>(box, ":Error in GetToken() Function.  Error Message:", vbExclamation, [&] {
    // An empty delimiter splits nothing: the whole text is one token.
    const int16_t p = delim.empty() ? 0 : Position(text::InStr(text, delim));
    std::string token, rest;
    if (p > 0) {
      token = text::Trim(text::Left(text, p - 1));
      rest = text::Mid(text, p + 1);  // a longer delimiter is found whole but only its first character skipped
    } else {
      token = text::Trim(text);
    }
    text = std::move(rest);
    return token;
  });
}

int16_t CountTokens(MessageBoxService& box, std::string text, std::string_view delim) {
  return ReportAndEnd<int16_t>(box, ":Error in CountTokens() Function.  Error Message:", vbExclamation, [&] {
    if (text.empty()) return int16_t{0};
    if (delim.empty()) return int16_t{1};
    int32_t count = 1;
    for (int32_t p = Position(text::InStr(1, text, delim)); p > 0; p = Position(text::InStr(p + 1, text, delim))) {
      if (++count > 32767) Raise(err::Overflow, "basTOKENS");
    }
    return static_cast<int16_t>(count);
  });
}

void Pause(platform::Toolkit& tk, int32_t& ms) {
  if (ms <= 0) return;
  platform::Clock& clock = tk.GetClock();
  const int64_t t0 = clock.GetTickCount();
  while (static_cast<int64_t>(clock.GetTickCount()) < t0 + ms) {
    clock.Sleep(1);
    tk.DoEvents();
  }
}

}  // namespace tamarind::basTOKENS
