#include "dataio/basLVPRINT.h"

#include <optional>
#include <vector>

#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Utf8.h"

namespace tamarind::basLVPRINT {

using namespace platform;

namespace {

constexpr int16_t vbHourglass = 11;
constexpr int16_t vbDefault = 0;
constexpr int16_t vbCopyPen = 13;
constexpr OLE_COLOR kButtonShadow = 0x80000010;
constexpr OLE_COLOR kButtonFace = 0x8000000F;
constexpr OLE_COLOR kHeaderLight = RGB(245, 245, 245);
constexpr OLE_COLOR kCellOutline = 1;

// Measures kept as whole numbers: the nearest, ties to the even one.
int32_t Whole(double v) {
  const double r = RoundHalfEven(v);
  if (r < INT32_MIN || r > INT32_MAX) Raise(err::Overflow, "basLVPRINT");
  return static_cast<int32_t>(r);
}

// Where a text starts in a cell of width cw at x, io twips of it taken by an icon.
float TextLeft(int16_t alignment, int32_t x, int32_t cw, int32_t io, float textWidth, int16_t px) {
  switch (alignment) {
    case ColumnHeader::lvwColumnRight:
      return static_cast<float>(x + (cw - io)) - textWidth - 5.0f * px;
    case ColumnHeader::lvwColumnCenter:
      return static_cast<float>(x + io) + (static_cast<float>(cw) - textWidth) / 2;
    default:
      return static_cast<float>(x + io + 5 * px);
  }
}

// The text as it fits into avail twips: whole when it fits; else the longest prefix that fits with
// "..." after it, as dropping one character at a time from the end would find it; "..." alone when
// no prefix does. An empty text stays empty. A prefix is never wider than a longer one, so the
// prefixes that fit are the shorter ones and a binary search finds the longest of them in a
// handful of measurements instead of one per character.
std::string Truncated(Printer& prn, const std::string& text, float avail) {
  if (text.empty() || prn.TextWidth(text) < avail) return text;
  std::vector<size_t> starts;  // byte offset of each character
  for (size_t at = 0; at < text.size(); at += utf8::Decode(text, at).length) starts.push_back(at);
  const auto shortened = [&](size_t characters) { return text.substr(0, starts[characters]) + "..."; };
  // The answer lies in [low, high]: prefixes of more than high characters do not fit, and the
  // one of low characters fits (or low is 0, which stands for "..." alone).
  size_t low = 0, high = starts.size() - 1;
  while (low < high) {
    const size_t mid = low + (high - low + 1) / 2;
    if (prn.TextWidth(shortened(mid)) < avail) low = mid;
    else high = mid - 1;
  }
  return shortened(low);
}

// The icon of a cell: "" and 0 mean none, as Empty does.
bool HasIcon(const Variant& icon) { return !Equals(icon, Variant()); }

}  // namespace

bool PrintListView(Toolkit& tk, ListView& lv, const std::string& title, OLE_COLOR evenColor, OLE_COLOR oddColor,
                   int16_t orientation) {
  Printer& prn = tk.GetPrinter();
  Screen& screen = tk.GetScreen();
  StdFont& font = prn.Font();
  std::optional<int16_t> savedOrientation;
  std::optional<float> baseSize;
  bool finished = false;
  try {
    screen.MousePointer(vbHourglass);
    int32_t T = 0;
    for (const ColumnHeaderRef& col : lv.ColumnHeaders()) T = Whole(T + static_cast<double>(col->Width()));
    savedOrientation = prn.Orientation();
    prn.Orientation(orientation);
    const ImageListRef icons = lv.SmallIcons();
    const int32_t W = Whole(prn.ScaleWidth()), H = Whole(prn.ScaleHeight());
    const auto px = static_cast<int16_t>(screen.TwipsPerPixelX());
    const auto py = static_cast<int16_t>(screen.TwipsPerPixelY());
    // No columns, or none with a width, leave nothing to scale the table by.
    if (T == 0) Raise(err::DivisionByZero, "basLVPRINT");
    const double s = (W * 0.9) / T;
    const int32_t L = Whole((W - W * 0.95) / 2);
    baseSize = font.Size();

    int32_t Y0 = 0;
    if (!title.empty()) {
      font.Size(12);
      prn.CurrentX(static_cast<float>(W) / 2 - prn.TextWidth(title) / 2);
      font.Underline(true);
      prn.Print(title);
      font.Underline(false);
      font.Size(*baseSize);
      Y0 = Whole(2.0 * prn.CurrentY());
    }

    const int32_t r = Whole(screen.TwipsPerPixelY() * 17.0);
    const int32_t B = H - 3 * r;
    int32_t x = L, y = Y0, yb = Y0 + Whole(17.0 * screen.TwipsPerPixelY());
    prn.CurrentY(static_cast<float>(y));
    font.Bold(true);
    prn.DrawMode(vbCopyPen);

    // The header row: each cell a raised button, a light top and left edge, a shadow right and
    // bottom edge, the face inside; the caption printed whole.
    for (const ColumnHeaderRef& col : lv.ColumnHeaders()) {
      const int32_t cw = Whole(col->Width() * s);
      const int32_t xr = x + cw;
      prn.Line(x, y, xr, yb, kButtonShadow, LineKind::FilledBox);
      prn.Line(x, y, xr - px, yb, kHeaderLight, LineKind::FilledBox);
      prn.Line(x + px, y + py, xr, yb, kButtonShadow, LineKind::FilledBox);
      prn.Line(x + px, y + py, xr - px, yb - py, kButtonFace, LineKind::FilledBox);
      const std::string& text = col->Text();
      prn.CurrentY(static_cast<float>(y) + (static_cast<float>(r) - prn.TextHeight(text)) / 2 + py);
      prn.CurrentX(TextLeft(col->Alignment(), x, cw, 0, prn.TextWidth(text), px));
      prn.Print(text);
      x = xr;
    }
    const int32_t tableRight = x;
    font.Bold(false);

    int32_t k = 0, p = 0;
    auto footer = [&](int32_t page) {
      const std::string text = "Page " + std::to_string(page);
      prn.CurrentX(static_cast<float>(W) / 2 - prn.TextWidth(text) / 2);
      prn.CurrentY(static_cast<float>(B - r));
      prn.Print(text);
    };
    lv.ListItems().ForEach([&](const ListItemRef& item) {
      // A new page when the row before ended in the last two rows' room above the footer; the
      // header row is not repeated: the next row takes its place.
      if (yb > B - 2 * r) {
        footer(++p);
        prn.NewPage();
        prn.CurrentY(static_cast<float>(Y0));
        y = Y0;
      } else {
        y += r;
      }
      x = L;
      yb = y + r;
      prn.Line(L, y, tableRight - px, yb, k % 2 == 0 ? oddColor : evenColor, LineKind::FilledBox);

      const int32_t given = item->GetListSubItems().Count();
      for (const ColumnHeaderRef& col : lv.ColumnHeaders()) {
        const int32_t n = col->Index();
        std::string text;
        Variant icon;
        if (n == 1) {
          text = item->Text();
          icon = item->SmallIcon();
        } else {
          text = item->SubItems(n - 1);
          // A sub-item the row was never given is an empty cell without an icon.
          if (n - 1 <= given) icon = item->GetListSubItems().Item(n - 1).ReportIcon();
        }
        int32_t io = 0;
        if (HasIcon(icon)) {
          if (!icons) Raise(err::ObjectNotSet, "basLVPRINT", "The list shows icons but has no SmallIcons image list");
          const PictureRef picture = icons->Overlay(icon, icon);
          prn.PaintPicture(*picture, static_cast<float>(x + px), static_cast<float>(y) + py / 2.0f, 16.0f * px,
                           16.0f * py, Printer::vbSrcCopy);
          io = 16 * px;
        }
        const int32_t cw = Whole(col->Width() * s);
        const int32_t xr = x + cw;
        const std::string shown = Truncated(prn, text, static_cast<float>(cw - 5 * px - io));
        prn.Line(x, y, xr, yb, kCellOutline, LineKind::Box);
        prn.CurrentY(static_cast<float>(y) + (static_cast<float>(r) - prn.TextHeight(shown)) / 2 + py);
        prn.CurrentX(TextLeft(col->Alignment(), x, cw, io, prn.TextWidth(shown), px));
        prn.Print(shown);
        x = xr;
      }
      ++k;
    });

    footer(p + 1);
    prn.EndDoc();
    finished = true;
  } catch (const Error&) {
    // Abandon the job: a report with rows missing must not look like a finished one.
    ResumeNext([&] { prn.KillDoc(); });
    ResumeEach([&] { font.Bold(false); }, [&] { font.Underline(false); },
               [&] {
                 if (baseSize) font.Size(*baseSize);
               });
  }
  screen.MousePointer(vbDefault);
  if (savedOrientation) ResumeNext([&] { prn.Orientation(*savedOrientation); });
  return finished;
}

}  // namespace tamarind::basLVPRINT
