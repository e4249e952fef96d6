// The desktop's opener, which a real desktop's ShellOpen hands exported files to.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/desktop/DesktopShell.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using platform::DesktopShell;

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 500 && !std::filesystem::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// An opener that notes the file it was given and the folder it ran in.
std::string FakeOpener(const TempFolder& dir) {
  const std::string path = dir.File("opener.sh");
  std::ofstream(path) << "#!/bin/sh\npwd > \"$0.folder.tmp\" && mv \"$0.folder.tmp\" \"$0.folder\"\n"
                         "printf '%s' \"$1\" > \"$0.file.tmp\" && mv \"$0.file.tmp\" \"$0.file\"\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path;
}

TEST(DesktopShell, HandsTheFileToTheOpenerInTheFolderGiven) {
  TempFolder dir;
  const std::string opener = FakeOpener(dir);
  const std::string file = dir.File("orders.xls");
  std::ofstream(file) << "x";
  std::filesystem::create_directories(dir.Path() / "work");
  DesktopShell shell(opener);
  EXPECT_EQ(shell.ShellExecute(0, "open", file, "", dir.File("work"), 1), DesktopShell::kStarted);
  EXPECT_EQ(WaitForFile(opener + ".file"), file);
  EXPECT_EQ(WaitForFile(opener + ".folder"), dir.File("work") + "\n");
}

TEST(DesktopShell, ReportsWhatCannotBeOpened) {
  TempFolder dir;
  const std::string file = dir.File("orders.xls");
  std::ofstream(file) << "x";
  EXPECT_EQ(DesktopShell("true").ShellExecute(0, "open", dir.File("missing.xls"), "", "", 1), DesktopShell::SE_ERR_FNF);
  EXPECT_EQ(DesktopShell(dir.File("no-opener")).ShellExecute(0, "open", file, "", "", 1), DesktopShell::SE_ERR_NOASSOC);
  EXPECT_EQ(DesktopShell("true").ShellExecute(0, "print", file, "", "", 1), DesktopShell::SE_ERR_NOASSOC);
  // An address is handed on as it is; there is no file to look for.
  EXPECT_EQ(DesktopShell("true").ShellExecute(0, "open", "mailto:orders@spices.test", "", "", 1), DesktopShell::kStarted);
}

}  // namespace
}  // namespace tamarind::testing
