// The report's drawing, read from the headless recording printer: the header cells, the rows
// and their fills, icons, cut texts, alignments, page breaks and footers, and the job's state.
//
// The headless printer's printable area is 11520 x 15120 twips, 15 twips to the pixel; its
// Arial 10 has 8-pixel characters (bold too) and 16-pixel lines, Arial 12 19-pixel lines.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/SystemColors.h"
#include "tests/kestrel/KestrelFixture.h"

namespace tamarind::testing {
namespace {

using platform::headless::PrintOperation;
using Kind = PrintOperation::Kind;

constexpr float kChar = 8 * 15;  // one character of Arial 10, twips
constexpr float kLine = 16 * 15;  // one line of Arial 10
constexpr float kRow = 17 * 15;

class ReportLayout : public ::testing::Test {
 protected:
  ReportLayout() : k(desk.Place()) { desk.form.Show(); }

  // Three columns of 1440, 2880 and 1440 twips: 90% of 11520 makes each twip of screen width
  // 1.8 twips of paper, and the table starts at 288.
  void ThreeColumns() {
    k.ColumnHeaders().Add(0, {}, "Name", 1440);
    k.ColumnHeaders().Add(0, {}, "Notes", 2880, platform::ColumnHeader::lvwColumnRight);
    k.ColumnHeaders().Add(0, {}, "Qty", 1440, platform::ColumnHeader::lvwColumnCenter);
  }
  void AddRows(int n) {
    for (int i = 1; i <= n; ++i) {
      auto item = k.ListItems().Add(0, {}, "Row " + std::to_string(i));
      item->SubItems(1, "n" + std::to_string(i));
      item->SubItems(2, std::to_string(i));
    }
  }
  const std::vector<PrintOperation>& Printed() {
    const auto& docs = desk.tk.PrinterImpl().Documents();
    EXPECT_EQ(docs.size(), 1u);
    static const std::vector<PrintOperation> none;
    return docs.empty() ? none : docs.back();
  }
  static std::vector<PrintOperation> Of(const std::vector<PrintOperation>& ops, Kind kind) {
    std::vector<PrintOperation> out;
    std::copy_if(ops.begin(), ops.end(), std::back_inserter(out), [&](const auto& o) { return o.kind == kind; });
    return out;
  }
  static const PrintOperation& TextOp(const std::vector<PrintOperation>& ops, const std::string& text) {
    auto it = std::find_if(ops.begin(), ops.end(), [&](const auto& o) { return o.kind == Kind::Text && o.text == text; });
    if (it == ops.end()) throw std::runtime_error("no text \"" + text + "\" printed");
    return *it;
  }

  Desk desk;
  Kestrel& k;
};

TEST_F(ReportLayout, AHeaderCellIsARaisedButtonOfFourBoxes) {
  ThreeColumns();
  k.PrintToDefaultPrinter();
  const auto boxes = Of(Printed(), Kind::FilledBox);
  ASSERT_GE(boxes.size(), 4u);
  struct Expected {
    float x, y, x2, y2;
    platform::OLE_COLOR color;
  };
  const Expected cell[] = {{288, 0, 2880, 255, 0x80000010},
                           {288, 0, 2865, 255, platform::RGB(245, 245, 245)},
                           {303, 15, 2880, 255, 0x80000010},
                           {303, 15, 2865, 240, 0x8000000F}};
  for (size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(boxes[i].x, cell[i].x);
    EXPECT_EQ(boxes[i].y, cell[i].y);
    EXPECT_EQ(boxes[i].x2, cell[i].x2);
    EXPECT_EQ(boxes[i].y2, cell[i].y2);
    EXPECT_EQ(boxes[i].color, cell[i].color);
  }
  // The next cell starts where this one ends: 2 x 1440 x 1.8.
  EXPECT_EQ(boxes[4].x, 2880);
  EXPECT_EQ(boxes[4].x2, 2880 + 5184);
}

TEST_F(ReportLayout, HeaderCaptionsAreBoldAndAlignedLikeTheirColumns) {
  ThreeColumns();
  AddRows(1);
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  const float top = (kRow - kLine) / 2 + 15;
  const auto& name = TextOp(ops, "Name");
  EXPECT_TRUE(name.bold);
  EXPECT_EQ(name.x, 288 + 5 * 15);
  EXPECT_EQ(name.y, top);
  EXPECT_EQ(TextOp(ops, "Notes").x, 2880 + 5184 - 5 * kChar - 5 * 15);
  EXPECT_EQ(TextOp(ops, "Qty").x, 8064 + (2592 - 3 * kChar) / 2);
  // Rows are not bold.
  EXPECT_FALSE(TextOp(ops, "Row 1").bold);
}

TEST_F(ReportLayout, RowsFillFromTheTableEdgeAndAlternateOnlyWithAltColours) {
  ThreeColumns();
  AddRows(3);
  k.PrintToDefaultPrinter();
  auto fills = Of(Printed(), Kind::FilledBox);
  fills.erase(fills.begin(), fills.begin() + 12);  // the header row
  ASSERT_EQ(fills.size(), 3u);
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(fills[i].color, 0xFFFFFFu);
    EXPECT_EQ(fills[i].x, 288);
    EXPECT_EQ(fills[i].x2, 288 + 2592 + 5184 + 2592 - 15);
    EXPECT_EQ(fills[i].y, kRow * static_cast<float>(i + 1));
    EXPECT_EQ(fills[i].y2, kRow * static_cast<float>(i + 2));
  }

