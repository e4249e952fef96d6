// The property surface (properties with side effects on others, limits, design-time refusals), the
// sounds, and the column order saved when the control ends. Names, saving and loading of every
// property: PersistenceTest.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "KestrelFixture.h"
#include "control/BrowserDescriptions.h"
#include "resources/Resources.h"
#include "services/CREG.h"

namespace tamarind::testing {
namespace {

using namespace platform;

class Properties : public ::testing::Test {
 protected:
  Desk d;
  Kestrel& k = d.Place();
};

TEST_F(Properties, SmartColumnSortTurnsAutoSortAndSortedOnButNotOff) {
  k.SmartColumnSort(true);
  EXPECT_TRUE(k.AutoSort());
  EXPECT_TRUE(k.Sorted());
  k.SmartColumnSort(false);
  EXPECT_TRUE(k.AutoSort());
  EXPECT_TRUE(k.Sorted());
}

TEST_F(Properties, DropLinesBelowEightBecomeEightAlsoInTheCallersVariable) {
  int32_t lines = 3;
  k.DropLines(lines);
  EXPECT_EQ(lines, 8);
  EXPECT_EQ(k.DropLines(), 8);
  lines = 12;
  k.DropLines(lines);
  EXPECT_EQ(k.DropLines(), 12);
}

TEST_F(Properties, SubItemClickedCannotBeSetAtDesignTime) {
  d.form.SetUserMode(false);
  d.form.ClearPropertyChanges();
  EXPECT_EQ(ErrorNumberOf([&] { k.SubItemClicked(2); }), err::SetNotPermitted);
  EXPECT_EQ(k.SubItemClicked(), 0);
  EXPECT_TRUE(d.form.PropertyChanges().empty());
  d.form.SetUserMode(true);
  k.SubItemClicked(2);
  EXPECT_EQ(k.SubItemClicked(), 2);
  // The property browser does not offer it.
  ASSERT_TRUE(DescribeKestrelMember("SubItemClicked"));
  EXPECT_FALSE(DescribeKestrelMember("SubItemClicked")->browsable);
  EXPECT_FALSE(DescribeKestrelMember("NoSuchMember"));
}

TEST_F(Properties, LockWindowLocksAndLockWindowTrueUnlocks) {
  k.LockWindow();
  EXPECT_EQ(d.tk.Windows().LockedWindow(), k.hwnd());
  k.LockWindow(true);
  EXPECT_EQ(d.tk.Windows().LockedWindow(), 0);
}

TEST_F(Properties, PlaySoundAlwaysPlaysAndIgnoresUnknownSounds) {
  ASSERT_FALSE(k.PlaySounds());
  k.PlaySound(snd_CLICK);
  ASSERT_EQ(d.tk.SoundImpl().Requests().size(), 1u);
  EXPECT_EQ(d.tk.SoundImpl().Requests()[0].flags, 5u);  // asynchronous, from memory
  EXPECT_EQ(d.tk.SoundImpl().Requests()[0].bytes, LoadResData(104, "WAVE"));
  k.PlaySound(static_cast<CtrlSounds>(105));
  EXPECT_EQ(d.tk.SoundImpl().Requests().size(), 1u);
  EXPECT_TRUE(d.tk.MessageBoxes().empty());
}

TEST(Lifecycle, TheControlSavesItsColumnOrderWhenItEnds) {
  const std::string dir = ::testing::TempDir() + "/kestrel-registry-" + std::to_string(::getpid());
  std::filesystem::remove_all(dir);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
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
  services::CREG reg;
  reg.Company("TAMARIND");
  reg.AppName("COLUMNORDERS");
  EXPECT_EQ(reg.GetSetting("Orders", "Main"), "2,0,1");
  unsetenv("XDG_CONFIG_HOME");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tamarind::testing
