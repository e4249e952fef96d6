// The report's drawing, read from the headless recording printer: where texts stand in their
// cells, the row fills, icons, cut texts, page breaks and footers, and the job's state.
//
// The headless printer's printable area is 11520 x 15120 twips, 15 twips to the pixel; its
// Arial 10 has 8-pixel characters (bold too) and 16-pixel lines, Arial 12 9-pixel characters.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/SystemColors.h"
#include "tests/printing/PdfTools.h"

namespace tamarind::testing {
namespace {

using platform::headless::PrintOperation;
using Kind = PrintOperation::Kind;

constexpr float kPx = 15;
constexpr float kChar = 8 * kPx;  // one character of Arial 10
constexpr float kRow = 17 * kPx;

class ReportLayout : public ReportDesk {
 protected:
  ReportLayout() { ThreeColumns(); }
  std::vector<PrintOperation> Print(bool landscape = false) {
    landscape ? k.PrintToDefaultPrinterLandscape() : k.PrintToDefaultPrinter();
    const auto& docs = desk.tk.PrinterImpl().Documents();
    EXPECT_FALSE(docs.empty());
    return docs.empty() ? std::vector<PrintOperation>{} : docs.back();
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
  // Where a text of n characters starts in the cell box with the column's alignment, icon twips
  // taken off its room.
  static float Start(const PrintOperation& cell, int16_t alignment, size_t n, float icon = 0) {
    const float width = static_cast<float>(n) * kChar;
    if (alignment == platform::ColumnHeader::lvwColumnRight) return cell.x2 - icon - width - 5 * kPx;
    if (alignment == platform::ColumnHeader::lvwColumnCenter) return cell.x + icon + (cell.x2 - cell.x - width) / 2;
    return cell.x + icon + 5 * kPx;
  }
};

TEST_F(ReportLayout, HeaderAndCellTextsStandInTheirColumnsAsTheColumnsAlign) {
  AddRows(1);
  const auto& ops = Print();
  const auto cells = Of(ops, Kind::Box);
  ASSERT_EQ(cells.size(), 3u);
  // The table starts 2.5% in and spans 90% of the width, each column in proportion to its own.
  EXPECT_EQ(cells[0].x, 288);
  EXPECT_EQ(cells[2].x2 - cells[0].x, 11520 * 0.9f);
  EXPECT_EQ(cells[1].x2 - cells[1].x, 2 * (cells[0].x2 - cells[0].x));
  EXPECT_EQ(cells[0].color, 1u);
  const char* headers[] = {"Name", "Notes", "Qty"};
  const char* texts[] = {"Row 1", "n1", "1"};
  for (int c = 0; c < 3; ++c) {
    SCOPED_TRACE(headers[c]);
    const auto alignment = k.ColumnHeaders().Item(c + 1)->Alignment();
    const auto& header = TextOp(ops, headers[c]);
    const auto& text = TextOp(ops, texts[c]);
    EXPECT_EQ(header.x, Start(cells[c], alignment, std::string(headers[c]).size()));
    EXPECT_EQ(text.x, Start(cells[c], alignment, std::string(texts[c]).size()));
    EXPECT_TRUE(header.bold && !text.bold);  // the header alone is bold
    // Each text is centred on its row's height.
    EXPECT_EQ(header.y, (kRow - 16 * kPx) / 2 + kPx);
    EXPECT_EQ(text.y, cells[c].y + (kRow - 16 * kPx) / 2 + kPx);
  }
  // A header cell is a raised button: shadow, light edge, shadow, then the face, over the cell.
  const auto boxes = Of(ops, Kind::FilledBox);
  ASSERT_GE(boxes.size(), 4u);
  EXPECT_EQ((std::vector<platform::OLE_COLOR>{boxes[0].color, boxes[1].color, boxes[2].color, boxes[3].color}),
            (std::vector<platform::OLE_COLOR>{0x80000010, platform::RGB(245, 245, 245), 0x80000010, 0x8000000F}));
  EXPECT_EQ(boxes[0].x2, cells[0].x2);
  EXPECT_EQ(boxes[0].y2, cells[0].y);
}

TEST_F(ReportLayout, RowsAreFilledAcrossTheTableAndAlternateOnlyWithAltColours) {
  AddRows(3);
  for (bool alternate : {false, true}) {
    SCOPED_TRACE(alternate);
    k.LineOddColor(platform::RGB(1, 2, 3));
    k.LineEvenColor(platform::RGB(4, 5, 6));
    k.LineAltColor(alternate);
    auto fills = Of(Print(), Kind::FilledBox);
    fills.erase(fills.begin(), fills.begin() + 12);  // the header row
    ASSERT_EQ(fills.size(), 3u);
    const platform::OLE_COLOR odd = alternate ? platform::RGB(1, 2, 3) : 0xFFFFFFu;
    const platform::OLE_COLOR even = alternate ? platform::RGB(4, 5, 6) : 0xFFFFFFu;
    EXPECT_EQ((std::vector<platform::OLE_COLOR>{fills[0].color, fills[1].color, fills[2].color}),
              (std::vector<platform::OLE_COLOR>{odd, even, odd}));
    // The last row's fill, under the header and two rows, spans the table.
    EXPECT_EQ(std::tuple(fills[2].x, fills[2].x2, fills[2].y), std::tuple(288.0f, 288 + 11520 * 0.9f - kPx, 3 * kRow));
  }
}

TEST_F(ReportLayout, TextsTooLongForTheirCellsEndInDots) {
  k.ColumnHeaders().Clear();
  k.ColumnHeaders().Add(0, {}, "Name", 1000);   // 1800 twips on paper: 1725 for the text
  k.ColumnHeaders().Add(0, {}, "Gone", 0);      // no room at all
  k.ColumnHeaders().Add(0, {}, "Empty", 4760);
  k.ListItems().Add(0, {}, "Cardamom greens")->SubItems(1, "x");
  k.ListItems().Add(0, {}, "Fifteen letters")->SubItems(1, "");
  k.ListItems().Add(0, {}, "Thirteen char");
  const auto& ops = Print();
  // 1725 twips hold 14 characters (1680) but not 15: a prefix of 11 and "..." fills 14.
  EXPECT_NO_THROW(TextOp(ops, "Cardamom gr..."));
  EXPECT_NO_THROW(TextOp(ops, "Fifteen let..."));
  EXPECT_NO_THROW(TextOp(ops, "Thirteen char"));  // fits whole
  const auto texts = Of(ops, Kind::Text);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& o) { return o.text == "..."; }), 1);
  EXPECT_EQ(std::count_if(texts.begin(), texts.end(), [](const auto& o) { return o.text.empty(); }), 5);
}

