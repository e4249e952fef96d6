// The registry functions: keys, values, sizes with the terminating zero, deletion rules and
// handles.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::platform {
namespace {

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

TEST_F(RegistryFunctions, KeyAndValueNamesIgnoreLetterCaseAndKeepTheirFirstSpelling) {
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
}

TEST_F(RegistryFunctions, TextSizesCountTheTerminatingZero) {
  const HKEY key = Create("Software\\Sizes");
  ASSERT_EQ(SetText(key, "v", "h\xC3\xA9llo"), ERROR_SUCCESS);  // 6 bytes of text
  uint32_t type = 0, size = 0;
  ASSERT_EQ(RegQueryValueEx(key, "v", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 7u);

  uint8_t small[6];
  size = sizeof small;
  EXPECT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 7u);

  uint8_t exact[7];
  size = sizeof exact;
  ASSERT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, exact, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 7u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(exact), 7), std::string("h\xC3\xA9llo\0", 7));

  // Written with or without its terminating zero, the text is the same.
  ASSERT_EQ(SetText(key, "with", "abc", true), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "with"), std::string("abc\0", 4));
}

TEST_F(RegistryFunctions, DeleteKeyIsRefusedWhileTheKeyHasSubkeys) {
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
}

TEST_F(RegistryFunctions, BadHandlesPathsAndArgumentsAreRefused) {
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
