// The settings file: its text form, how it survives cut-short and damaged files, atomic writes,
// writers in several processes, and where it lives.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>
#include <string>

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryStore.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::platform {
namespace {

using test_support::StoreFixture;

RegistryTree SampleTree() {
  RegistryTree tree;
  auto* app = tree.Create("Software\\Tamarind\\Orders").first;
  app->values["main list"] = {"Main List", REG_SZ, "2,0,1"};
  app->values[""] = {"", REG_SZ, "default text"};
  auto* odd = tree.Create("Software\\Tamarind\\Odd [keys] ] \xC3\xA4").first;
  odd->values["lines"] = {"lines", REG_SZ, "one\ntwo\r\nthree\t\"quoted\" back\\slash "};
  odd->values["empty"] = {"empty", REG_SZ, ""};
  odd->values["spaces"] = {"spaces", REG_SZ, "  "};
  odd->values["unicode"] = {"unicode", REG_EXPAND_SZ, "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\x8A"};
  odd->values["not utf-8"] = {"not UTF-8", REG_SZ, std::string("\xFF\xC3(\x01\x7F", 5)};
  odd->values["@"] = {"@", REG_SZ, "a value named @ is not the default value"};
  odd->values["= \"name\"\n"] = {"= \"Name\"\n", REG_SZ, "odd name"};
  odd->values["bytes"] = {"bytes", REG_BINARY, std::string("\x00\x01\xFE\xFF", 4)};
  odd->values["none"] = {"none", REG_NONE, ""};
  odd->values["dword"] = {"dword", REG_DWORD, std::string("\x2A\x00\x00\x00", 4)};
  tree.Create("Software\\Empty key");
  return tree;
}

// --- the text form -----------------------------------------------------------------------------

TEST(RegistryFileFormat, EveryKeyAndValueComesBackFromTheText) {
  const RegistryTree tree = SampleTree();
  std::string problem;
  const auto parsed = RegistryTree::Parse(tree.Serialize(), &problem);
  ASSERT_TRUE(parsed) << problem;
  EXPECT_EQ(*parsed, tree);
}

TEST(RegistryFileFormat, TextIsReadableWithOneLinePerValue) {
  RegistryTree tree;
  auto* key = tree.Create("Software\\Tamarind\\Orders").first;
  key->values["main"] = {"Main", REG_SZ, "2,0,1"};
  key->values["note"] = {"Note", REG_SZ, "Gr\xC3\xBC\xC3\x9F" "e\nzwei"};
  key->values[""] = {"", REG_SZ, "x"};
  EXPECT_EQ(tree.Serialize(),
            "tamarind-registry 1\n"
            "\n[Software]\n"
            "\n[Software\\Tamarind]\n"
            "\n[Software\\Tamarind\\Orders]\n"
            "@=sz:\"x\"\n"
            "\"Main\"=sz:\"2,0,1\"\n"
            "\"Note\"=sz:\"Gr\xC3\xBC\xC3\x9F" "e\\nzwei\"\n"
            "end\n");
}

TEST(RegistryFileFormat, SubkeysFollowTheirParent) {
  RegistryTree tree;
  tree.Create("a\\b");
  tree.Create("a b");
  tree.Create("a-c");
  tree.Create("a\\b\\c");
  std::vector<std::string> order;
  for (const auto& [folded, key] : tree.Keys()) order.push_back(key.path);
  EXPECT_EQ(order, (std::vector<std::string>{"a", "a\\b", "a\\b\\c", "a b", "a-c"}));
}

TEST(RegistryFileFormat, HandWrittenFileWithImplicitParentsIsRead) {
  const auto tree = RegistryTree::Parse(
      "tamarind-registry 1\n"
      "[Software\\Vendor\\App]\n"
      "\"Width\"=sz:\"12\\x41\"\n"
      "\n"
      "[Software]\n"
      "end\n");
  ASSERT_TRUE(tree);
  ASSERT_NE(tree->Find("software\\vendor"), nullptr);
  const RegistryKey* app = tree->Find("SOFTWARE\\VENDOR\\APP");
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->values.at("width").data, "12A");
}

TEST(RegistryFileFormat, FileCutShortAnywhereIsRejected) {
  const std::string text = SampleTree().Serialize();
  for (size_t length = 0; length < text.size(); ++length)
    EXPECT_FALSE(RegistryTree::Parse(text.substr(0, length))) << "cut at byte " << length;
}

TEST(RegistryFileFormat, DamagedFilesAreRejected) {
  const std::string head = "tamarind-registry 1\n";
  const std::vector<std::string> damaged = {
      "tamarind-registry 2\nend\n",                               // a later format version
      "something else\nend\n",                                    // not a store
      head + "\"v\"=sz:\"x\"\nend\n",                             // a value outside any key
      head + "[a]\n\"v\"=sz:\"x\"\n\"V\"=sz:\"y\"\nend\n",        // the same value twice
      head + "[a]\n[A]\nend\n",                                   // the same key twice
      head + "[a\\\\b]\nend\n",                                   // an empty level
      head + "[a]\n\"v\"=sz:\"unterminated\nend\n",               // no closing quote
      head + "[a]\n\"v\"=sz:\"x\" trailing\nend\n",               // text after the value
      head + "[a]\n\"v\"=sz:\"\\q\"\nend\n",                      // unknown escape
      head + "[a]\n\"v\"=sz:\"\\x4\"\nend\n",                     // short byte escape
      head + "[a]\n\"v\"=sz:\"a\\x00b\"\nend\n",                  // a zero inside text
      head + "[a]\n\"v\"=dword:1\nend\n",                         // unknown type
      head + "[a]\n\"v\"=hex(3):0,1\nend\n",                      // one-digit bytes
      head + "[a]\n\"v\"=hex(99999999999):00\nend\n",             // type out of range
      head + "[a]\n\"v\"sz:\"x\"\nend\n",                         // no "="
      head + "[a]\nend\n[b]\n",                                   // keys after the end
      head + "[a\n",                                              // cut inside a key line
  };
  for (const auto& text : damaged) EXPECT_FALSE(RegistryTree::Parse(text)) << text;
}

// --- the file on disk --------------------------------------------------------------------------

class RegistryStoreFile : public StoreFixture {};

TEST_F(RegistryStoreFile, MissingFileIsAnEmptyStore) {
  RegistryTree tree;
  tree.Create("stale");
  EXPECT_EQ(RegistryStore(StoreFile()).Read(tree), ERROR_SUCCESS);
  EXPECT_TRUE(tree.Keys().empty());
  EXPECT_FALSE(StoreExists());
}

TEST_F(RegistryStoreFile, UpdateWritesTheWholeContentAndLeavesNoTemporaryFile) {
  RegistryStore store(StoreFile());
  ASSERT_EQ(store.Update([](RegistryTree& t) {
    t.Create("a\\b").first->values["v"] = {"V", REG_SZ, "text"};
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  RegistryTree read;
  ASSERT_EQ(store.Read(read), ERROR_SUCCESS);
  ASSERT_NE(read.Find("a\\b"), nullptr);
  EXPECT_EQ(read.Find("a\\b")->values.at("v").data, "text");
  EXPECT_EQ(StoreBytes(), read.Serialize());
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"registry.txt", "registry.txt.lock"}));
}

TEST_F(RegistryStoreFile, FailedChangeWritesNothing) {
  RegistryStore store(StoreFile());
  ASSERT_EQ(store.Update([](RegistryTree& t) {
    t.Create("kept");
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  const std::string before = StoreBytes();
  EXPECT_EQ(store.Update([](RegistryTree& t) {
    t.Create("dropped");
    return ERROR_FILE_NOT_FOUND;
  }),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(StoreBytes(), before);
}

TEST_F(RegistryStoreFile, WriteThatCannotCompleteLeavesTheOldFile) {
  RegistryStore store(StoreFile());
  ASSERT_EQ(store.Update([](RegistryTree& t) {
    t.Create("kept");
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  const std::string before = StoreBytes();
  // The temporary file's place is taken, so the new content cannot be written.
  std::filesystem::path blocker = StoreFile();
  blocker += ".tmp";
  std::filesystem::create_directory(blocker);
  EXPECT_NE(store.Update([](RegistryTree& t) {
    t.Create("new");
    return ERROR_SUCCESS;
  }),
            ERROR_SUCCESS);
  EXPECT_EQ(StoreBytes(), before);
}

TEST_F(RegistryStoreFile, CorruptFileIsReportedAndKeptByteForByte) {
  const std::string good = SampleTree().Serialize();
  const std::string corrupt = good.substr(0, good.size() / 2);  // cut short mid-way
  WriteStoreBytes(corrupt);

  RegistryTree tree;
  EXPECT_EQ(RegistryStore(StoreFile()).Read(tree), ERROR_BADDB);
  bool changeRan = false;
  EXPECT_EQ(RegistryStore(StoreFile()).Update([&](RegistryTree& t) {
    changeRan = true;
    t.Create("x");
    return ERROR_SUCCESS;
  }),
            ERROR_BADDB);
  EXPECT_FALSE(changeRan);

  HKEY key{};
  uint32_t disposition = 0;
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &key), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                           &disposition),
            ERROR_BADDB);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Empty key"), ERROR_BADDB);
  EXPECT_EQ(StoreBytes(), corrupt);
}

TEST_F(RegistryStoreFile, FileDamagedWhileAKeyIsOpenIsNotWrittenOver) {
  HKEY key{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\App", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const std::string damaged = "tamarind-registry 1\n[Software]\n\"x\"=sz:\"no end";
  WriteStoreBytes(damaged);
  const std::string text = "value";
  EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                          static_cast<uint32_t>(text.size())),
            ERROR_BADDB);
  EXPECT_EQ(RegDeleteValue(key, "x"), ERROR_BADDB);
  uint32_t size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "x", nullptr, nullptr, nullptr, &size), ERROR_BADDB);
  EXPECT_EQ(StoreBytes(), damaged);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

// Two processes that write at the same time must both keep every value they wrote.
TEST_F(RegistryStoreFile, ConcurrentWritersInTwoProcessesLoseNothing) {
  constexpr int kValuesPerWriter = 60;
  auto writer = [&](const char* prefix) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      HKEY key{};
      // Both writers also create keys of their own on the way.
      const std::string path = std::string("Software\\Shared\\") + prefix + std::to_string(i % 5);
      if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
          ERROR_SUCCESS)
        return false;
      const std::string name = std::string(prefix) + std::to_string(i);
      const std::string text = name + " text";
      const bool ok = RegSetValueEx(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                                    static_cast<uint32_t>(text.size())) == ERROR_SUCCESS;
      RegCloseKey(key);
      if (!ok) return false;
    }
    return true;
  };

  pid_t children[2];
  const char* prefixes[2] = {"first", "second"};
  for (int c = 0; c < 2; ++c) {
    children[c] = ::fork();
    ASSERT_GE(children[c], 0);
    if (children[c] == 0) ::_exit(writer(prefixes[c]) ? 0 : 1);
  }
  for (const pid_t child : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }

  RegistryTree tree;
  ASSERT_EQ(RegistryStore(StoreFile()).Read(tree), ERROR_SUCCESS);
  for (const char* prefix : prefixes) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      const std::string path = std::string("Software\\Shared\\") + prefix + std::to_string(i % 5);
      const std::string name = std::string(prefix) + std::to_string(i);
      const RegistryKey* key = tree.Find(path);
      ASSERT_NE(key, nullptr) << path;
      const auto it = key->values.find(name);
      ASSERT_NE(it, key->values.end()) << name;
      EXPECT_EQ(it->second.data, name + " text");
    }
  }
}

