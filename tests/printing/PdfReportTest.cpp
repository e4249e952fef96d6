// Reports printed to real PDF files, read back with poppler's pdfinfo and pdftotext.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "platform/printing/CupsPrinter.h"
#include "platform/printing/PdfPrinter.h"
#include "tests/printing/PdfTools.h"
#include "tests/kestrel/KestrelFixture.h"
#include "tests/records/RecordsFixture.h"

namespace tamarind::testing {
namespace {

using printing::PdfPrinter;

class PdfReport : public ::testing::Test {
 protected:
  PdfReport() : k(desk.Place()), pdf(std::make_shared<PdfPrinter>(printing::A4Paper(), dir.Path())) {
    desk.form.Show();
    desk.tk.SetPrinter(pdf);
    pdf->JobName("Spice report");
    k.ColumnHeaders().Add(0, {}, "Name", 1800);
    k.ColumnHeaders().Add(0, {}, "Notes", 1800);
    k.ColumnHeaders().Add(0, {}, "Qty", 900, platform::ColumnHeader::lvwColumnRight);
  }
  void AddRows(int n) {
    for (int i = 1; i <= n; ++i) {
      auto item = k.ListItems().Add(0, {}, "Spice " + std::to_string(i));
      item->SubItems(1, i == 2 ? "A note far too long to fit into the narrow column it was given" : "dry");
      item->SubItems(2, std::to_string(i * 10));
    }
  }
  std::vector<std::filesystem::path> Files() const {
    std::vector<std::filesystem::path> out;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) out.push_back(e.path());
    return out;
  }

  TempFolder dir;
  Desk desk;
  Kestrel& k;
  std::shared_ptr<PdfPrinter> pdf;
};

TEST_F(PdfReport, ALongListBecomesPagesWithTitleHeadersCutTextsAndFooters) {
  AddRows(80);
  k.PrintingReportHeader("Stock at the Lyon store");
  k.PrintToDefaultPrinter();
  ASSERT_EQ(Files().size(), 1u);
  const auto file = pdf->LastOutput();
  EXPECT_EQ(Files().front(), file);
  EXPECT_EQ(file.extension(), ".pdf");

  const std::string info = Info(file);
  EXPECT_TRUE(Has(info, "Pages:           2")) << info;
  EXPECT_EQ(pdf->LastPageCount(), 2);
  EXPECT_TRUE(Has(info, "595.276 x 841.89 pts (A4)")) << info;

  const std::string first = PageText(file, 1), second = PageText(file, 2);
  EXPECT_TRUE(Has(first, "Stock at the Lyon store")) << first;
  EXPECT_TRUE(Has(first, "Name")) << first;
  EXPECT_TRUE(Has(first, "Notes")) << first;
  EXPECT_TRUE(Has(first, "Spice 1 ")) << first;
  EXPECT_TRUE(Has(first, "Page 1")) << first;
  EXPECT_FALSE(Has(first, "Page 2")) << first;
  EXPECT_TRUE(Has(second, "Spice 80")) << second;
  EXPECT_TRUE(Has(second, "Page 2")) << second;
  EXPECT_FALSE(Has(second, "Stock at the Lyon store")) << second;
  // The long note is cut, and what is left of it ends in "..."
  EXPECT_FALSE(Has(first, "it was given")) << first;
  const size_t note = first.find("A note");
  ASSERT_NE(note, std::string::npos) << first;
  const std::string cut = first.substr(note, first.find_first_of("\n", note) - note);
  EXPECT_TRUE(Has(cut, "... ")) << cut;
}

TEST_F(PdfReport, LandscapeTurnsThePagesOfThatJobOnly) {
  AddRows(3);
  k.PrintToDefaultPrinterLandscape();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "841.89 x 595.276 pts (A4)"));
  EXPECT_EQ(pdf->Orientation(), platform::Printer::vbPRORPortrait);
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "595.276 x 841.89 pts (A4)"));
  EXPECT_EQ(Files().size(), 2u);
  // The printable area turns with the sheet: landscape's width is portrait's height and the other
  // way round, and the long side of A4 (841.89 points, 20 twips each) runs across.
  const float portraitWidth = pdf->ScaleWidth(), portraitHeight = pdf->ScaleHeight();
  pdf->Orientation(platform::Printer::vbPRORLandscape);
  EXPECT_FLOAT_EQ(pdf->ScaleWidth(), portraitHeight);
  EXPECT_FLOAT_EQ(pdf->ScaleHeight(), portraitWidth);
  EXPECT_GT(pdf->ScaleWidth(), 595.276f * 20);
  EXPECT_LE(pdf->ScaleWidth(), 841.89f * 20);
}

TEST_F(PdfReport, AnAbandonedOrFailedJobLeavesNoFile) {
  AddRows(3);
  k.ListItems().Item(3)->SmallIcon(1);  // an icon, but no image list: the job fails on row 3
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Files().empty());
  EXPECT_FALSE(pdf->DocumentOpen());

  pdf->Print("begun");
  pdf->KillDoc();
  pdf->EndDoc();  // nothing left to end
  EXPECT_TRUE(Files().empty());
}

// The PDF's title is the report's heading; a report without one takes the printer's job name.
TEST_F(PdfReport, TheTitleIsTheReportHeaderElseTheJobName) {
  AddRows(2);
  k.PrintingReportHeader("Stock at the Lyon store");
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "Title:           Stock at the Lyon store\n")) << Info(pdf->LastOutput());
  k.PrintingReportHeader("Épices – Fès, 2ᵉ étage");
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "Title:           Épices – Fès, 2ᵉ étage\n")) << Info(pdf->LastOutput());
  k.PrintingReportHeader("");
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "Title:           Spice report\n")) << Info(pdf->LastOutput());
}

