#include "platform/registry/RegistryStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

#include "runtime/Text.h"
#include "runtime/Utf8.h"
#include "runtime/WholeFile.h"

namespace tamarind::platform {

namespace {

constexpr std::string_view kHeader = "tamarind-registry";
constexpr int kVersion = 1;
constexpr std::string_view kEnd = "end";
constexpr int32_t kMaxKeyNameCharacters = 255;

std::string Fold(std::string_view s) { return text::FoldCase(s); }

// --- text form of names and data ----------------------------------------------------------------

constexpr char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char c) {
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 0x0F];
}

void AppendQuoted(std::string& out, std::string_view s) {
  out += '"';
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      const utf8::Char ch = utf8::Decode(s, i);
      if (ch.valid) {
        out.append(s.substr(i, ch.length));
        i += ch.length;
        continue;
      }
      out += "\\x";
      AppendHexByte(out, c);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      AppendHexByte(out, c);
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  out += '"';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at line[pos] (the opening quote); pos ends after the closing quote.
bool ParseQuoted(std::string_view line, size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return false;
    switch (line[pos]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (pos + 2 >= line.size()) return false;
        const int hi = HexValue(line[pos + 1]), lo = HexValue(line[pos + 2]);
        if (hi < 0 || lo < 0) return false;
        out += static_cast<char>(hi * 16 + lo);
        pos += 2;
        break;
      }
      default:
        return false;
    }
  }
  return false;  // no closing quote
}

bool ParseHexBytes(std::string_view s, std::string& out) {
  out.clear();
  if (s.empty()) return true;
  for (size_t pos = 0;; pos += 3) {
    if (pos + 2 > s.size()) return false;
    const int hi = HexValue(s[pos]), lo = HexValue(s[pos + 1]);
    if (hi < 0 || lo < 0) return false;
    out += static_cast<char>(hi * 16 + lo);
    if (pos + 2 == s.size()) return true;
    if (s[pos + 2] != ',') return false;
  }
}

bool ParseUnsigned(std::string_view s, uint32_t& out) {
  if (s.empty() || s.size() > 10) return false;
  uint64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > UINT32_MAX) return false;
  out = static_cast<uint32_t>(v);
  return true;
}

void AppendValue(std::string& out, const RegistryValue& v) {
  if (v.name.empty())
    out += '@';
  else
    AppendQuoted(out, v.name);
  out += '=';
  if (RegistryTree::IsTextType(v.type)) {
    out += v.type == REG_SZ ? "sz:" : "expand_sz:";
    AppendQuoted(out, v.data);
  } else {
    out += "hex(" + std::to_string(v.type) + "):";
    for (size_t i = 0; i < v.data.size(); ++i) {
      if (i > 0) out += ',';
      AppendHexByte(out, static_cast<unsigned char>(v.data[i]));
    }
  }
  out += '\n';
}

// One value line: name, "=", type, ":", data. Empty problem on success.
std::string ParseValue(std::string_view line, RegistryValue& v) {
  size_t pos = 0;
  if (line.starts_with('@')) {
    v.name.clear();
    pos = 1;
  } else if (!ParseQuoted(line, pos, v.name)) {
    return "a value line must start with @ or a quoted name";
  } else if (v.name.empty()) {
    return "the default value is written @, not \"\"";
  }
  if (pos >= line.size() || line[pos] != '=') return "\"=\" expected after the value name";
  ++pos;
  const size_t colon = line.find(':', pos);
  if (colon == std::string_view::npos) return "\":\" expected after the value type";
  const std::string_view type = line.substr(pos, colon - pos);
  const std::string_view data = line.substr(colon + 1);
  if (type == "sz" || type == "expand_sz") {
    v.type = type == "sz" ? REG_SZ : REG_EXPAND_SZ;
    size_t at = 0;
    if (!ParseQuoted(data, at, v.data)) return "a text value must be one quoted text";
    if (at != data.size()) return "text after the closing quote";
  } else if (type.starts_with("hex(") && type.ends_with(')')) {
    if (!ParseUnsigned(type.substr(4, type.size() - 5), v.type)) return "bad type number in hex(...)";
    if (!ParseHexBytes(data, v.data)) return "hex data must be two-digit bytes separated by \",\"";
  } else {
    return "unknown value type";
  }
  if (RegistryTree::IsTextType(v.type) && v.data.find('\0') != std::string::npos)
    return "a text value holds a zero byte";
  return {};
}

// --- files --------------------------------------------------------------------------------------

LSTATUS FromErrno(int e, LSTATUS otherwise) {
  switch (e) {
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case ENOMEM:
      return ERROR_OUTOFMEMORY;
    case ENOTDIR:
      return ERROR_PATH_NOT_FOUND;
    default:
      return otherwise;
  }
}

