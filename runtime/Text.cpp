#include "runtime/Text.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/coll.h>
#include <unicode/locid.h>
#include <unicode/stringoptions.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <memory>

#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::text {

namespace {

constexpr const char* kLocale = "en_US";

void CheckCount(int32_t count) {
  if (count < 0) Raise(err::InvalidProcedureCall);
}

// Byte offset of the 1-based character position (s.size() when past the end).
size_t OffsetOf(std::string_view s, int32_t position) {
  return utf8::Advance(s, 0, static_cast<size_t>(position) - 1);
}

enum class CaseMapping { Upper, Lower, Fold };

void MapWellFormed(CaseMapping mapping, std::string_view run, std::string& out) {
  if (run.empty()) return;
  icu::StringByteSink<std::string> sink(&out);
  UErrorCode status = U_ZERO_ERROR;
  const icu::StringPiece piece(run.data(), static_cast<int32_t>(run.size()));
  switch (mapping) {
    case CaseMapping::Upper:
      icu::CaseMap::utf8ToUpper(kLocale, 0, piece, sink, nullptr, status);
      break;
    case CaseMapping::Lower:
      icu::CaseMap::utf8ToLower(kLocale, 0, piece, sink, nullptr, status);
      break;
    case CaseMapping::Fold:
      icu::CaseMap::utf8Fold(U_FOLD_CASE_DEFAULT, piece, sink, nullptr, status);
      break;
  }
  if (U_FAILURE(status)) Raise(status == U_MEMORY_ALLOCATION_ERROR ? err::OutOfMemory : err::InvalidProcedureCall);
}

char AsciiMap(CaseMapping mapping, char c) {
  if (mapping == CaseMapping::Upper) return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Maps the well-formed runs with ICU and keeps ill-formed bytes as they are. Plain ASCII, the
// common case for keys and cell texts, never reaches ICU.
std::string MapCase(CaseMapping mapping, std::string_view s) {
  std::string out;
  if (utf8::IsAscii(s)) {
    out.resize(s.size());
    for (size_t i = 0; i < s.size(); ++i) out[i] = AsciiMap(mapping, s[i]);
    return out;
  }
  out.reserve(s.size());
  size_t runStart = 0;
  for (size_t pos = 0; pos < s.size();) {
    const utf8::Char c = utf8::Decode(s, pos);
    if (!c.valid) {
      MapWellFormed(mapping, s.substr(runStart, pos - runStart), out);
      out.push_back(s[pos]);
      runStart = pos + 1;
    }
    pos += c.length;
  }
  MapWellFormed(mapping, s.substr(runStart), out);
  return out;
}

// ICU collators are not thread-safe: every thread gets its own, made on first use.
icu::Collator& ThreadCollator() {
  thread_local std::unique_ptr<icu::Collator> collator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> c(icu::Collator::createInstance(icu::Locale(kLocale), status));
    if (U_FAILURE(status) || !c) Raise(err::CannotCreateObject, "Text", "The text collator cannot be created");
    c->setStrength(icu::Collator::SECONDARY);  // letters and accents count, letter case does not
    c->setAttribute(UCOL_NORMALIZATION_MODE, UCOL_ON, status);  // precomposed and combining forms agree
    return c;
  }();
  return *collator;
}

icu::StringPiece Piece(std::string_view s) { return icu::StringPiece(s.data(), static_cast<int32_t>(s.size())); }

}  // namespace

int32_t Len(std::string_view s) { return static_cast<int32_t>(utf8::Length(s)); }

std::string Left(std::string_view s, int32_t count) {
  CheckCount(count);
  return std::string(s.substr(0, utf8::Advance(s, 0, static_cast<size_t>(count))));
}

std::string Right(std::string_view s, int32_t count) {
  CheckCount(count);
  const int32_t length = Len(s);
  if (count >= length) return std::string(s);
  return std::string(s.substr(OffsetOf(s, length - count + 1)));
}

std::string Mid(std::string_view s, int32_t start, int32_t count) {
  if (start < 1) Raise(err::InvalidProcedureCall);
  const size_t from = OffsetOf(s, start);
  if (count < 0) return std::string(s.substr(from));
  return std::string(s.substr(from, utf8::Advance(s, from, static_cast<size_t>(count)) - from));
}

int32_t InStr(int32_t start, std::string_view s, std::string_view find) {
  if (start < 1) Raise(err::InvalidProcedureCall);
  const int32_t length = Len(s);
  if (start > length + 1) return 0;
  if (find.empty()) return start;
  const size_t from = OffsetOf(s, start);
  const size_t at = utf8::FindCharacters(s, find, from);
  if (at == std::string_view::npos) return 0;
  return start + static_cast<int32_t>(utf8::Length(s.substr(from, at - from)));
}

