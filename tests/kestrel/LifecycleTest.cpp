// The control's life: the keyboard at the control's level, sounds, and the column order saved
// when the control ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "KestrelFixture.h"
#include "resources/Resources.h"
#include "services/CREG.h"

namespace tamarind::testing {
namespace {

using namespace platform;

TEST(Lifecycle, TabInTheControlNeverTypesATab) {
  Desk d;
  Kestrel& k = d.Place();
  k.ColumnHeaders().Add(0, {}, "Name");
  k.ListItems().Add(0, {}, "row");
  k.ListItems().Item(1)->Selected(true);
  k.ShowTextBox("abc");
  k.SetFocusToTextBox();
  d.user.PressKey(vbKeyEnd);
  d.user.PressKey(vbKeyTab);
  EXPECT_EQ(k.TextBoxControl().Text(), "abc");
  EXPECT_TRUE(k.TextBoxControl().HasFocus());  // Tab stayed in the control
}

TEST(Lifecycle, PlaySoundAlwaysPlaysAndIgnoresUnknownSounds) {
  Desk d;
  Kestrel& k = d.Place();
  ASSERT_FALSE(k.PlaySounds());
  k.PlaySound(snd_CLICK);
  ASSERT_EQ(d.tk.SoundImpl().Requests().size(), 1u);
  EXPECT_EQ(d.tk.SoundImpl().Requests()[0].flags, 5u);  // asynchronous, from memory
  EXPECT_EQ(d.tk.SoundImpl().Requests()[0].bytes, LoadResData(104, "WAVE"));
  k.PlaySound(static_cast<CtrlSounds>(105));
  EXPECT_EQ(d.tk.SoundImpl().Requests().size(), 1u);
  EXPECT_TRUE(d.tk.MessageBoxes().empty());
}

class ColumnOrderAtTheEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ::testing::TempDir() + "/kestrel-registry-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::filesystem::remove_all(dir_);
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(dir_);
  }
  std::string dir_;
  std::string Stored(const std::string& app, const std::string& setting) {
    services::CREG reg;
    reg.Company("TAMARIND");
    reg.AppName("COLUMNORDERS");
    return reg.GetSetting(app, setting);
  }
};

TEST_F(ColumnOrderAtTheEnd, TheControlSavesItsColumnOrderWhenItEnds) {
  {
    Desk d;
    Kestrel& k = d.Place();
    for (const char* c : {"A", "B", "C"}) k.ColumnHeaders().Add(0, {}, c);
    k.AllowColumnReorder(true);
    k.ColOrderAppName("Orders");
    k.ColOrderSettingName("Main");
    d.user.DragColumn(k.ListViewControl(), 3, 1);
    d.form.Unload();
  }
  EXPECT_EQ(Stored("Orders", "Main"), "2,0,1");
}

}  // namespace
}  // namespace tamarind::testing