  k.LineOddColor(platform::RGB(1, 2, 3));
  k.LineEvenColor(platform::RGB(4, 5, 6));
  k.LineAltColor(true);
  k.PrintToDefaultPrinter();
  fills = Of(desk.tk.PrinterImpl().Documents().back(), Kind::FilledBox);
  fills.erase(fills.begin(), fills.begin() + 12);
  EXPECT_EQ(fills[0].color, platform::RGB(1, 2, 3));
  EXPECT_EQ(fills[1].color, platform::RGB(4, 5, 6));
  EXPECT_EQ(fills[2].color, platform::RGB(1, 2, 3));
}

TEST_F(ReportLayout, CellsAreOutlinedAndTheirTextsAligned) {
  ThreeColumns();
  AddRows(1);
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  const auto outlines = Of(ops, Kind::Box);
  ASSERT_EQ(outlines.size(), 3u);
  EXPECT_EQ(outlines[1].x, 2880);
  EXPECT_EQ(outlines[1].y, kRow);
  EXPECT_EQ(outlines[1].x2, 8064);
  EXPECT_EQ(outlines[1].y2, 2 * kRow);
  EXPECT_EQ(outlines[1].color, 1u);
  EXPECT_EQ(TextOp(ops, "Row 1").x, 288 + 75);
  EXPECT_EQ(TextOp(ops, "Row 1").y, kRow + (kRow - kLine) / 2 + 15);
  EXPECT_EQ(TextOp(ops, "n1").x, 8064 - 2 * kChar - 75);
  EXPECT_EQ(TextOp(ops, "1").x, 8064 + (2592 - kChar) / 2);
}

TEST_F(ReportLayout, TextsTooLongForTheirCellsEndInDots) {
  k.ColumnHeaders().Add(0, {}, "Name", 1000);   // 1800 twips on paper: 1725 for the text
  k.ColumnHeaders().Add(0, {}, "Gone", 0);      // no room at all
  k.ColumnHeaders().Add(0, {}, "Empty", 4760);
  k.ListItems().Add(0, {}, "Cardamom greens")->SubItems(1, "x");
  k.ListItems().Add(0, {}, "Fifteen letters")->SubItems(1, "");
  k.ListItems().Add(0, {}, "Thirteen char");
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  // 1725 twips hold 14 characters (1680) but not 15: a prefix of 11 and "..." fills 14.
  EXPECT_NO_THROW(TextOp(ops, "Cardamom gr..."));
  EXPECT_NO_THROW(TextOp(ops, "Fifteen let..."));
  EXPECT_NO_THROW(TextOp(ops, "Thirteen char"));  // fits whole
  const auto texts = Of(ops, Kind::Text);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& o) { return o.text == "..."; }), 1);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& o) { return o.text.empty(); }), 5);
}

TEST_F(ReportLayout, IconsArePaintedBesideTheirTexts) {
  auto icons = std::make_shared<platform::ImageList>();
  icons->Add(std::make_shared<platform::StdPicture>(16, 16, platform::RGB(200, 0, 0)));
  icons->Add(0, "leaf", std::make_shared<platform::StdPicture>(16, 16, platform::RGB(0, 200, 0)));
  k.SmallIcons(icons);
  ThreeColumns();
  auto item = k.ListItems().Add(0, {}, "Bay", {}, 1);
  item->SubItems(1, "dried");
  item->GetListSubItems().Item(1).ReportIcon("leaf");
  k.ListItems().Add(0, {}, "Dill", {}, 0);
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  const auto pictures = Of(ops, Kind::Picture);
  ASSERT_EQ(pictures.size(), 2u);
  EXPECT_EQ(pictures[0].x, 288 + 15);
  EXPECT_EQ(pictures[0].y, kRow + 7.5f);
  EXPECT_EQ(pictures[0].x2 - pictures[0].x, 240);
  EXPECT_EQ(pictures[0].y2 - pictures[0].y, 240);
  EXPECT_EQ(pictures[1].x, 2880 + 15);
  // The icon's 16 pixels are taken off the cell's room for text: a left text starts after the
  // icon, a right text ends that much further from the cell's right edge.
  EXPECT_EQ(TextOp(ops, "Bay").x, 288 + 240 + 75);
  EXPECT_EQ(TextOp(ops, "dried").x, 8064 - 240 - 5 * kChar - 75);
  EXPECT_EQ(TextOp(ops, "Dill").x, 288 + 75);
}

