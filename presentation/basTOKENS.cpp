#include "presentation/basTOKENS.h"

#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace tamarind::basTOKENS {

namespace {

// Token positions are 16-bit: a delimiter found past character 32767 is an overflow.
void CheckPosition(int64_t position) {
  if (position > 32767) Raise(err::Overflow, "basTOKENS");
}

// The 1-based character position of byte offset at.
int64_t PositionOf(std::string_view text, size_t at) {
  return static_cast<int64_t>(utf8::Length(text.substr(0, at))) + 1;
}

}  // namespace

// Both routines make one pass over the text: the delimiters are found by byte search on character
// boundaries and positions are counted as the search moves on, never from the start again.

std::string GetToken(MessageBoxService& box, std::string& text, std::string_view delim) {
  return ReportAndEnd<std::string>(box, ":Error in GetToken() Function.  Error Message:", vbExclamation, [&] {
    // An empty delimiter splits nothing: the whole text is one token.
    const size_t at = delim.empty() ? std::string_view::npos : utf8::FindCharacters(text, delim, 0);
    std::string token;
    if (at != std::string_view::npos) {
      CheckPosition(PositionOf(text, at));
      token = text::Trim(std::string_view(text).substr(0, at));
      // A longer delimiter is found whole but only its first character is taken off.
      text.erase(0, at + utf8::Decode(text, at).length);
    } else {
      token = text::Trim(text);
      text.clear();
    }
    return token;
  });
}

int16_t CountTokens(MessageBoxService& box, std::string text, std::string_view delim) {
  return ReportAndEnd<int16_t>(box, ":Error in CountTokens() Function.  Error Message:", vbExclamation, [&] {
    if (text.empty()) return int16_t{0};
    if (delim.empty()) return int16_t{1};
    const std::string_view t = text;
    int32_t count = 1;
    size_t from = 0;        // where the next search starts: one character after the last match
    int64_t position = 1;   // the character position of from
    for (size_t at; (at = utf8::FindCharacters(t, delim, from)) != std::string_view::npos;) {
      position += static_cast<int64_t>(utf8::Length(t.substr(from, at - from)));
      CheckPosition(position);
      if (++count > 32767) Raise(err::Overflow, "basTOKENS");
      from = at + utf8::Decode(t, at).length;
      position += 1;
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
