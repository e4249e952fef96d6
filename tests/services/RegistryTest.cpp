// The registry functions: keys, values, sizes with the terminating zero, access, deletion rules
// and handles.

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

  HKEY Create(const char* path, uint32_t* disposition = nullptr, REGSAM sam = KEY_ALL_ACCESS) {
    HKEY key{};
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, sam, nullptr, &key,
                             disposition),
              ERROR_SUCCESS);
    opened_.push_back(key);
    return key;
  }
  LSTATUS Open(const char* path, HKEY& key, REGSAM sam = KEY_ALL_ACCESS, HKEY from = HKEY_CURRENT_USER) {
    const LSTATUS s = RegOpenKeyEx(from, path, 0, sam, &key);
    if (s == ERROR_SUCCESS) opened_.push_back(key);
    return s;
  }
  static LSTATUS SetText(HKEY key, const char* name, const std::string& text, bool withTerminator = false) {
    return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const uint8_t*>(text.c_str()),
                         static_cast<uint32_t>(text.size() + (withTerminator ? 1 : 0)));
  }
  // The value's bytes as a query returns them (with the terminating zero for text).
  static std::string Query(HKEY key, const char* name, uint32_t* type = nullptr) {
    uint32_t size = 0;
    if (RegQueryValueEx(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return "<missing>";
    std::vector<uint8_t> buffer(size);
    if (RegQueryValueEx(key, name, nullptr, type, buffer.data(), &size) != ERROR_SUCCESS) return "<unreadable>";
    return std::string(buffer.begin(), buffer.begin() + size);
  }

 private:
  std::vector<HKEY> opened_;
};

TEST_F(RegistryFunctions, CreateMakesEveryMissingLevelAndReportsWhetherTheKeyIsNew) {
  uint32_t disposition = 0;
  Create("Software\\Vendor\\App\\Section", &disposition);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  HKEY key{};
  EXPECT_EQ(Open("Software\\Vendor", key), ERROR_SUCCESS);
  Create("Software\\Vendor\\App\\Section", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  Create("Software\\Vendor", &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
}

TEST_F(RegistryFunctions, OpenFindsOnlyExistingKeys) {
  HKEY key{};
  EXPECT_EQ(Open("Software\\Nowhere", key), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key, HKEY{});
  EXPECT_FALSE(StoreExists());  // looking does not create the store
  const HKEY vendor = Create("Software\\Vendor");
  EXPECT_EQ(Open("App", key, KEY_ALL_ACCESS, vendor), ERROR_FILE_NOT_FOUND);
  Create("Software\\Vendor\\App");
  EXPECT_EQ(Open("App", key, KEY_ALL_ACCESS, vendor), ERROR_SUCCESS);
}

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
}

TEST_F(RegistryFunctions, TextIsTheSameWrittenWithOrWithoutItsTerminatingZero) {
  const HKEY key = Create("Software\\Sizes");
  ASSERT_EQ(SetText(key, "with", "abc", true), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "without", "abc", false), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "with"), Query(key, "without"));
  ASSERT_EQ(SetText(key, "empty", ""), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "empty"), std::string(1, '\0'));
}

TEST_F(RegistryFunctions, TextWithAZeroInsideIsRefused) {
  const HKEY key = Create("Software\\Sizes");
  const std::string bytes("ab\0cd", 5);
  EXPECT_EQ(RegSetValueEx(key, "v", 0, REG_SZ, reinterpret_cast<const uint8_t*>(bytes.data()), 5),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Query(key, "v"), "<missing>");
}

TEST_F(RegistryFunctions, BinaryValuesKeepEveryByte) {
  const HKEY key = Create("Software\\Bytes");
  const std::string bytes("\0\x01\xFF\n\0", 5);
  ASSERT_EQ(RegSetValueEx(key, "raw", 0, REG_BINARY, reinterpret_cast<const uint8_t*>(bytes.data()), 5),
            ERROR_SUCCESS);
  uint32_t type = 0;
  EXPECT_EQ(Query(key, "raw", &type), bytes);
  EXPECT_EQ(type, REG_BINARY);
}

TEST_F(RegistryFunctions, EmptyAndNullValueNamesAreTheDefaultValue) {
  const HKEY key = Create("Software\\Defaults");
  ASSERT_EQ(SetText(key, nullptr, "unnamed"), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, ""), std::string("unnamed\0", 8));
  ASSERT_EQ(SetText(key, "", "again"), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, nullptr), std::string("again\0", 6));
  EXPECT_EQ(Query(key, "@"), "<missing>");
}

