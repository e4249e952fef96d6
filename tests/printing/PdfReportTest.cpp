// Reports printed to real PDF files, read back with poppler's pdfinfo and pdftotext.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/printing/CupsPrinter.h"
#include "platform/printing/PdfPrinter.h"
#include "tests/printing/PdfTools.h"
#include "tests/spreadsheet/TempFolder.h"

namespace tamarind::testing {
namespace {

using printing::PdfPrinter;

class PdfReport : public ReportDesk {
 protected:
  PdfReport() : pdf(std::make_shared<PdfPrinter>(printing::A4Paper(), dir.Path())) {
    desk.tk.SetPrinter(pdf);
    pdf->JobName("Spice report");
    ThreeColumns();
  }
  // The one file the folder should hold.
  std::vector<std::string> Only(const std::filesystem::path& file) const { return {file.filename().string()}; }

  TempFolder dir;
  std::shared_ptr<PdfPrinter> pdf;
};

TEST_F(PdfReport, ALongListBecomesPagesWithTitleHeadersCutTextsAndFooters) {
  AddRows(80);
  k.PrintingReportHeader("Stock at the Lyon store");
  k.PrintToDefaultPrinter();
  const auto file = pdf->LastOutput();
  EXPECT_EQ(dir.Names(), Only(file));
  EXPECT_EQ(file.extension(), ".pdf");

  const std::string info = Info(file);
  EXPECT_TRUE(Has(info, "Pages:           2") && Has(info, "595.276 x 841.89 pts (A4)")) << info;
  EXPECT_EQ(pdf->LastPageCount(), 2);
  struct Page {
    int number;
    std::vector<std::string> shown, absent;
  };
  // The long note is cut, and what is left of it ends in "...".
  for (const Page& p : {Page{1, {"Stock at the Lyon store", "Name", "Notes", "Row 1 ", "A note", "...", "Page 1"},
                             {"Page 2", "it was given"}},
                        Page{2, {"Row 80", "Page 2"}, {"Stock at the Lyon store", "Page 1"}}}) {
    const std::string text = PageText(file, p.number);
    for (const auto& part : p.shown) EXPECT_TRUE(Has(text, part)) << part << " on page " << p.number << ":\n" << text;
    for (const auto& part : p.absent) EXPECT_FALSE(Has(text, part)) << part << " on page " << p.number << ":\n" << text;
  }
}

TEST_F(PdfReport, LandscapeTurnsThePagesOfThatJobOnly) {
  AddRows(3);
  k.PrintToDefaultPrinterLandscape();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "841.89 x 595.276 pts (A4)"));
  EXPECT_EQ(pdf->Orientation(), platform::Printer::vbPRORPortrait);
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(Has(Info(pdf->LastOutput()), "595.276 x 841.89 pts (A4)"));
  // The printable area turns with the sheet: landscape's width is portrait's height and the other
  // way round, and the long side of A4 (841.89 points, 20 twips each) runs across.
  const float portraitWidth = pdf->ScaleWidth(), portraitHeight = pdf->ScaleHeight();
  pdf->Orientation(platform::Printer::vbPRORLandscape);
  EXPECT_FLOAT_EQ(pdf->ScaleWidth(), portraitHeight);
  EXPECT_FLOAT_EQ(pdf->ScaleHeight(), portraitWidth);
  EXPECT_GT(pdf->ScaleWidth(), 595.276f * 20);
  EXPECT_LE(pdf->ScaleWidth(), 841.89f * 20);
}

// The PDF's title is the report's heading; a report without one takes the printer's job name.
TEST_F(PdfReport, TheTitleIsTheReportHeaderElseTheJobName) {
  AddRows(2);
  for (const std::string header : {"Stock at the Lyon store", "Épices – Fès, 2ᵉ étage", ""}) {
    k.PrintingReportHeader(header);
    k.PrintToDefaultPrinter();
    const std::string info = Info(pdf->LastOutput());
    EXPECT_TRUE(Has(info, "Title:           " + (header.empty() ? "Spice report" : header) + "\n")) << info;
  }
}

