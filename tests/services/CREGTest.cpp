// CREG: where settings go, what comes back, the default value, deleting values and sections.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry/Registry.h"
#include "services/CREG.h"
#include "tests/services/StoreFixture.h"

namespace tamarind::services {
namespace {

namespace p = tamarind::platform;

class CREGSettings : public test_support::StoreFixture {
 protected:
  // The text of a value read straight from the registry, without CREG; "<missing>" when absent.
  static std::string RawText(const std::string& keyPath, const char* valueName) {
    p::HKEY key{};
    if (p::RegOpenKeyEx(p::HKEY_CURRENT_USER, keyPath.c_str(), 0, p::KEY_READ, &key) != p::ERROR_SUCCESS)
      return "<missing>";
    uint32_t type = 0, size = 0;
    std::string result = "<missing>";
    if (p::RegQueryValueEx(key, valueName, nullptr, &type, nullptr, &size) == p::ERROR_SUCCESS && type == p::REG_SZ) {
      std::vector<uint8_t> buffer(size);
      if (p::RegQueryValueEx(key, valueName, nullptr, nullptr, buffer.data(), &size) == p::ERROR_SUCCESS)
        result.assign(buffer.begin(), buffer.begin() + size - 1);
    }
    p::RegCloseKey(key);
    return result;
  }
  static bool KeyExists(const std::string& keyPath) {
    p::HKEY key{};
    if (p::RegOpenKeyEx(p::HKEY_CURRENT_USER, keyPath.c_str(), 0, p::KEY_READ, &key) != p::ERROR_SUCCESS) return false;
    p::RegCloseKey(key);
    return true;
  }
};

TEST_F(CREGSettings, NamesStartAsTheLibrarysOwn) {
  CREG reg;
  EXPECT_EQ(reg.Company(), "Tamarind");
  EXPECT_EQ(reg.AppName(), "Tamarind");
  ASSERT_TRUE(reg.SaveSetting("Window", "Left", "120"));
  EXPECT_EQ(RawText("Software\\Tamarind\\Tamarind\\Window", "Left"), "120");
}

TEST_F(CREGSettings, NamesAreTrimmedAndEmptyOnesFallBack) {
  CREG reg;
  reg.Company("  Acme Tools ");
  reg.AppName(" Planner  ");
  EXPECT_EQ(reg.Company(), "Acme Tools");
  EXPECT_EQ(reg.AppName(), "Planner");
  reg.Company("");
  reg.AppName("");
  EXPECT_EQ(reg.Company(), "VB and VBA Program Settings");
  EXPECT_EQ(reg.AppName(), "Tamarind");
  reg.Company("   ");
  EXPECT_EQ(reg.Company(), "VB and VBA Program Settings");
}

TEST_F(CREGSettings, EmptyCompanyPutsSettingsUnderTheRuntimesOwnKey) {
  CREG reg;
  reg.Company("");
  reg.AppName("Planner");
  ASSERT_TRUE(reg.SaveSetting("Columns", "Order", "1,0"));
  EXPECT_EQ(RawText("Software\\VB and VBA Program Settings\\Planner\\Columns", "Order"), "1,0");
}

TEST_F(CREGSettings, EmptySectionUsesTheApplicationKey) {
  CREG reg;
  reg.Company("Acme");
  reg.AppName("Planner");
  ASSERT_TRUE(reg.SaveSetting("", "Top", "7"));
  EXPECT_EQ(RawText("Software\\Acme\\Planner", "Top"), "7");
  EXPECT_EQ(reg.GetSetting("", "top"), "7");
}

TEST_F(CREGSettings, SectionsAndKeysIgnoreLetterCase) {
  CREG reg;
  ASSERT_TRUE(reg.SaveSetting("Window", "Left", "1"));
  EXPECT_EQ(reg.GetSetting("WINDOW", "left"), "1");
  ASSERT_TRUE(reg.SaveSetting("window", "LEFT", "2"));
  EXPECT_EQ(reg.GetSetting("Window", "Left"), "2");
}

// Every text SaveSetting stores comes back from GetSetting exactly.
class CREGRoundTrip : public CREGSettings, public ::testing::WithParamInterface<std::string> {};

TEST_P(CREGRoundTrip, TextComesBackUnchanged) {
  CREG reg;
  reg.Company("Acme");
  reg.AppName("Planner");
  ASSERT_TRUE(reg.SaveSetting("Texts", "Value", GetParam()));
  EXPECT_EQ(reg.GetSetting("Texts", "Value"), GetParam());
  // A second object reads the file again.
  CREG again;
  again.Company("Acme");
  again.AppName("Planner");
  EXPECT_EQ(again.GetSetting("Texts", "Value"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, CREGRoundTrip,
                         ::testing::Values(std::string(""), std::string("x"), std::string("2,0,1"),
                                           std::string("trailing space "), std::string("  both  "),
                                           std::string("Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\x8A"),
                                           std::string("two\nlines\r\nand\ttab"),
                                           std::string("\"quoted\" back\\slash [key] @=sz:"),
                                           std::string("end\n[Software]\ntamarind-registry 1"),
                                           std::string(5000, 'w')));

TEST_F(CREGSettings, MissingOrEmptySettingsGiveTheDefault) {
  CREG reg;
  EXPECT_EQ(reg.GetSetting("Nowhere", "Value", "fallback"), "fallback");
  EXPECT_EQ(reg.GetSetting("Nowhere", "Value"), "");
  ASSERT_TRUE(reg.SaveSetting("Somewhere", "Other", "x"));
  EXPECT_EQ(reg.GetSetting("Somewhere", "Value", "fallback"), "fallback");
  ASSERT_TRUE(reg.SaveSetting("Somewhere", "Empty", ""));
  EXPECT_EQ(reg.GetSetting("Somewhere", "Empty", "fallback"), "fallback");
}

TEST_F(CREGSettings, StarNamesTheDefaultValue) {
  CREG reg;
  reg.Company("Acme");
  reg.AppName("Planner");
  ASSERT_TRUE(reg.SaveSetting("Section", "*", "unnamed"));
  EXPECT_EQ(RawText("Software\\Acme\\Planner\\Section", ""), "unnamed");
  EXPECT_EQ(RawText("Software\\Acme\\Planner\\Section", "*"), "<missing>");
  EXPECT_EQ(reg.GetSetting("Section", "*"), "unnamed");
  ASSERT_TRUE(reg.DeleteSetting("Section", "*"));
  EXPECT_EQ(reg.GetSetting("Section", "*", "gone"), "gone");
}

TEST_F(CREGSettings, DeleteSettingRemovesOneValue) {
  CREG reg;
  ASSERT_TRUE(reg.SaveSetting("Section", "A", "1"));
  ASSERT_TRUE(reg.SaveSetting("Section", "B", "2"));
  EXPECT_TRUE(reg.DeleteSetting("Section", "A"));
  EXPECT_EQ(reg.GetSetting("Section", "A", "gone"), "gone");
  EXPECT_EQ(reg.GetSetting("Section", "B"), "2");
  EXPECT_FALSE(reg.DeleteSetting("Section", "A"));
  EXPECT_FALSE(reg.DeleteSetting("No section", "B"));
}

TEST_F(CREGSettings, DeleteSettingWithoutKeyRemovesTheSection) {
  CREG reg;
  reg.Company("Acme");
  reg.AppName("Planner");
  ASSERT_TRUE(reg.SaveSetting("Section", "A", "1"));
  ASSERT_TRUE(reg.SaveSetting("Other", "A", "2"));
  EXPECT_TRUE(reg.DeleteSetting("Section"));
  EXPECT_FALSE(KeyExists("Software\\Acme\\Planner\\Section"));
  EXPECT_EQ(reg.GetSetting("Section", "A", "gone"), "gone");
  EXPECT_EQ(reg.GetSetting("Other", "A"), "2");
  EXPECT_FALSE(reg.DeleteSetting("Section"));
}

TEST_F(CREGSettings, SectionWithSubsectionsIsNotDeleted) {
  CREG reg;
  ASSERT_TRUE(reg.SaveSetting("Outer", "A", "1"));
  ASSERT_TRUE(reg.SaveSetting("Outer\\Inner", "B", "2"));
  EXPECT_FALSE(reg.DeleteSetting("Outer"));
  EXPECT_EQ(reg.GetSetting("Outer", "A"), "1");
  EXPECT_EQ(reg.GetSetting("Outer\\Inner", "B"), "2");
  EXPECT_TRUE(reg.DeleteSetting("Outer\\Inner"));
  EXPECT_TRUE(reg.DeleteSetting("Outer"));
}

TEST_F(CREGSettings, CorruptStoreGivesDefaultsAndFalseAndStaysAsItIs) {
  const std::string corrupt = "tamarind-registry 1\n[Software]\n[Software\\Tamarind\\Tamarind\\S]\n\"K\"=sz:\"v";
  WriteStoreBytes(corrupt);
  CREG reg;
  EXPECT_EQ(reg.GetSetting("S", "K", "fallback"), "fallback");
  EXPECT_FALSE(reg.SaveSetting("S", "K", "new"));
  EXPECT_FALSE(reg.DeleteSetting("S", "K"));
  EXPECT_FALSE(reg.DeleteSetting("S"));
  EXPECT_EQ(StoreBytes(), corrupt);
}

TEST_F(CREGSettings, NamesOrTextsHoldingAZeroByteAreRefused) {
  CREG reg;
  const std::string zero("a\0b", 3);
  EXPECT_FALSE(reg.SaveSetting("S", zero, "x"));
  EXPECT_FALSE(reg.SaveSetting(zero, "K", "x"));
  EXPECT_FALSE(reg.SaveSetting("S", "K", zero));
  EXPECT_EQ(reg.GetSetting("S", "a", "nothing"), "nothing");
  EXPECT_FALSE(KeyExists("Software\\Tamarind\\Tamarind\\a"));
}

}  // namespace
}  // namespace tamarind::services