// A cut text must be narrower than its room, not merely as wide: with exactly 14 characters of
// room, 11 and "..." would fill it, so 10 and "..." are printed.
TEST_F(ReportLayout, ACutTextStaysNarrowerThanItsRoom) {
  k.ColumnHeaders().Clear();
  k.ColumnHeaders().Add(0, {}, "Name", 975);  // 1755 twips on paper: 1680 (14 characters) for the text
  k.ColumnHeaders().Add(0, {}, "Empty", 4785);
  k.ListItems().Add(0, {}, "Cardamom greens");
  k.ListItems().Add(0, {}, "Fourteen chars");  // exactly as wide as the room: cut as well
  const auto& ops = Print();
  EXPECT_NO_THROW(TextOp(ops, "Cardamom g..."));
  EXPECT_NO_THROW(TextOp(ops, "Fourteen c..."));
}

TEST_F(ReportLayout, IconsArePaintedBesideTheirTexts) {
  auto icons = std::make_shared<platform::ImageList>();
  icons->Add(std::make_shared<platform::StdPicture>(16, 16, platform::RGB(200, 0, 0)));
  icons->Add(0, "leaf", std::make_shared<platform::StdPicture>(16, 16, platform::RGB(0, 200, 0)));
  k.SmallIcons(icons);
  auto item = k.ListItems().Add(0, {}, "Bay", {}, 1);
  item->SubItems(1, "dried");
  item->GetListSubItems().Item(1).ReportIcon("leaf");
  k.ListItems().Add(0, {}, "Dill", {}, 0);  // 0 is no icon
  const auto& ops = Print();
  const auto cells = Of(ops, Kind::Box);
  const auto pictures = Of(ops, Kind::Picture);
  ASSERT_EQ(pictures.size(), 2u);
  ASSERT_EQ(cells.size(), 6u);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(std::pair(pictures[c].x, pictures[c].y), std::pair(cells[c].x + kPx, cells[c].y + kPx / 2));
    EXPECT_EQ(std::pair(pictures[c].x2 - pictures[c].x, pictures[c].y2 - pictures[c].y), std::pair(16 * kPx, 16 * kPx));
  }
  // The icon's 16 pixels are taken off the cell's room for text, on the side the text is on.
  EXPECT_EQ(TextOp(ops, "Bay").x, Start(cells[0], platform::ColumnHeader::lvwColumnLeft, 3, 16 * kPx));
  EXPECT_EQ(TextOp(ops, "dried").x, Start(cells[1], platform::ColumnHeader::lvwColumnRight, 5, 16 * kPx));
  EXPECT_EQ(TextOp(ops, "Dill").x, Start(cells[3], platform::ColumnHeader::lvwColumnLeft, 4));
}

