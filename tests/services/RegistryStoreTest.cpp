// The settings store: the registry functions (keys, values, sizes with the terminating zero,
// deletion rules, handles) and the file behind them (its text form, cut-short and damaged files,
// whole-file writes, writers in several processes).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryStore.h"
#include "services/CREG.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::platform {
namespace {

RegistryTree SampleTree() {
  RegistryTree tree;
  auto* app = tree.Create("Software\\Tamarind\\Orders").first;
  app->values["main list"] = {"Main List", REG_SZ, "2,0,1"};
  app->values[""] = {"", REG_SZ, "default text"};
  auto* odd = tree.Create("Software\\Tamarind\\Odd [keys] ] \xC3\xA4").first;
  odd->values["lines"] = {"lines", REG_SZ, "one\ntwo\r\nthree\t\"quoted\" back\\slash "};
  odd->values["empty"] = {"empty", REG_SZ, ""};
  odd->values["unicode"] = {"unicode", REG_EXPAND_SZ, "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\x8A"};
  odd->values["not utf-8"] = {"not UTF-8", REG_SZ, std::string("\xFF\xC3(\x01\x7F", 5)};
  odd->values["@"] = {"@", REG_SZ, "a value named @ is not the default value"};
  odd->values["= \"name\"\n"] = {"= \"Name\"\n", REG_SZ, "odd name"};
  odd->values["bytes"] = {"bytes", REG_BINARY, std::string("\x00\x01\xFE\xFF", 4)};
  odd->values["dword"] = {"dword", REG_DWORD, std::string("\x2A\x00\x00\x00", 4)};
  tree.Create("Software\\Empty key");
  return tree;
}

TEST(RegistryFileFormat, EveryKeyAndValueComesBackFromTheText) {
  const RegistryTree tree = SampleTree();
  std::string problem;
  const auto parsed = RegistryTree::Parse(tree.Serialize(), &problem);
  ASSERT_TRUE(parsed) << problem;
  EXPECT_EQ(*parsed, tree);
}

TEST(RegistryFileFormat, CutShortOrDamagedFilesAreRejected) {
  const std::string text = SampleTree().Serialize();
  for (size_t length = 0; length < text.size(); ++length)
    EXPECT_FALSE(RegistryTree::Parse(text.substr(0, length))) << "cut at byte " << length;
  const std::string head = "tamarind-registry 1\n";
  const std::vector<std::string> damaged = {
      "tamarind-registry 2\nend\n",                          // a later format version
      head + "\"v\"=sz:\"x\"\nend\n",                        // a value outside any key
      head + "[a]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\nend\n",   // the same value twice
      head + "[a]\n\"v\"=sz:\"x\" trailing\nend\n",          // text after the value
      head + "[a]\nend\n[b]\n",                              // keys after the end
      head + "[a]\n\"v\"=sz:\"x\"\n[A]\nend\n",              // the same key twice, in another case
      head + "[]\n@=sz:\"x\"\n[]\nend\n",                     // the root twice
      head + "[a\\\\b]\nend\n",                              // a key path with an empty level
      head + "[a]\n\"v\"=hex(4294967296):00\nend\n",        // a type number beyond 32 bits
      head + "[a]\n\"v\"=hex(3):0g\nend\n",                  // a byte that is no hex
      head + "[a]\n\"v\"=sz:\"x\\x00y\"\nend\n",              // a zero byte inside a text value
  };
  for (const auto& bad : damaged) EXPECT_FALSE(RegistryTree::Parse(bad)) << bad;
  std::string problem;
  EXPECT_FALSE(RegistryTree::Parse(head + "[a]\n[b]\n[A]\nend\n", &problem));
  EXPECT_EQ(problem, "line 4: the key is listed twice");
}

class RegistryFunctions : public test_support::StoreFixture {
 protected:
  void TearDown() override {
    for (HKEY k : opened_) RegCloseKey(k);
    StoreFixture::TearDown();
  }