// --- where the file lives ------------------------------------------------------------------------

class RegistryStoreLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRegistryStorePath({});
    Save("XDG_CONFIG_HOME", xdg_);
    Save("HOME", home_);
  }
  void TearDown() override {
    Restore("XDG_CONFIG_HOME", xdg_);
    Restore("HOME", home_);
  }

 private:
  static void Save(const char* name, std::optional<std::string>& slot) {
    if (const char* v = std::getenv(name)) slot = v;
  }
  static void Restore(const char* name, const std::optional<std::string>& slot) {
    if (slot)
      ::setenv(name, slot->c_str(), 1);
    else
      ::unsetenv(name);
  }
  std::optional<std::string> xdg_, home_;
};

TEST_F(RegistryStoreLocation, ConfigFolderOfTheUser) {
  ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
  EXPECT_EQ(RegistryStorePath(), std::filesystem::path("/srv/config/tamarind/registry.txt"));
}

TEST_F(RegistryStoreLocation, HomeFolderWhenNoConfigFolderIsSet) {
  ::setenv("HOME", "/home/someone", 1);
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(RegistryStorePath(), std::filesystem::path("/home/someone/.config/tamarind/registry.txt"));
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // only an absolute folder counts
  EXPECT_EQ(RegistryStorePath(), std::filesystem::path("/home/someone/.config/tamarind/registry.txt"));
}

TEST_F(RegistryStoreLocation, SetPathWinsUntilCleared) {
  ::setenv("XDG_CONFIG_HOME", "/srv/config", 1);
  SetRegistryStorePath("/tmp/elsewhere/settings.txt");
  EXPECT_EQ(RegistryStorePath(), std::filesystem::path("/tmp/elsewhere/settings.txt"));
  SetRegistryStorePath({});
  EXPECT_EQ(RegistryStorePath(), std::filesystem::path("/srv/config/tamarind/registry.txt"));
}

}  // namespace
}  // namespace tamarind::platform