TEST_F(ReportLayout, TheTitleIsCentredUnderlinedAndPushesTheTableDown) {
  // No rows: the header and one footer.
  k.PrintingReportHeader("Stock");
  const auto& ops = Print();
  std::vector<std::string> printed;
  for (const auto& t : Of(ops, Kind::Text)) printed.push_back(t.text);
  EXPECT_EQ(printed, (std::vector<std::string>{"Stock", "Name", "Notes", "Qty", "Page 1"}));
  const auto& title = ops.front();
  EXPECT_EQ(title.fontSize, 12);
  EXPECT_TRUE(title.underline);
  EXPECT_EQ(title.x, 11520 / 2 - 5 * 9 * kPx / 2);
  EXPECT_EQ(Of(ops, Kind::FilledBox).front().y, 2 * 19 * kPx);  // two Arial 12 lines
  EXPECT_FALSE(TextOp(ops, "Name").underline);
  EXPECT_EQ(TextOp(ops, "Name").fontSize, 10);
}

TEST_F(ReportLayout, PagesBreakAboveTheFooterAndCarryPageNumbers) {
  // Bottom 15120 - 3 rows; a row starts a new page once the row before ended below
  // 15120 - 5 rows = 13845: 54 rows fit under the header on the first page.
  AddRows(60);
  const auto& ops = Print();
  ASSERT_EQ(Of(ops, Kind::NewPage).size(), 1u);
  EXPECT_EQ(TextOp(ops, "Row 54").page, 1);
  const auto& footer = TextOp(ops, "Page 1");
  EXPECT_EQ(footer.page, 1);
  EXPECT_EQ(footer.y, 15120 - 4 * kRow);
  EXPECT_EQ(footer.x, 11520 / 2 - 6 * kChar / 2);
  // The header row is not repeated: the next row takes its place.
  const auto& first = TextOp(ops, "Row 55");
  EXPECT_EQ(first.page, 2);
  EXPECT_EQ(first.y, TextOp(ops, "Name").y);
  EXPECT_EQ(ops[ops.size() - 2].text, "Page 2");
  EXPECT_EQ(ops.back().kind, Kind::EndDoc);
}

TEST_F(ReportLayout, TheJobSetsItsOrientationAndPointerAndPutsThemBack) {
  AddRows(1);
  const auto& ops = Print(true);
  EXPECT_TRUE(std::all_of(ops.begin(), ops.end(), [](const auto& o) { return o.orientation == 2; }));
  EXPECT_EQ(Of(ops, Kind::FilledBox).front().x, 15120 * 0.025f);  // the long side across
  EXPECT_EQ(desk.tk.PrinterImpl().Orientation(), 1);
  EXPECT_EQ(desk.tk.ScreenImpl().PointerHistory(), (std::vector<int16_t>{11, 0}));
}

TEST_F(ReportLayout, AFailureAbandonsTheJobAndRestoresThePrinter) {
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
