// The desktop's opener, which a real desktop's ShellOpen hands exported files to.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/desktop/DesktopShell.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using platform::DesktopShell;

// An opener that notes the folder it ran in and the file it was given, in "<itself>.seen".
std::string FakeOpener(const TempFolder& dir) {
  const std::string path = dir.File("opener.sh");
  std::ofstream(path) << "#!/bin/sh\n{ pwd; printf '%s' \"$1\"; } > \"$0.tmp\" && mv \"$0.tmp\" \"$0.seen\"\n";
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
  return path;
}

TEST(DesktopShell, HandsTheFileToTheOpenerInTheFolderGiven) {
  TempFolder dir;
  const std::string opener = FakeOpener(dir);
  const std::string file = dir.File("orders.xls");
  std::ofstream(file) << "x";
  std::filesystem::create_directories(dir.Path() / "work");
  EXPECT_EQ(DesktopShell(opener).ShellExecute(0, "open", file, "", dir.File("work"), 1), DesktopShell::kStarted);
  // The opener runs on its own: wait for what it wrote.
  for (int i = 0; i < 500 && !std::filesystem::exists(opener + ".seen"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const std::vector<uint8_t> seen = ReadBytes(opener + ".seen");
  EXPECT_EQ(std::string(seen.begin(), seen.end()), dir.File("work") + "\n" + file);
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