// A report replaces a file of its name whole, or leaves it as it was when the job fails; no part
// file is left beside it either way.
TEST_F(PdfReport, AReportReplacesALongerFileWholeOrLeavesItAsItWas) {
  const auto file = dir / "stock.pdf";
  const std::string older(300000, 'Z');
  std::ofstream(file, std::ios::binary) << older;
  AddRows(2);
  pdf->NextOutputFile(file);
  k.PrintToDefaultPrinter();
  ASSERT_EQ(pdf->LastOutput(), file);
  const std::string bytes = ReadText(file);
  EXPECT_LT(bytes.size(), older.size());
  EXPECT_EQ(bytes.rfind("%PDF-", 0), 0u);
  EXPECT_TRUE(bytes.ends_with("%%EOF\n")) << bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 40));
  EXPECT_TRUE(Has(Info(file), "Pages:           1")) << Info(file);
  EXPECT_EQ(Files(), std::vector<std::filesystem::path>{file});

  std::ofstream(file, std::ios::binary | std::ios::trunc) << older;
  k.ListItems().Item(2)->SmallIcon(1);  // an icon, but no image list: the job fails on row 2
  pdf->NextOutputFile(file);
  k.PrintToDefaultPrinter();
  EXPECT_FALSE(pdf->DocumentOpen());
  EXPECT_TRUE(ReadText(file) == older);
  EXPECT_EQ(Files(), std::vector<std::filesystem::path>{file});
}

TEST_F(PdfReport, UnwritableFolderIsAFileAccessError) {
  std::ofstream(dir / "blocker") << "a file where the folder should be";
  pdf->Folder(dir / "blocker" / "reports");
  EXPECT_EQ(ErrorNumberOf([&] { pdf->Print("x"); }), err::PathFileAccessError);
  EXPECT_FALSE(pdf->DocumentOpen());
}

TEST_F(PdfReport, TextIsMeasuredInTheFontItIsPrintedIn) {
  auto& font = pdf->Font();
  font.Size(10);
  const float narrow = pdf->TextWidth("iiii"), wide = pdf->TextWidth("WWWW");
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, 2 * narrow);
  // Only what holds in every face the printing font may map to (fontconfig chooses): a bold text
  // is never narrower, and some bold letters are wider (a Helvetica-metric bold "W" is exactly as
  // wide as the regular one, its bold "i" is not).
  font.Bold(true);
  const float boldNarrow = pdf->TextWidth("iiii"), boldWide = pdf->TextWidth("WWWW");
  EXPECT_GE(boldNarrow, narrow);
  EXPECT_GE(boldWide, wide);
  EXPECT_GT(boldNarrow + boldWide, narrow + wide);
  font.Bold(false);
  const float line = pdf->TextHeight("x");
  EXPECT_GE(line, 10 * 20);  // a 10-point line is at least 10 points high
  EXPECT_LT(line, 16 * 20);
  EXPECT_FLOAT_EQ(pdf->TextHeight("two\nlines"), 2 * line);
  font.Size(20);
  EXPECT_GT(pdf->TextHeight("x"), 1.8f * line);
}

TEST(PaperAndDefaultPrinter, LetterWhereTheLocaleUsesItElseA4) {
  {
    ScopedEnv all("LC_ALL", "en_US.UTF-8");
    EXPECT_EQ(printing::PaperForLocale().name, "Letter");
  }
  {
    ScopedEnv all("LC_ALL", nullptr), paper("LC_PAPER", "fr_CA@euro");
    EXPECT_EQ(printing::PaperForLocale().name, "Letter");
  }
  {
    ScopedEnv all("LC_ALL", "de_DE.UTF-8");
    EXPECT_EQ(printing::PaperForLocale().name, "A4");
  }
  {
    ScopedEnv all("LC_ALL", nullptr), paper("LC_PAPER", nullptr), lang("LANG", "C");
    EXPECT_EQ(printing::PaperForLocale().name, "A4");
  }
  TempFolder dir;
  PdfPrinter letter(printing::LetterPaper(), dir.Path());
  letter.Print("x");
  letter.EndDoc();
  EXPECT_TRUE(Has(Info(letter.LastOutput()), "612 x 792 pts (letter)"));
}

TEST(PaperAndDefaultPrinter, WithoutACupsDestinationReportsGoToPdfFilesInTheFolder) {
  TempFolder dir;
  ScopedEnv server("CUPS_SERVER", (dir / "no-cups.sock").c_str());
  auto printer = printing::MakeDefaultPrinter(dir / "reports");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(dynamic_cast<printing::CupsPrinter*>(printer.get()), nullptr);
  printer->Print("hello");
  printer->EndDoc();
  EXPECT_EQ(printer->LastOutput().parent_path(), dir / "reports");
  EXPECT_TRUE(Has(Output("pdftotext " + Quoted(printer->LastOutput()) + " -"), "hello"));

  ScopedEnv documents("XDG_DOCUMENTS_DIR", (dir / "docs").c_str());
  EXPECT_EQ(printing::DocumentsFolder(), dir / "docs");
  EXPECT_TRUE(std::filesystem::is_directory(dir / "docs"));
}

}  // namespace
}  // namespace tamarind::testing
