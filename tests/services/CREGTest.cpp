// CREG: where settings go, what comes back, the default value, deleting values and sections.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

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
    char text[64] = {};
    uint32_t type = 0, size = sizeof text;
    const p::LSTATUS s = p::RegQueryValueEx(key, valueName, nullptr, &type, reinterpret_cast<uint8_t*>(text), &size);
    p::RegCloseKey(key);
    return s == p::ERROR_SUCCESS && type == p::REG_SZ ? std::string(text) : "<missing>";
  }
  static CREG Planner() {
    CREG reg;
    reg.Company("Acme");
    reg.AppName("Planner");
    return reg;
  }
};

TEST_F(CREGSettings, NamesAreTrimmedAndEmptyCompanyUsesTheRuntimesOwnKey) {
  CREG reg;
  EXPECT_EQ(reg.Company(), "Tamarind");
  EXPECT_EQ(reg.AppName(), "Tamarind");
  reg.Company("  Acme Tools ");
  EXPECT_EQ(reg.Company(), "Acme Tools");
  reg.Company("   ");
  EXPECT_EQ(reg.Company(), "VB and VBA Program Settings");
  reg.Company("");
  reg.AppName(" Planner  ");
  ASSERT_TRUE(reg.SaveSetting("Columns", "Order", "1,0"));
  EXPECT_EQ(RawText("Software\\VB and VBA Program Settings\\Planner\\Columns", "Order"), "1,0");
  // An empty section is the application's key itself.
  ASSERT_TRUE(reg.SaveSetting("", "Top", "7"));
  EXPECT_EQ(RawText("Software\\VB and VBA Program Settings\\Planner", "Top"), "7");
}

// Every text SaveSetting stores comes back from GetSetting exactly.
class CREGRoundTrip : public CREGSettings, public ::testing::WithParamInterface<std::string> {};

TEST_P(CREGRoundTrip, TextComesBackUnchanged) {
  ASSERT_TRUE(Planner().SaveSetting("Texts", "Value", GetParam()));
  // A second object reads the file again.
  EXPECT_EQ(Planner().GetSetting("Texts", "Value"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, CREGRoundTrip,
                         ::testing::Values(std::string(""), std::string("trailing space "), std::string("  both  "),
                                           std::string("Z\xC3\xBCrich \xE6\x9D\xB1\xE4\xBA\xAC \xF0\x9F\x8D\x8A"),
                                           std::string("two\nlines\r\nand\ttab"),
                                           std::string("\"quoted\" back\\slash [key] @=sz:"),
                                           std::string("end\n[Software]\ntamarind-registry 1")));

TEST_F(CREGSettings, MissingOrEmptySettingsGiveTheDefault) {
  CREG reg;
  EXPECT_EQ(reg.GetSetting("Nowhere", "Value", "fallback"), "fallback");
  ASSERT_TRUE(reg.SaveSetting("Somewhere", "Empty", ""));
  EXPECT_EQ(reg.GetSetting("Somewhere", "Empty", "fallback"), "fallback");
  EXPECT_EQ(reg.GetSetting("Somewhere", "Other", "fallback"), "fallback");
}

TEST_F(CREGSettings, StarNamesTheDefaultValue) {
  CREG reg = Planner();
  ASSERT_TRUE(reg.SaveSetting("Section", "*", "unnamed"));
  EXPECT_EQ(RawText("Software\\Acme\\Planner\\Section", ""), "unnamed");
  EXPECT_EQ(RawText("Software\\Acme\\Planner\\Section", "*"), "<missing>");
  EXPECT_EQ(reg.GetSetting("Section", "*"), "unnamed");
  ASSERT_TRUE(reg.DeleteSetting("Section", "*"));
  EXPECT_EQ(reg.GetSetting("Section", "*", "gone"), "gone");
}

TEST_F(CREGSettings, DeleteSettingRemovesOneValueOrTheWholeSection) {
  CREG reg = Planner();
  ASSERT_TRUE(reg.SaveSetting("Section", "A", "1"));
  ASSERT_TRUE(reg.SaveSetting("Section", "B", "2"));
  ASSERT_TRUE(reg.SaveSetting("Other", "A", "3"));
  EXPECT_TRUE(reg.DeleteSetting("Section", "A"));
  EXPECT_EQ(reg.GetSetting("Section", "A", "gone"), "gone");
  EXPECT_EQ(reg.GetSetting("Section", "B"), "2");
  EXPECT_FALSE(reg.DeleteSetting("Section", "A"));

  EXPECT_TRUE(reg.DeleteSetting("Section"));
  p::HKEY gone{};
  EXPECT_EQ(p::RegOpenKeyEx(p::HKEY_CURRENT_USER, "Software\\Acme\\Planner\\Section", 0, p::KEY_READ, &gone),
            p::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg.GetSetting("Other", "A"), "3");
  EXPECT_FALSE(reg.DeleteSetting("Section"));
  // A section that holds sections of its own stays.
  ASSERT_TRUE(reg.SaveSetting("Other\\Inner", "B", "4"));
  EXPECT_FALSE(reg.DeleteSetting("Other"));
  EXPECT_EQ(reg.GetSetting("Other", "A"), "3");
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

}  // namespace
}  // namespace tamarind::services
