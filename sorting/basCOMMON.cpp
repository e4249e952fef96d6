#include "sorting/basCOMMON.h"

#include "runtime/Text.h"
#include "runtime/Utf8.h"

namespace tamarind::basCOMMON {

namespace {

// Replaces without regard to letter case: at each character boundary the next as many characters
// as search has are compared with it case-folded; a match is replaced and skipped.
std::string ReplaceIgnoringCase(std::string_view text, std::string_view search, std::string_view replacement) {
  const std::string wanted = text::FoldCase(search);
  const size_t characters = utf8::Length(search);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = utf8::Advance(text, pos, characters);
    if (utf8::Length(text.substr(pos, end - pos)) == characters && text::FoldCase(text.substr(pos, end - pos)) == wanted) {
      out.append(replacement);
      pos = end;
    } else {
      const size_t next = utf8::Advance(text, pos, 1);
      out.append(text.substr(pos, next - pos));
      pos = next;
    }
  }
  return out;
}

}  // namespace

std::string ReplaceChar(MessageBoxService& box, std::string_view text, std::string_view search,
                        std::string_view replacement, bool caseSensitive) {
  return ReportAndEnd<std::string>(box, ":Error in ReplaceChar.  Error Message: ", vbCritical, [&] {
    if (search.empty()) return std::string(text);
    return caseSensitive ? text::Replace(text, search, replacement) : ReplaceIgnoringCase(text, search, replacement);
  });
}

}  // namespace tamarind::basCOMMON
