#include "platform/FormFile.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <type_traits>

#include <fcntl.h>
#include <unistd.h>

#include "platform/Font.h"
#include "platform/ImageList.h"
#include "platform/Picture.h"
#include "platform/SavedProperties.h"
#include "runtime/Calendar.h"
#include "runtime/Error.h"
#include "runtime/WholeFile.h"

namespace tamarind::platform {

namespace {

constexpr std::string_view kMagic = "TAMARIND-FORM";
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

[[noreturn]] void Corrupt(size_t line, const std::string& why) {
  Raise(err::InvalidPropertyValue, "FormFile",
        "The form file is damaged: line " + std::to_string(line) + ": " + why);
}

std::string Quote(std::string_view s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char buf[5];
          std::snprintf(buf, sizeof buf, "\\x%02X", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

template <class T>
std::string Number(T v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

std::string Bool(bool b) { return b ? "1" : "0"; }

// A number the reader takes back: never NaN or infinite.
template <class T>
std::string FiniteNumber(T v, const char* what) {
  if (!std::isfinite(v))
    Raise(err::InvalidPropertyValue, "FormFile", std::string("A ") + what + " that is not a finite number cannot be saved");
  return Number(v);
}

std::string EncodePicture(const StdPicture& p) { return p.IsEmpty() ? "-" : Base64Encode(p.ToBmp()); }

std::string EncodeValue(const Variant& v) {
  switch (v.Type()) {
    case VarType::Empty: return "Empty";
    case VarType::Null: return "Null";
    case VarType::Boolean: return std::string("Boolean ") + (v.AsBoolean() ? "True" : "False");
    case VarType::Integer: return "Integer " + std::to_string(v.AsInteger());
    case VarType::Long: return "Long " + std::to_string(v.AsLong());
    case VarType::Single: return "Single " + FiniteNumber(v.AsSingle(), "Single");
    case VarType::Double: return "Double " + FiniteNumber(v.AsDouble(), "Double");
    case VarType::Date:
      if (!calendar::Split(v.AsDate().SerialNumber()))
        Raise(err::InvalidPropertyValue, "FormFile", "A Date outside the years 100 to 9999 cannot be saved");
      return "Date " + Number(v.AsDate().SerialNumber());
    case VarType::String: return "String " + Quote(v.AsString());
    case VarType::Object: {
      const ObjectRef& o = v.AsObject();
      if (!o) return "Nothing";
      if (auto f = std::dynamic_pointer_cast<StdFont>(o))
        return "Font " + Quote(f->Name()) + " " + FiniteNumber(f->Size(), "font size") + " " +
               std::to_string(f->Weight()) + " " +
               Bool(f->Italic()) + " " + Bool(f->Underline()) + " " + Bool(f->Strikethrough()) + " " +
               std::to_string(f->Charset());
      if (auto p = std::dynamic_pointer_cast<StdPicture>(o)) return "Picture " + EncodePicture(*p);
      if (auto l = std::dynamic_pointer_cast<ImageList>(o)) {
        std::string s = "ImageList " + std::to_string(l->ImageWidth()) + " " + std::to_string(l->ImageHeight()) + " " +
                        std::to_string(l->MaskColor()) + " " + Bool(l->UseMaskColor()) + " " +
                        std::to_string(l->Count());
        for (int32_t i = 1; i <= l->Count(); ++i)
          s += " " + Quote(l->Item(i).Key) + " " + EncodePicture(*l->Item(i).Picture);
        return s;
      }
      Raise(err::InvalidPropertyValue, "FormFile", "A " + o->TypeName() + " object cannot be saved in a form file");
    }
  }
  Raise(err::InvalidPropertyValue, "FormFile");
}

// --- reading ---------------------------------------------------------------------------------------

class LineReader {
 public:
  LineReader(std::string_view text, size_t lineNo) : s_(text), line_(lineNo) {}

  bool AtEnd() {
    SkipSpace();
    return pos_ >= s_.size();
  }
  std::string Word() {
    SkipSpace();
    const size_t start = pos_;
    while (pos_ < s_.size() && s_[pos_] != ' ' && s_[pos_] != '\t') ++pos_;
    if (start == pos_) Corrupt(line_, "a value is missing");
    return std::string(s_.substr(start, pos_ - start));
  }
  void Expect(std::string_view word) {
    if (Word() != word) Corrupt(line_, "expected \"" + std::string(word) + "\"");
  }
  std::string Quoted() {
    SkipSpace();
    if (pos_ >= s_.size() || s_[pos_] != '"') Corrupt(line_, "expected a quoted text");
    ++pos_;
    std::string out;
    while (pos_ < s_.size() && s_[pos_] != '"') {
      char c = s_[pos_++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= s_.size()) Corrupt(line_, "a text ends inside an escape");
      const char e = s_[pos_++];
      switch (e) {
        case '"': out += '"'; break;
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 'x': {
          if (pos_ + 2 > s_.size()) Corrupt(line_, "a text ends inside an escape");
          unsigned v = 0;
          auto r = std::from_chars(s_.data() + pos_, s_.data() + pos_ + 2, v, 16);
          if (r.ec != std::errc() || r.ptr != s_.data() + pos_ + 2) Corrupt(line_, "a bad \\x escape");
          out += static_cast<char>(v);
          pos_ += 2;
          break;
        }
        default: Corrupt(line_, "an unknown escape \\" + std::string(1, e));
      }
    }
    if (pos_ >= s_.size()) Corrupt(line_, "a text is not closed (the file may be truncated)");
    ++pos_;
    return out;
  }
  template <class T>
  T Num() {
    const std::string w = Word();
    T v{};
    auto r = std::from_chars(w.data(), w.data() + w.size(), v);
    if (r.ec != std::errc() || r.ptr != w.data() + w.size()) Corrupt(line_, "\"" + w + "\" is not a number");
    if constexpr (std::is_floating_point_v<T>) {
      if (!std::isfinite(v)) Corrupt(line_, "\"" + w + "\" is not a finite number");
    }
    return v;
  }
  // Nothing more on the line.
  void ExpectEnd(std::string_view after) {
    if (!AtEnd()) Corrupt(line_, "unexpected text after " + std::string(after));
  }
  bool Flag() {
    const std::string w = Word();
    if (w == "1") return true;
    if (w == "0") return false;
    Corrupt(line_, "\"" + w + "\" is not 0 or 1");
  }
  PictureRef Picture() {
    const std::string w = Word();
    if (w == "-") return std::make_shared<StdPicture>();
    try {
      return StdPicture::FromBmp(Base64Decode(w));
    } catch (const Error& e) {
      Corrupt(line_, "a picture is damaged (" + e.Description() + ")");
    }
  }
  size_t Line() const { return line_; }

 private:
  void SkipSpace() {
    while (pos_ < s_.size() && (s_[pos_] == ' ' || s_[pos_] == '\t')) ++pos_;
  }
  std::string_view s_;
  size_t pos_ = 0;
  size_t line_;
};

Variant DecodeValue(LineReader& r) {
  const std::string kind = r.Word();
  if (kind == "Empty") return Variant();
  if (kind == "Null") return Variant::Null();
  if (kind == "Nothing") return Variant::Nothing();
  if (kind == "Boolean") {
    const std::string w = r.Word();
    if (w != "True" && w != "False") Corrupt(r.Line(), "a Boolean is True or False");
    return Variant(w == "True");
  }
  if (kind == "Integer") return Variant(r.Num<int16_t>());
  if (kind == "Long") return Variant(r.Num<int32_t>());
  if (kind == "Single") return Variant(r.Num<float>());
  if (kind == "Double") return Variant(r.Num<double>());
  if (kind == "Date") {
    const double serial = r.Num<double>();
    if (!calendar::Split(serial)) Corrupt(r.Line(), "a Date outside the years 100 to 9999");
    return Variant(Date(serial));
  }
  if (kind == "String") return Variant(r.Quoted());
  if (kind == "Font") {
    auto f = std::make_shared<StdFont>();
    f->Name(r.Quoted());
    try {
      f->Size(r.Num<float>());
    } catch (const Error&) {
      Corrupt(r.Line(), "a font size is out of range");
    }
    f->Weight(r.Num<int16_t>());
    f->Italic(r.Flag());
    f->Underline(r.Flag());
    f->Strikethrough(r.Flag());
    f->Charset(r.Num<int16_t>());
    return Variant(f);
  }
  if (kind == "Picture") return Variant(r.Picture());
  if (kind == "ImageList") {
    auto l = std::make_shared<ImageList>();
    const auto w = r.Num<int32_t>(), h = r.Num<int32_t>();
    // No picture is wider or higher than kMaxSidePx, so a list of a larger size holds nothing.
    if (w < 0 || h < 0 || w > StdPicture::kMaxSidePx || h > StdPicture::kMaxSidePx)
      Corrupt(r.Line(), "an image size is negative or larger than any picture");
    l->ImageWidth(w);
    l->ImageHeight(h);
    l->MaskColor(r.Num<uint32_t>());
    l->UseMaskColor(r.Flag());
    const auto n = r.Num<int32_t>();
    if (n < 0) Corrupt(r.Line(), "an image count is negative");
    for (int32_t i = 0; i < n; ++i) {
      std::string key = r.Quoted();
      PictureRef p = r.Picture();
      try {
        l->Add(0, std::move(key), p);
      } catch (const Error& e) {
        Corrupt(r.Line(), "an image list entry is invalid (" + e.Description() + ")");
      }
    }
    return Variant(l);
  }
  Corrupt(r.Line(), "unknown value kind \"" + kind + "\"");
}

}  // namespace

// --- base64 ----------------------------------------------------------------------------------------

std::string Base64Encode(const std::vector<uint8_t>& bytes) {
  std::string out((bytes.size() + 2) / 3 * 4, '=');
  char* o = out.data();
  size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3, o += 4) {
    const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8) | bytes[i + 2];
    o[0] = kBase64[v >> 18];
    o[1] = kBase64[(v >> 12) & 63];
    o[2] = kBase64[(v >> 6) & 63];
    o[3] = kBase64[v & 63];
  }
  if (i + 1 == bytes.size()) {
    const uint32_t v = uint32_t{bytes[i]} << 16;
    o[0] = kBase64[v >> 18];
    o[1] = kBase64[(v >> 12) & 63];
  } else if (i + 2 == bytes.size()) {
    const uint32_t v = (uint32_t{bytes[i]} << 16) | (uint32_t{bytes[i + 1]} << 8);
    o[0] = kBase64[v >> 18];
    o[1] = kBase64[(v >> 12) & 63];
    o[2] = kBase64[(v >> 6) & 63];
  }
  return out;
}

std::vector<uint8_t> Base64Decode(std::string_view text) {
  auto value = [](char c) -> int {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
  };
  if (text.size() % 4 != 0) Raise(err::InvalidPropertyValue, "Base64", "base64 text of a wrong length");
  std::vector<uint8_t> out;
  out.reserve(text.size() / 4 * 3);
  for (size_t i = 0; i < text.size(); i += 4) {
    int v[4];
    int pad = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text[i + static_cast<size_t>(k)];
      if (c == '=' && i + 4 == text.size() && k >= 2) {
        v[k] = 0;
        ++pad;
      } else {
        if (pad) Raise(err::InvalidPropertyValue, "Base64", "base64 padding in the middle");
        v[k] = value(c);
        if (v[k] < 0) Raise(err::InvalidPropertyValue, "Base64", "a character that is not base64");
      }
    }
    const uint32_t n = (uint32_t(v[0]) << 18) | (uint32_t(v[1]) << 12) | (uint32_t(v[2]) << 6) | uint32_t(v[3]);
    // The bits that padding leaves over must be zero: one text per byte string, so what is read
    // is written back the same.
    if ((pad == 1 && (n & 0xFF) != 0) || (pad == 2 && (n & 0xFFFF) != 0))
      Raise(err::InvalidPropertyValue, "Base64", "base64 with stray bits before its padding");
    out.push_back(static_cast<uint8_t>(n >> 16));
    if (pad < 2) out.push_back(static_cast<uint8_t>(n >> 8));
    if (pad < 1) out.push_back(static_cast<uint8_t>(n));
  }
  return out;
}

// --- the file --------------------------------------------------------------------------------------

const SavedControl* FormFile::Find(std::string_view name) const {
  for (const auto& c : controls)
    if (c.name == name) return &c;
  return nullptr;
}

std::string FormFile::Serialize() const {
  std::ostringstream out;
  out << kMagic << ' ' << kVersion << '\n';
  out << "Form " << Quote(caption) << '\n';
  for (const auto& c : controls) {
    out << "Begin " << c.typeName << ' ' << Quote(c.name) << ' ' << FiniteNumber(c.left, "position") << ' '
        << FiniteNumber(c.top, "position") << ' ' << FiniteNumber(c.width, "size") << ' '
        << FiniteNumber(c.height, "size") << '\n';
    for (const auto& [name, value] : c.properties.Entries()) out << "  " << Quote(name) << " = " << EncodeValue(value) << '\n';
    out << "End\n";
  }
  out << "EndForm\n";
  return out.str();
}

FormFile FormFile::Parse(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  FormFile file;
  size_t i = 0;
  auto next = [&]() -> LineReader {
    while (i < lines.size() && lines[i].find_first_not_of(" \t") == std::string_view::npos) ++i;
    if (i >= lines.size()) Corrupt(lines.size(), "the file ends early (it may be truncated)");
    ++i;
    return LineReader(lines[i - 1], i);
  };
  {
    LineReader r = next();
    if (r.Word() != kMagic) Corrupt(r.Line(), "this is not a form file");
    const int version = r.Num<int>();
    if (version < 1 || version > kVersion)
      Corrupt(r.Line(), "form file version " + std::to_string(version) + " is not supported");
    r.ExpectEnd("the version");
  }
  {
    LineReader r = next();
    r.Expect("Form");
    file.caption = r.Quoted();
    r.ExpectEnd("the form's caption");
  }
  for (;;) {
    LineReader r = next();
    const std::string word = r.Word();
    if (word == "EndForm") {
      r.ExpectEnd("EndForm");
      break;
    }
    if (word != "Begin") Corrupt(r.Line(), "expected Begin or EndForm");
    SavedControl c;
    c.typeName = r.Word();
    c.name = r.Quoted();
    c.left = r.Num<float>();
    c.top = r.Num<float>();
    c.width = r.Num<float>();
    c.height = r.Num<float>();
    if (c.width < 0 || c.height < 0) Corrupt(r.Line(), "a control's size is negative");
    r.ExpectEnd("the control's size");
    const SavedPropertyRules* rules = FindSavedPropertyRules(c.typeName);
    for (;;) {
      LineReader p = next();
      LineReader probe = p;
      if (probe.Word() == "End") {
        if (!probe.AtEnd()) Corrupt(p.Line(), "unexpected text after End");
        break;
      }
      std::string name = p.Quoted();
      p.Expect("=");
      Variant v = DecodeValue(p);
      if (!p.AtEnd()) Corrupt(p.Line(), "unexpected text after the value");
      if (c.properties.Contains(name)) Corrupt(p.Line(), "the property \"" + name + "\" appears twice");
      if (rules) {
        try {
          rules->Check(name, v);
        } catch (const Error& e) {
          Corrupt(p.Line(), "the property \"" + name + "\" cannot hold this value: " + e.Description());
        }
      }
      c.properties.Store(name, v);
    }
    file.controls.push_back(std::move(c));
  }
  while (i < lines.size()) {
    if (lines[i].find_first_not_of(" \t") != std::string_view::npos) Corrupt(i + 1, "text after EndForm");
    ++i;
  }
  return file;
}

void FormFile::Save(const std::string& path) const {
  if (WriteWholeFile(path, Serialize()) != 0)
    Raise(err::PathFileAccessError, "FormFile", "Cannot write the form file " + path);
}

FormFile FormFile::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Raise(err::FileNotFound, "FormFile", "File not found: " + path);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return Parse(text);
}

}  // namespace tamarind::platform
