// Files replaced whole: what a reader finds after a write, and what the write keeps of the old file.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "runtime/WholeFile.h"

namespace tamarind::testing {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WholeFile, ReplacesALongerFileExactlyKeepingItsPermissionsAndLinks) {
  const fs::path dir = fs::temp_directory_path() / ("tamarind-wholefile-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path file = dir / "report.txt", link = dir / "latest.txt";
  std::ofstream(file) << std::string(100000, 'x');
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(file.filename(), link);

  ASSERT_EQ(WriteWholeFile(link.string(), std::string_view("short")), 0);
  EXPECT_EQ(Read(file), "short");  // nothing of the old 100,000 bytes is left
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);  // no temporary left

  // A new file gets the mode asked for; a folder in the way is refused and stays.
  ASSERT_EQ(WriteWholeFile((dir / "settings").string(), std::string_view("a=1\n"), 0600), 0);
  EXPECT_EQ(fs::status(dir / "settings").permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_directory(dir / "folder");
  EXPECT_EQ(WriteWholeFile((dir / "folder").string(), std::string_view("x")), EISDIR);
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace tamarind::testing
