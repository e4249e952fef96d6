// The settings file: its text form, how it survives cut-short and damaged files, atomic writes and
// writers in several processes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
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
  odd->values["unicode"] = {"unicode", REG_EXPAND_SZ, "Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\x8A"};
  odd->values["not utf-8"] = {"not UTF-8", REG_SZ, std::string("\xFF\xC3(\x01\x7F", 5)};
  odd->values["@"] = {"@", REG_SZ, "a value named @ is not the default value"};
  odd->values["= \"name\"\n"] = {"= \"Name\"\n", REG_SZ, "odd name"};
  odd->values["bytes"] = {"bytes", REG_BINARY, std::string("\x00\x01\xFE\xFF", 4)};
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

TEST(RegistryFileFormat, FileCutShortAnywhereIsRejected) {
  const std::string text = SampleTree().Serialize();
  for (size_t length = 0; length < text.size(); ++length)
    EXPECT_FALSE(RegistryTree::Parse(text.substr(0, length))) << "cut at byte " << length;
}

TEST(RegistryFileFormat, DamagedFilesAreRejected) {
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
  for (const auto& text : damaged) EXPECT_FALSE(RegistryTree::Parse(text)) << text;
  std::string problem;
  EXPECT_FALSE(RegistryTree::Parse(head + "[a]\n[b]\n[A]\nend\n", &problem));
  EXPECT_EQ(problem, "line 4: the key is listed twice");
}

// --- the file on disk --------------------------------------------------------------------------

class RegistryStoreFile : public StoreFixture {};

TEST_F(RegistryStoreFile, UpdateReplacesTheFileWholeOrNotAtAll) {
  RegistryStore store(StoreFile());
  auto create = [](const char* path, LSTATUS result) {
    return [=](RegistryTree& t) {
      t.Create(path);
      return result;
    };
  };
  ASSERT_EQ(store.Update(create("kept", ERROR_SUCCESS)), ERROR_SUCCESS);
  const std::string before = StoreBytes();
  RegistryTree read;
  ASSERT_EQ(store.Read(read), ERROR_SUCCESS);
  EXPECT_NE(read.Find("kept"), nullptr);
  EXPECT_EQ(before, read.Serialize());
  // The new content was renamed into place: no temporary file is left beside the store.
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(StoreFile().parent_path()))
    names.insert(entry.path().filename().string());
  EXPECT_EQ(names, (std::set<std::string>{"registry.txt", "registry.txt.lock"}));

  EXPECT_EQ(store.Update(create("dropped", ERROR_FILE_NOT_FOUND)), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(StoreBytes(), before);
  // The temporary file's place is taken, so the new content cannot be written.
  std::filesystem::create_directory(StoreFile().string() + ".tmp");
  EXPECT_NE(store.Update(create("new", ERROR_SUCCESS)), ERROR_SUCCESS);
  EXPECT_EQ(StoreBytes(), before);
}

TEST_F(RegistryStoreFile, CorruptFileIsReportedAndKeptByteForByte) {
  HKEY open{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\App", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &open, nullptr),
            ERROR_SUCCESS);
  // Cut short mid-way while a key is open.
  const std::string good = SampleTree().Serialize();
  const std::string corrupt = good.substr(0, good.size() / 2);
  WriteStoreBytes(corrupt);

  HKEY key{};
  EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software", 0, KEY_ALL_ACCESS, &key), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_BADDB);
  const std::string text = "value";
  EXPECT_EQ(RegSetValueEx(open, "v", 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                          static_cast<uint32_t>(text.size())),
            ERROR_BADDB);
  EXPECT_EQ(StoreBytes(), corrupt);
  EXPECT_EQ(RegCloseKey(open), ERROR_SUCCESS);
}

// Two processes that write at the same time must both keep every value they wrote.
TEST_F(RegistryStoreFile, ConcurrentWritersInTwoProcessesLoseNothing) {
  constexpr int kValuesPerWriter = 60;
  // Both writers also create keys of their own on the way.
  auto pathOf = [](const char* prefix, int i) { return "Software\\Shared\\" + (prefix + std::to_string(i % 5)); };
  auto writer = [&](const char* prefix) {
    for (int i = 0; i < kValuesPerWriter; ++i) {
      HKEY key{};
      const std::string name = prefix + std::to_string(i), text = name + " text";
      if (RegCreateKeyEx(HKEY_CURRENT_USER, pathOf(prefix, i).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                         nullptr) != ERROR_SUCCESS ||
          RegSetValueEx(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.data()),
                        static_cast<uint32_t>(text.size())) != ERROR_SUCCESS)
        return false;
      RegCloseKey(key);
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
      const RegistryKey* key = tree.Find(pathOf(prefix, i));
      const std::string name = prefix + std::to_string(i);
      ASSERT_TRUE(key && key->values.count(name)) << pathOf(prefix, i) << " " << name;
      EXPECT_EQ(key->values.at(name).data, name + " text");
    }
  }
}

}  // namespace
}  // namespace tamarind::platform