TEST_F(ReportLayout, TheTitleIsCentredUnderlinedAndPushesTheTableDown) {
  ThreeColumns();
  AddRows(1);
  k.PrintingReportHeader("Stock");
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  const auto& title = ops.front();
  ASSERT_EQ(title.kind, Kind::Text);
  EXPECT_EQ(title.text, "Stock");
  EXPECT_EQ(title.fontSize, 12);
  EXPECT_TRUE(title.underline);
  EXPECT_EQ(title.x, 11520 / 2 - 5 * 9 * 15 / 2.0f);  // Arial 12: 9-pixel characters
  const float y0 = 2 * 19 * 15;
  EXPECT_EQ(Of(ops, Kind::FilledBox).front().y, y0);
  EXPECT_FALSE(TextOp(ops, "Name").underline);
  EXPECT_EQ(TextOp(ops, "Name").fontSize, 10);
  EXPECT_EQ(desk.tk.PrinterImpl().Font().Size(), 10);
  EXPECT_FALSE(desk.tk.PrinterImpl().Font().Bold());
}

TEST_F(ReportLayout, PagesBreakAboveTheFooterAndCarryPageNumbers) {
  ThreeColumns();
  // Bottom 15120 - 3 rows; a row starts a new page once the row before ended below
  // 15120 - 5 rows = 13845: 54 rows fit under the header on the first page.
  AddRows(60);
  k.PrintToDefaultPrinter();
  const auto& ops = Printed();
  const auto pageBreaks = Of(ops, Kind::NewPage);
  ASSERT_EQ(pageBreaks.size(), 1u);
  const auto& footer1 = TextOp(ops, "Page 1");
  EXPECT_EQ(footer1.page, 1);
  EXPECT_EQ(footer1.y, 15120 - 4 * kRow);
  EXPECT_EQ(footer1.x, 11520 / 2 - 6 * kChar / 2);
  EXPECT_EQ(TextOp(ops, "Row 54").page, 1);
  const auto& first = TextOp(ops, "Row 55");
  EXPECT_EQ(first.page, 2);
  EXPECT_EQ(first.y, (kRow - kLine) / 2 + 15);  // where the header row stood
  EXPECT_EQ(TextOp(ops, "Page 2").page, 2);
  EXPECT_EQ(ops.back().kind, Kind::EndDoc);
  EXPECT_EQ(ops[ops.size() - 2].text, "Page 2");
  EXPECT_THROW(TextOp(ops, "Page 3"), std::runtime_error);
}

TEST_F(ReportLayout, AnEmptyListPrintsItsHeaderAndOneFooter) {
  ThreeColumns();
  k.PrintingReportHeader("Empty");
  k.PrintToDefaultPrinter();
  const auto texts = Of(Printed(), Kind::Text);
  std::vector<std::string> printed;
  for (const auto& t : texts) printed.push_back(t.text);
  EXPECT_EQ(printed, (std::vector<std::string>{"Empty", "Name", "Notes", "Qty", "Page 1"}));
}

TEST_F(ReportLayout, TheJobSetsItsOrientationAndPointerAndPutsThemBack) {
  ThreeColumns();
  AddRows(1);
  auto& printer = desk.tk.PrinterImpl();
  k.PrintToDefaultPrinterLandscape();
  const auto& ops = Printed();
  EXPECT_TRUE(std::all_of(ops.begin(), ops.end(), [](const auto& o) { return o.orientation == 2; }));
  // Landscape: the table spans 90% of the long side, 15120.
  EXPECT_EQ(Of(ops, Kind::FilledBox).front().x, 378);
  EXPECT_EQ(printer.Orientation(), 1);
  EXPECT_EQ(desk.tk.ScreenImpl().PointerHistory(), (std::vector<int16_t>{11, 0}));
}

TEST_F(ReportLayout, AFailureAbandonsTheJobAndRestoresThePrinter) {
  ThreeColumns();
  AddRows(2);
  k.ListItems().Item(2)->SmallIcon(3);  // no image list to take it from
  auto& printer = desk.tk.PrinterImpl();
  printer.Orientation(2);
  k.PrintingReportHeader("Broken");
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(printer.Documents().empty());
  EXPECT_TRUE(printer.Operations().empty());  // abandoned, not left open
  EXPECT_EQ(printer.Orientation(), 2);
  EXPECT_FALSE(printer.Font().Bold());
  EXPECT_FALSE(printer.Font().Underline());
  EXPECT_EQ(printer.Font().Size(), 10);
  EXPECT_EQ(desk.tk.ScreenImpl().PointerHistory(), (std::vector<int16_t>{11, 0}));
  EXPECT_TRUE(desk.tk.MessageBoxes().empty());

  // Without any column there is nothing to scale the table by: no document either.
  k.ColumnHeaders().Clear();
  k.PrintToDefaultPrinter();
  EXPECT_TRUE(printer.Documents().empty());
}

}  // namespace
}  // namespace tamarind::testing