// A file descriptor closed when it goes out of scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() { Close(); }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Closes now; false when close reported an error (for a written file: the data may be lost).
  bool Close() {
    if (fd_ < 0) return true;
    const int r = ::close(fd_);
    fd_ = -1;
    return r == 0;
  }

 private:
  int fd_;
};

int OpenRetrying(const char* path, int flags, mode_t mode = 0) {
  int fd;
  do fd = ::open(path, flags | O_CLOEXEC, mode);
  while (fd < 0 && errno == EINTR);
  return fd;
}

// The whole file into out; exists is false (and the result ERROR_SUCCESS) when there is no file.
LSTATUS ReadWholeFile(const std::filesystem::path& file, std::string& out, bool& exists) {
  out.clear();
  exists = false;
  Fd fd(OpenRetrying(file.c_str(), O_RDONLY));
  if (!fd.Valid()) return errno == ENOENT ? ERROR_SUCCESS : FromErrno(errno, ERROR_CANTREAD);
  exists = true;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return FromErrno(errno, ERROR_CANTREAD);
    }
    if (n == 0) return ERROR_SUCCESS;
    out.append(buffer, static_cast<size_t>(n));
  }
}

std::filesystem::path WithSuffix(const std::filesystem::path& file, const char* suffix) {
  std::filesystem::path p = file;
  p += suffix;
  return p;
}

// Replaces file with content whole (a temporary file beside it renamed over it): a reader, or a
// crash, finds the old settings or the new ones. The settings are the user's own: a new file is
// readable by its owner alone.
LSTATUS ReplaceAtomically(const std::filesystem::path& file, std::string_view content) {
  if (const int error = WriteWholeFile(file.string(), content, 0600)) return FromErrno(error, ERROR_CANTWRITE);
  return ERROR_SUCCESS;
}

}  // namespace

// --- RegistryTree ---------------------------------------------------------------------------------

bool RegistryTree::PathOrder::operator()(const std::string& a, const std::string& b) const {
  // "\" ranks below every other byte, so "a\b" sorts right after "a" and before "a b".
  auto rank = [](char c) { return c == '\\' ? 0 : static_cast<int>(static_cast<unsigned char>(c)) + 1; };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return rank(x) < rank(y); });
}

bool RegistryTree::IsValidKeyName(std::string_view name) {
  if (name.empty()) return false;
  int32_t characters = 0;
  for (size_t i = 0; i < name.size();) {
    const utf8::Char ch = utf8::Decode(name, i);
    if (!ch.valid || ch.codePoint < 0x20 || ch.codePoint == 0x7F || ch.codePoint == '\\') return false;
    if (++characters > kMaxKeyNameCharacters) return false;
    i += ch.length;
  }
  return true;
}

bool RegistryTree::IsValidKeyPath(std::string_view path) {
  if (path.empty()) return true;
  for (size_t start = 0;;) {
    const size_t sep = path.find('\\', start);
    if (!IsValidKeyName(path.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start)))
      return false;
    if (sep == std::string_view::npos) return true;
    start = sep + 1;
  }
}

RegistryKey* RegistryTree::Find(std::string_view path) {
  return const_cast<RegistryKey*>(std::as_const(*this).Find(path));
}

const RegistryKey* RegistryTree::Find(std::string_view path) const {
  if (path.empty()) return &root_;
  const auto it = keys_.find(Fold(path));
  return it == keys_.end() ? nullptr : &it->second;
}

std::pair<RegistryKey*, bool> RegistryTree::Create(std::string_view path) {
  RegistryKey* parent = &root_;
  bool created = false;
  for (size_t start = 0; start < path.size();) {
    size_t sep = path.find('\\', start);
    if (sep == std::string_view::npos) sep = path.size();
    const std::string_view level = path.substr(start, sep - start);
    auto [it, inserted] = keys_.try_emplace(Fold(path.substr(0, sep)));
    if (inserted) it->second.path = parent->path.empty() ? std::string(level) : parent->path + "\\" + std::string(level);
    created = inserted;
    parent = &it->second;
    start = sep + 1;
  }
  return {parent, created};
}

bool RegistryTree::HasSubkeys(std::string_view path) const {
  if (path.empty()) return !keys_.empty();
  const std::string folded = Fold(path);
  // Subkeys sort right after their parent (see PathOrder).
  const auto next = keys_.upper_bound(folded);
  return next != keys_.end() && next->first.size() > folded.size() && next->first.starts_with(folded) &&
         next->first[folded.size()] == '\\';
}

bool RegistryTree::Remove(std::string_view path) {
  if (path.empty()) return false;
  return keys_.erase(Fold(path)) > 0;
}

