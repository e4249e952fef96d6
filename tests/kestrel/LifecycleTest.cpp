// The control's life: what a new instance starts with, the keyboard at the control's level,
// sounds, and the column order saved when the control ends.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "KestrelFixture.h"
#include "platform/registry/Registry.h"
#include "resources/Resources.h"
#include "services/CREG.h"

namespace tamarind::testing {
namespace {

using namespace platform;

TEST(Lifecycle, ANewInstanceStartsWithItsDesignTimeSettings) {
  Desk d;
  Kestrel& k = d.Place();
  EXPECT_EQ(k.View(), ListView::lvwReport);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_FALSE(k.AutoSort());
  EXPECT_FALSE(k.PlaySounds());
  EXPECT_TRUE(k.ListViewControl().Visible());
  for (Control* c : std::initializer_list<Control*>{&k.TextBoxControl(), &k.ComboBoxControl(), &k.CalendarControl(),
                                                    &k.CommandButtonControl(), &k.TitleBarLabelControl()})
    EXPECT_FALSE(c->Visible()) << c->Name();
  EXPECT_EQ(k.TitleCaption(), "Title");
  EXPECT_EQ(k.DropDownText(), "cboBOX");
  EXPECT_EQ(k.CommandButtonControl().Caption(), "...");
  EXPECT_FLOAT_EQ(k.CommandButtonControl().Font()->Size(), 6);
  EXPECT_EQ(k.State().Timer->Interval(), 100u);
  EXPECT_FALSE(k.State().Timer->Enabled());
  EXPECT_EQ(k.State().lblEXCELMSG->Text(), "Finalizing workbook formatting...");
}

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

TEST(Lifecycle, TheControlForwardsItsWindowlessHitTest) {
  Desk d;
  Kestrel& k = d.Place();
  struct Host : KestrelEvents {
    void HitTest(float& x, float&, int16_t& result) override {
      seen = x;
      result = 3;
    }
    float seen = 0;
  } host;
  k.Attach(&host);
  float x = 12, y = 34;
  int16_t result = 0;
  UserControlLifecycle::HitTest(k, x, y, result);
  EXPECT_EQ(host.seen, 12);
  EXPECT_EQ(result, 3);  // the host's answer comes back
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
  void TearDown() override { unsetenv("XDG_CONFIG_HOME"); }
  std::string Stored(const std::string& app, const std::string& setting) {
    services::CREG reg;
    reg.Company("TAMARIND");
    reg.AppName("COLUMNORDERS");
    return reg.GetSetting(app, setting);
  }
  std::string dir_;
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
  Desk d;
  Kestrel& k = d.Place();
  for (const char* c : {"A", "B", "C"}) k.ColumnHeaders().Add(0, {}, c);
  k.ColOrderAppName("Orders");
  k.ColOrderSettingName("Main");
  k.RestoreColumnOrder();
  EXPECT_EQ(k.ListViewControl().ColumnOrder(), (std::vector<int32_t>{2, 0, 1}));
}

TEST_F(ColumnOrderAtTheEnd, WithoutBothNamesNothingIsStored) {
  {
    Desk d;
    Kestrel& k = d.Place();
    k.ColumnHeaders().Add(0, {}, "A");
    k.ColOrderAppName("Orders");
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ + "/tamarind"));
  EXPECT_EQ(Stored("Orders", ""), "");
}

}  // namespace
}  // namespace tamarind::testing