  HKEY Create(const char* path) {
    HKEY key{};
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    opened_.push_back(key);
    return key;
  }
  LSTATUS Open(const char* path, HKEY& key) {
    const LSTATUS s = RegOpenKeyEx(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key);
    if (s == ERROR_SUCCESS) opened_.push_back(key);
    return s;
  }
  static LSTATUS SetText(HKEY key, const char* name, const std::string& text, bool withTerminator = false) {
    return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                         static_cast<uint32_t>(text.size() + (withTerminator ? 1 : 0)));
  }
  // The value's bytes as a query returns them (with the terminating zero for text).
  static std::string Query(HKEY key, const char* name) {
    uint32_t size = 0;
    if (RegQueryValueEx(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return "<missing>";
    std::vector<uint8_t> buffer(size);
    if (RegQueryValueEx(key, name, nullptr, nullptr, buffer.data(), &size) != ERROR_SUCCESS) return "<unreadable>";
    return std::string(buffer.begin(), buffer.begin() + size);
  }

 private:
  std::vector<HKEY> opened_;
};
using RegistryStoreFile = RegistryFunctions;

TEST_F(RegistryStoreFile, UpdateReplacesTheFileWholeOrNotAtAll) {
  RegistryStore store(StoreFile());
  ASSERT_EQ(store.Update([](RegistryTree& t) {
    t.Create("kept");
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  const std::string before = StoreBytes();
  RegistryTree read;
  ASSERT_EQ(store.Read(read), ERROR_SUCCESS);
  EXPECT_NE(read.Find("kept"), nullptr);
  EXPECT_EQ(before, read.Serialize());
  // No temporary file is left beside the store.
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"registry.txt", "registry.txt.lock"}));
  // The settings are the user's own.
  namespace fs = std::filesystem;
  EXPECT_EQ(fs::status(StoreFile()).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  // A change that fails is not written.
  const auto failing = [](RegistryTree& t) {
    t.Create("dropped");
    return ERROR_FILE_NOT_FOUND;
  };
  EXPECT_EQ(store.Update(failing), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(StoreBytes(), before);
}

// A damaged store (here cut short in a value CREG would read) is reported by every call, also
// through a key opened before the damage; CREG gives defaults and false. The file is kept byte for
// byte.
TEST_F(RegistryStoreFile, CorruptFileIsReportedAndKeptByteForByte) {
  const HKEY open = Create("Software\\App");
  HKEY key{};
  const std::string corrupt = "tamarind-registry 1\n[Software]\n[Software\\Tamarind\\Tamarind\\S]\n\"K\"=sz:\"v";
  WriteStoreBytes(corrupt);
  services::CREG reg;
  EXPECT_EQ(reg.GetSetting("S", "K", "fallback"), "fallback");
  EXPECT_FALSE(reg.SaveSetting("S", "K", "new"));
  EXPECT_FALSE(reg.DeleteSetting("S", "K"));
  EXPECT_FALSE(reg.DeleteSetting("S"));
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &key), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_BADDB);
  EXPECT_EQ(RegSetValueEx(open, "v", 0, REG_SZ, reinterpret_cast<const uint8_t*>("value"), 5), ERROR_BADDB);
  EXPECT_EQ(StoreBytes(), corrupt);
  EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);  // a handle still closes
}

// Two processes that write at the same time must both keep every value they wrote, and the keys
// they create on the way.
TEST_F(RegistryStoreFile, ConcurrentWritersInTwoProcessesLoseNothing) {
  constexpr int kValuesPerWriter = 60;
  auto settingsOf = [](const char* writer) {
    services::CREG reg;
    reg.AppName(writer);
    return reg;
  };
  const char* writers[2] = {"first", "second"};
  pid_t children[2];
  for (int c = 0; c < 2; ++c) {
    if ((children[c] = ::fork()) != 0) continue;
    bool saved = true;
    for (int i = 0; i < kValuesPerWriter && saved; ++i) {
      const std::string n = std::to_string(i);
      saved = settingsOf(writers[c]).SaveSetting("S" + std::to_string(i % 5), "v" + n, n);
    }
    ::_exit(saved ? 0 : 1);
  }
  for (const pid_t child : children) {
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  for (const char* writer : writers)
    for (int i = 0; i < kValuesPerWriter; ++i)
      EXPECT_EQ(settingsOf(writer).GetSetting("S" + std::to_string(i % 5), "v" + std::to_string(i)), std::to_string(i))
          << writer << " " << i;
}

TEST_F(RegistryFunctions, NamesIgnoreLetterCaseKeepTheirFirstSpellingAndTextSizesCountTheZero) {
  const HKEY created = Create("Software\\Vendor\\\xC3\x84pfel");
  ASSERT_EQ(SetText(created, "Width", "10"), ERROR_SUCCESS);
  HKEY key{};
  ASSERT_EQ(Open("SOFTWARE\\vendor\\\xC3\xA4PFEL", key), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "WIDTH"), std::string("10\0", 3));
  ASSERT_EQ(SetText(key, "width", "20"), ERROR_SUCCESS);
  EXPECT_EQ(Query(created, "Width"), std::string("20\0", 3));
  // One key and one value, in the spelling they were created with.
  EXPECT_NE(StoreBytes().find("[Software\\Vendor\\\xC3\x84pfel]\n\"Width\"=sz:\"20\""), std::string::npos)
      << StoreBytes();
  // A query's size counts the terminating zero; a buffer one byte short gets ERROR_MORE_DATA and the
  // size it needs. Text written with or without its terminating zero is the same text.
  ASSERT_EQ(SetText(created, "v", "h\xC3\xA9llo"), ERROR_SUCCESS);  // 6 bytes of text
  uint32_t type = 0, size = 0;
  ASSERT_EQ(RegQueryValueEx(created, "v", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::tie(type, size), std::make_tuple(REG_SZ, 7u));
  uint8_t small[6];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(created, "v", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(Query(created, "v"), std::string("h\xC3\xA9llo\0", 7));
  ASSERT_EQ(SetText(created, "with", "abc", true), ERROR_SUCCESS);
  EXPECT_EQ(Query(created, "with"), std::string("abc\0", 4));
}

TEST_F(RegistryFunctions, DeleteKeyIsRefusedWhileTheKeyHasSubkeysAndBadHandlesPathsAndArgumentsAreRefused) {
  const HKEY app = Create("Software\\Vendor\\App");
  ASSERT_EQ(SetText(app, "kept", "yes"), ERROR_SUCCESS);
  Create("Software\\Vendor\\App\\Section");
  Create("Software\\Vendor\\App Two");  // shares the name's beginning only
  HKEY vendor{};
  ASSERT_EQ(Open("Software\\Vendor", vendor), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_KEY_HAS_CHILDREN);
  EXPECT_EQ(Query(app, "kept"), std::string("yes\0", 4));

  EXPECT_EQ(RegDeleteKey(vendor, "app\\section"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_SUCCESS);
  HKEY other{};
  EXPECT_EQ(Open("Software\\Vendor\\App", other), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open("Software\\Vendor\\App Two", other), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_FILE_NOT_FOUND);
  // The handle of the deleted key reports it and does not bring the key back.
  EXPECT_EQ(SetText(app, "v", "x"), ERROR_KEY_DELETED);
  EXPECT_EQ(Open("Software\\Vendor\\App", other), ERROR_FILE_NOT_FOUND);
  HKEY key{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\H", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetText(key, "v", "x"), ERROR_INVALID_HANDLE);

  for (const char* path : {"\\Software", "Software\\\\App", "Software\\", "Soft\x01ware"})
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER)
        << path;
  const HKEY k = Create("Software\\Args");
  EXPECT_EQ(SetText(k, "v", std::string("ab\0cd", 5)), ERROR_INVALID_PARAMETER);  // a zero inside text
  EXPECT_EQ(Query(k, "v"), "<missing>");
}

}  // namespace
}  // namespace tamarind::platform