TEST_F(RegistryFunctions, DeleteValueRemovesOnlyThatValue) {
  const HKEY key = Create("Software\\Values");
  ASSERT_EQ(SetText(key, "a", "1"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key, "b", "2"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValue(key, "A"), ERROR_SUCCESS);
  EXPECT_EQ(Query(key, "a"), "<missing>");
  EXPECT_EQ(Query(key, "b"), std::string("2\0", 2));
  EXPECT_EQ(RegDeleteValue(key, "a"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFunctions, DeleteKeyIsRefusedWhileTheKeyHasSubkeys) {
  const HKEY app = Create("Software\\Vendor\\App");
  ASSERT_EQ(SetText(app, "kept", "yes"), ERROR_SUCCESS);
  Create("Software\\Vendor\\App\\Section");
  HKEY vendor{};
  ASSERT_EQ(Open("Software\\Vendor", vendor), ERROR_SUCCESS);

  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_KEY_HAS_CHILDREN);
  EXPECT_EQ(Query(app, "kept"), std::string("yes\0", 4));

  EXPECT_EQ(RegDeleteKey(vendor, "app\\section"), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_SUCCESS);
  HKEY gone{};
  EXPECT_EQ(Open("Software\\Vendor\\App", gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open("Software\\Vendor", gone), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKey(vendor, "App"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFunctions, DeleteKeyDoesNotTouchKeysThatOnlyShareAPrefix) {
  Create("Software\\App");
  Create("Software\\App Two\\Child");
  Create("Software\\App-Three");
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\App"), ERROR_SUCCESS);
  HKEY key{};
  EXPECT_EQ(Open("Software\\App Two\\Child", key), ERROR_SUCCESS);
  EXPECT_EQ(Open("Software\\App-Three", key), ERROR_SUCCESS);
}

TEST_F(RegistryFunctions, EmptySubkeyNameDeletesTheOpenKeyItselfButNeverTheRoot) {
  const HKEY key = Create("Software\\Leaf");
  EXPECT_EQ(RegDeleteKey(key, ""), ERROR_SUCCESS);
  HKEY gone{};
  EXPECT_EQ(Open("Software\\Leaf", gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryFunctions, HandleOfADeletedKeyReportsIt) {
  const HKEY key = Create("Software\\Doomed");
  ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "Software\\Doomed"), ERROR_SUCCESS);
  EXPECT_EQ(SetText(key, "v", "x"), ERROR_KEY_DELETED);
  uint32_t size = 0;
  EXPECT_EQ(RegQueryValueEx(key, "v", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
  HKEY sub{};
  EXPECT_EQ(RegCreateKeyEx(key, "Sub", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr), ERROR_KEY_DELETED);
  // The deleted key is not brought back by the failed calls.
  HKEY gone{};
  EXPECT_EQ(Open("Software\\Doomed", gone), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryFunctions, AccessRightsOfTheHandleAreEnforced) {
  const HKEY writable = Create("Software\\Access");
  ASSERT_EQ(SetText(writable, "v", "x"), ERROR_SUCCESS);
  HKEY reader{}, writer{};
  ASSERT_EQ(Open("Software\\Access", reader, KEY_READ), ERROR_SUCCESS);
  ASSERT_EQ(Open("Software\\Access", writer, KEY_WRITE), ERROR_SUCCESS);
  EXPECT_EQ(SetText(reader, "v", "changed"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValue(reader, "v"), ERROR_ACCESS_DENIED);
  uint32_t size = 0;
  EXPECT_EQ(RegQueryValueEx(writer, "v", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Query(reader, "v"), std::string("x\0", 2));
}

TEST_F(RegistryFunctions, ClosedAndUnknownHandlesAreInvalid) {
  HKEY key{};
  ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software\\H", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
  EXPECT_EQ(SetText(key, "v", "x"), ERROR_INVALID_HANDLE);
  HKEY sub{};
  EXPECT_EQ(RegOpenKeyEx(key, "x", 0, KEY_ALL_ACCESS, &sub), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegOpenKeyEx(HKEY{0x12345}, "x", 0, KEY_ALL_ACCESS, &sub), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);  // predefined: nothing to close
}

TEST_F(RegistryFunctions, MalformedKeyPathsAndArgumentsAreRefused) {
  HKEY key{};
  for (const char* path : {"\\Software", "Software\\\\App", "Software\\", "Soft\x01ware", "Soft\xFFware"})
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_INVALID_PARAMETER)
        << path;
  const std::string longName(256, 'k');
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, "Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, nullptr, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_FALSE(StoreExists());

  const HKEY k = Create("Software\\Args");
  uint8_t buffer[4];
  EXPECT_EQ(RegQueryValueEx(k, "v", nullptr, nullptr, buffer, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueEx(k, "v", 0, REG_SZ, nullptr, 3), ERROR_INVALID_PARAMETER);
}

}  // namespace
}  // namespace tamarind::platform
