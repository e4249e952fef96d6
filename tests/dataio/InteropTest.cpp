// A spreadsheet program of its own (LibreOffice, where it is installed) reads an exported file:
// converted to CSV it holds the same cells as CopyAll's text.

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/dataio/ExportFixture.h"

namespace tamarind::testing {
namespace {

using Interop = ExportDesk;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

TEST_F(Interop, ASpreadsheetProgramReadsTheExportAsCopyAllCopiesTheList) {
  if (std::system("command -v soffice > /dev/null 2>&1") != 0)
    GTEST_SKIP() << "soffice (LibreOffice) is not installed: the interoperability check did not run";
  Columns({"Spice", "Qty", "Price", "Ordered", "Origin"});
  Row({"Anise", "2", "3.75", "12/6/2026", "Spain"});
  Row({"Bay leaves", "10", "0.5", "1/15/2027", "Türkiye"});
  Row({"Cardamom", "1200", "12", "11/30/2026", "危地马拉"});
  std::string path = dir.File("interop.xls");
  k->ExportToExcel(path, false);
  ASSERT_TRUE(Boxes().empty());
  k->CopyAll();
  std::string copied = Clipboard();
  for (char& c : copied) c = c == '\t' ? ',' : c == '\r' ? '\n' : c;

  // CSV with commas, double quotes around text only where needed, UTF-8.
  const std::string command = "cd '" + dir.Path().string() + "' && soffice -env:UserInstallation=file://" +
                              dir.File("profile") +
                              " --headless --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76' --outdir '" +
                              dir.Path().string() + "' interop.xls > soffice.log 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0) << "soffice failed; see " << dir.File("soffice.log");
  std::ifstream csv(dir.File("interop.csv"), std::ios::binary);
  ASSERT_TRUE(csv) << "soffice wrote no CSV file";
  std::stringstream text;
  text << csv.rdbuf();
  EXPECT_EQ(SplitLines(text.str()), SplitLines(copied));
}

}  // namespace
}  // namespace tamarind::testing