// A report replaces a file of its name whole, or leaves it as it was when the job fails; no part
// file is left beside it either way.
TEST_F(PdfReport, AReportReplacesALongerFileWholeOrLeavesItAsItWas) {
  const auto file = dir.Path() / "stock.pdf";
  const std::string older(300000, 'Z');
  std::ofstream(file, std::ios::binary) << older;
  AddRows(2);
  pdf->NextOutputFile(file);
  k.PrintToDefaultPrinter();
  ASSERT_EQ(pdf->LastOutput(), file);
  const std::string bytes = ReadText(file);
  EXPECT_TRUE(bytes.ends_with("%%EOF\n")) << bytes.substr(bytes.size() - std::min<size_t>(bytes.size(), 40));
  EXPECT_TRUE(Has(Info(file), "Pages:           1")) << Info(file);
  EXPECT_EQ(dir.Names(), Only(file));

  std::ofstream(file, std::ios::binary | std::ios::trunc) << older;
  k.ListItems().Item(2)->SmallIcon(1);  // an icon, but no image list: the job fails on row 2
  pdf->NextOutputFile(file);
  k.PrintToDefaultPrinter();
  EXPECT_FALSE(pdf->DocumentOpen());
  EXPECT_TRUE(ReadText(file) == older);
  EXPECT_EQ(dir.Names(), Only(file));

  // A job killed by its printer's user: nothing is left to end, and no file appears.
  pdf->Print("begun");
  pdf->KillDoc();
  pdf->EndDoc();
  EXPECT_EQ(dir.Names(), Only(file));
}

TEST_F(PdfReport, UnwritableFolderIsAFileAccessError) {
  std::ofstream(dir.Path() / "blocker") << "a file where the folder should be";
  pdf->Folder(dir.Path() / "blocker" / "reports");
  EXPECT_EQ(ErrorNumberOf([&] { pdf->Print("x"); }), err::PathFileAccessError);
  EXPECT_FALSE(pdf->DocumentOpen());
}

TEST_F(PdfReport, TextIsMeasuredInTheFontItIsPrintedIn) {
  auto& font = pdf->Font();
  font.Size(10);
  const float narrow = pdf->TextWidth("iiii"), wide = pdf->TextWidth("WWWW"), line = pdf->TextHeight("x");
  EXPECT_GT(narrow, 0);
  EXPECT_GT(wide, 2 * narrow);
  EXPECT_GE(line, 10 * 20);  // a 10-point line is at least 10 points high
  EXPECT_LT(line, 16 * 20);
  EXPECT_FLOAT_EQ(pdf->TextHeight("two\nlines"), 2 * line);
  // Only what holds in every face fontconfig may choose: bold is never narrower, and some bold
  // letters are wider (a Helvetica-metric bold "W" is as wide as the regular one, its "i" is not).
  font.Bold(true);
  EXPECT_GE(pdf->TextWidth("WWWW"), wide);
  EXPECT_GT(pdf->TextWidth("iiii") + pdf->TextWidth("WWWW"), narrow + wide);
  font.Size(20);
  EXPECT_GT(pdf->TextHeight("x"), 1.8f * line);
}

TEST(PaperAndDefaultPrinter, LetterWhereTheLocaleUsesItElseA4) {
  struct Case {
    const char *all, *paper, *lang, *expected;
  };
  for (const Case& c : {Case{"en_US.UTF-8", nullptr, "C", "Letter"}, Case{nullptr, "fr_CA@euro", "C", "Letter"},
                        Case{"de_DE.UTF-8", "en_US.UTF-8", "C", "A4"}, Case{nullptr, nullptr, "C", "A4"}}) {
    ScopedEnv all("LC_ALL", c.all), paper("LC_PAPER", c.paper), lang("LANG", c.lang);
    EXPECT_EQ(printing::PaperForLocale().name, c.expected) << (c.all ? c.all : "") << " " << (c.paper ? c.paper : "");
  }
}

TEST(PaperAndDefaultPrinter, WithoutACupsDestinationReportsGoToPdfFilesOnTheLocalesPaper) {
  TempFolder dir;
  ScopedEnv server("CUPS_SERVER", (dir.Path() / "no-cups.sock").c_str()), all("LC_ALL", "en_US.UTF-8");
  auto printer = printing::MakeDefaultPrinter(dir.Path() / "reports");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(dynamic_cast<printing::CupsPrinter*>(printer.get()), nullptr);
  printer->Print("hello");
  printer->EndDoc();
  EXPECT_EQ(printer->LastOutput().parent_path(), dir.Path() / "reports");
  EXPECT_TRUE(Has(Output("pdftotext " + Quoted(printer->LastOutput()) + " -"), "hello"));
  EXPECT_TRUE(Has(Info(printer->LastOutput()), "612 x 792 pts (letter)"));  // the locale's paper

  ScopedEnv documents("XDG_DOCUMENTS_DIR", (dir.Path() / "docs").c_str());
  EXPECT_EQ(printing::DocumentsFolder(), dir.Path() / "docs");
  EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "docs"));
}

}  // namespace
}  // namespace tamarind::testing