std::string RegistryTree::Serialize() const {
  std::string out;
  out += kHeader;
  out += ' ';
  out += std::to_string(kVersion);
  out += '\n';
  auto appendKey = [&](const RegistryKey& key) {
    out += "\n[";
    out += key.path;
    out += "]\n";
    for (const auto& [folded, value] : key.values) AppendValue(out, value);
  };
  if (!root_.values.empty()) appendKey(root_);
  for (const auto& [folded, key] : keys_) appendKey(key);
  out += kEnd;
  out += '\n';
  return out;
}

std::optional<RegistryTree> RegistryTree::Parse(std::string_view text, std::string* problem) {
  size_t lineNumber = 0;
  auto fail = [&](std::string_view what) -> std::optional<RegistryTree> {
    if (problem) *problem = "line " + std::to_string(lineNumber) + ": " + std::string(what);
    return std::nullopt;
  };

  RegistryTree tree;
  std::map<std::string, bool> listed;  // folded paths that had their own "[...]" line
  bool rootListed = false;
  RegistryKey* current = nullptr;
  bool ended = false;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t eol = text.find('\n', pos);
    ++lineNumber;
    if (eol == std::string_view::npos) return fail("the last line has no line end: the file was cut short");
    const std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;

    if (ended) return fail("text after the end line");
    if (lineNumber == 1) {
      if (line != std::string(kHeader) + " " + std::to_string(kVersion))
        return fail("not a settings store of format version " + std::to_string(kVersion));
      continue;
    }
    if (line.empty()) continue;
    if (line == kEnd) {
      ended = true;
      continue;
    }
    if (line.front() == '[') {
      if (line.back() != ']' || line.size() < 2) return fail("a key line must end with \"]\"");
      const std::string_view path = line.substr(1, line.size() - 2);
      if (path.empty()) {
        if (rootListed) return fail("the root is listed twice");
        rootListed = true;
        current = &tree.root_;
        continue;
      }
      if (!IsValidKeyPath(path)) return fail("not a valid key path");
      bool& seen = listed[Fold(path)];
      if (seen) return fail("the key is listed twice");
      seen = true;
      current = tree.Create(path).first;
      current->path = std::string(path);  // as listed, also when a subkey's line came first
      continue;
    }
    if (!current) return fail("a value before the first key");
    RegistryValue value;
    const std::string what = ParseValue(line, value);
    if (!what.empty()) return fail(what);
    auto [it, inserted] = current->values.try_emplace(Fold(value.name), std::move(value));
    if (!inserted) return fail("the value is listed twice in its key");
  }
  if (lineNumber == 0) return fail("empty file");
  if (!ended) return fail("no end line: the file was cut short");
  return tree;
}

// --- RegistryStore --------------------------------------------------------------------------------

RegistryStore::RegistryStore(std::filesystem::path file) : file_(std::move(file)) {}

std::filesystem::path RegistryStore::LockFile() const { return WithSuffix(file_, ".lock"); }

LSTATUS RegistryStore::Read(RegistryTree& tree) const {
  if (file_.empty()) return ERROR_PATH_NOT_FOUND;
  std::string content;
  bool exists = false;
  if (const LSTATUS s = ReadWholeFile(file_, content, exists); s != ERROR_SUCCESS) return s;
  if (!exists) {
    tree = RegistryTree{};
    return ERROR_SUCCESS;
  }
  auto parsed = RegistryTree::Parse(content);
  if (!parsed) return ERROR_BADDB;
  tree = std::move(*parsed);
  return ERROR_SUCCESS;
}

LSTATUS RegistryStore::Update(const std::function<LSTATUS(RegistryTree&)>& change) {
  if (file_.empty()) return ERROR_PATH_NOT_FOUND;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  if (ec) return FromErrno(ec.value(), ERROR_PATH_NOT_FOUND);

  // One writer at a time, across processes: the lock is held from the read to the rename.
  const std::filesystem::path lockPath = LockFile();
  Fd lock(OpenRetrying(lockPath.c_str(), O_RDWR | O_CREAT, 0600));
  if (!lock.Valid()) return FromErrno(errno, ERROR_CANTWRITE);
  int r;
  do r = ::flock(lock.Get(), LOCK_EX);
  while (r != 0 && errno == EINTR);
  if (r != 0) return FromErrno(errno, ERROR_CANTWRITE);

  std::string before;
  bool exists = false;
  if (const LSTATUS s = ReadWholeFile(file_, before, exists); s != ERROR_SUCCESS) return s;
  RegistryTree tree;
  if (exists) {
    auto parsed = RegistryTree::Parse(before);
    if (!parsed) return ERROR_BADDB;
    tree = std::move(*parsed);
  }
  if (const LSTATUS s = change(tree); s != ERROR_SUCCESS) return s;
  const std::string after = tree.Serialize();
  if (exists && after == before) return ERROR_SUCCESS;
  return ReplaceAtomically(file_, after);
  // The lock goes with the descriptor.
}

}  // namespace tamarind::platform