std::string LTrim(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  return first == std::string_view::npos ? std::string() : std::string(s.substr(first));
}

std::string RTrim(std::string_view s) {
  const size_t last = s.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s) {
  const size_t first = s.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string UCase(std::string_view s) { return MapCase(CaseMapping::Upper, s); }
std::string LCase(std::string_view s) { return MapCase(CaseMapping::Lower, s); }
std::string FoldCase(std::string_view s) { return MapCase(CaseMapping::Fold, s); }

std::string Replace(std::string_view s, std::string_view find, std::string_view with) {
  if (find.empty()) return std::string(s);
  std::string out;
  out.reserve(s.size());
  size_t pos = 0;
  for (size_t at; (at = utf8::FindCharacters(s, find, pos)) != std::string_view::npos; pos = at + find.size()) {
    out.append(s.substr(pos, at - pos));
    out.append(with);
  }
  out.append(s.substr(pos));
  return out;
}

int CompareText(std::string_view a, std::string_view b) {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult r = ThreadCollator().compareUTF8(Piece(a), Piece(b), status);
  if (U_FAILURE(status)) Raise(err::InvalidProcedureCall);
  return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

std::string CollationKey(std::string_view s) {
  // Ill-formed bytes become U+FFFD here exactly as compareUTF8 reads them.
  const icu::UnicodeString u = icu::UnicodeString::fromUTF8(Piece(s));
  icu::Collator& collator = ThreadCollator();
  std::string key(s.size() * 2 + 16, '\0');
  int32_t needed = collator.getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
  if (needed > static_cast<int32_t>(key.size())) {
    key.resize(static_cast<size_t>(needed));
    needed = collator.getSortKey(u, reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
  }
  if (needed <= 0) Raise(err::InvalidProcedureCall);
  key.resize(static_cast<size_t>(needed) - 1);  // drop the terminating zero byte
  return key;
}

void CollationKeys::Reserve(size_t texts, size_t bytes) {
  ends_.reserve(texts);
  bytes_.reserve(bytes);
}

void CollationKeys::Add(std::string_view s) {
  // The same UTF-16 text CollationKey keys: ill-formed bytes become U+FFFD.
  units_.resize(s.size());
  int32_t length = 0;
  if (utf8::IsAscii(s)) {
    for (size_t i = 0; i < s.size(); ++i) units_[i] = static_cast<char16_t>(s[i]);
    length = static_cast<int32_t>(s.size());
  } else {
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(units_.data(), static_cast<int32_t>(units_.size()), &length, s.data(),
                         static_cast<int32_t>(s.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status)) Raise(err::InvalidProcedureCall);
  }
  icu::Collator& collator = ThreadCollator();
  const size_t start = bytes_.size();
  size_t room = s.size() * 2 + 16;
  for (;;) {
    bytes_.resize(start + room);
    const int32_t needed = collator.getSortKey(units_.data(), length, reinterpret_cast<uint8_t*>(bytes_.data() + start),
                                               static_cast<int32_t>(room));
    if (needed <= 0) {
      bytes_.resize(start);
      Raise(err::InvalidProcedureCall);
    }
    if (static_cast<size_t>(needed) <= room) {
      bytes_.resize(start + static_cast<size_t>(needed) - 1);  // without the terminating zero byte
      break;
    }
    room = static_cast<size_t>(needed);
  }
  ends_.push_back(bytes_.size());
}

std::string_view CollationKeys::Key(size_t i) const {
  const size_t begin = i == 0 ? 0 : ends_[i - 1];
  return std::string_view(bytes_).substr(begin, ends_[i] - begin);
}

uint64_t CollationKeys::Prefix(size_t i) const {
  const std::string_view key = Key(i);
  uint64_t prefix = 0;
  for (size_t b = 0; b < 8; ++b) prefix = (prefix << 8) | (b < key.size() ? static_cast<uint8_t>(key[b]) : 0u);
  return prefix;
}

std::string ChrW(char32_t codePoint) {
  if (!utf8::IsScalarValue(codePoint)) Raise(err::InvalidProcedureCall);
  std::string out;
  utf8::Append(out, codePoint);
  return out;
}

char32_t AscW(std::string_view s) {
  if (s.empty()) Raise(err::InvalidProcedureCall);
  const utf8::Char c = utf8::Decode(s, 0);
  return c.valid ? c.codePoint : char32_t{0xFFFD};
}

std::string Truncate(std::string_view s, int32_t count) {
  CheckCount(count);
  return std::string(s.substr(0, utf8::Advance(s, 0, static_cast<size_t>(count))));
}

}  // namespace tamarind::text
