#include "dataio/CopyExport.h"

#include <algorithm>
#include <memory>
#include <string_view>
#include <vector>

#include "dataio/CEXCEL.h"
#include "dataio/ResourceFile.h"
#include "dataio/ShellOpen.h"
#include "platform/spreadsheet/SpreadsheetServer.h"
#include "platform/spreadsheet/Workbook.h"
#include "runtime/Conversions.h"
#include "runtime/Dispatch.h"
#include "runtime/Error.h"
#include "runtime/Text.h"

namespace tamarind::dataio {

namespace {

// The clipboard text, written through a pointer into room made beforehand: a list of a million
// rows has five million cells, and each is copied and searched for double quotes in one pass.
class LineWriter {
 public:
  size_t Size() const { return size_; }
  // Makes room for the text to reach n bytes without growing again.
  void Reserve(size_t n) {
    if (n > text_.size()) text_.resize(n);
  }
  void StartLine() { lineStart_ = size_; }
  void EndLine() {
    Room(1);
    text_[size_++] = '\r';
  }
  // Appends one value to the line: after a TAB when the line already has text, else as the line's
  // first text, so leading empty cells leave no TABs. Double quotes become two apostrophes when
  // asked (cells; header texts stay as they are).
  void Join(std::string_view value, bool replaceQuotes) {
    Room(value.size() + 1);
    char* out = text_.data() + size_;
    if (size_ != lineStart_) *out++ = '\t';
    bool quoted = false;
    for (const char c : value) {
      quoted |= c == '"';
      *out++ = c;
    }
    if (quoted && replaceQuotes) {
      out -= value.size();
      const size_t at = static_cast<size_t>(out - text_.data());
      Room(at - size_ + 2 * value.size());
      out = text_.data() + at;
      for (const char c : value) {
        if (c == '"') {
          *out++ = '\'';
          *out++ = '\'';
        } else {
          *out++ = c;
        }
      }
    }
    size_ = static_cast<size_t>(out - text_.data());
  }
  std::string Take() {
    text_.resize(size_);
    return std::move(text_);
  }

 private:
  void Room(size_t n) {
    if (size_ + n > text_.size()) text_.resize(std::max(2 * text_.size(), size_ + n + 4096));
  }
  std::string text_;  // its size is the room; size_ the text written
  size_t size_ = 0, lineStart_ = 0;
};

constexpr size_t kSampleRows = 256;
constexpr size_t kPrefetchItem = 16, kPrefetchCells = 8;

// An empty sub-item shows its Tag instead; a Null Tag adds nothing, as it does to a text.
std::string TagText(const platform::ListItemRef& item, int32_t j) {
  const Variant tag = platform::ListSubItem(item, j).Tag();
  return tag.IsNull() ? std::string() : CStr(tag);
}

}  // namespace

CopyExport::CopyExport(KestrelState& s) : s_(s) {
  // Every control can export, whichever realisation of the platform runs it.
  spreadsheet::RegisterAutomationServer();
}

void CopyExport::PlaceProgressBar() {
  platform::ProgressBar& bar = *s_.prgBAR;
  const platform::ListView& list = *s_.lvLIST;
  bar.Top(s_.surface.Height() / 2);
  bar.Left(list.Left());
  bar.Width(list.Width());
  bar.Min(0);
  bar.Value(0);
  const int32_t rows = s_.lvLIST->ListItems().Count();
  if (rows > 0) bar.Max(static_cast<float>(rows));
}

void CopyExport::CopyAll() {
  ResumeNext([&] {
    LineWriter out;
    for (const platform::ColumnHeaderRef& header : s_.lvLIST->ColumnHeaders()) out.Join(header->Text(), false);
    out.EndLine();

    platform::ProgressBar& bar = *s_.prgBAR;
    PlaceProgressBar();
    bar.Visible(true);
    const size_t headerBytes = out.Size();
    const auto copyRow = [&](const platform::ListItemRef& item) {
      bar.Value(bar.Value() + 1);
      out.StartLine();
      out.Join(item->Text(), true);
      const int32_t subItems = item->SubItemCount();
      for (int32_t j = 1; j <= subItems; ++j) {
        const std::string& text = item->ColumnText(j);
        if (text.empty()) out.Join(TagText(item, j), true);
        else out.Join(text, true);
      }
      out.EndLine();
    };
    if (s_.lvLIST->Virtual()) {
      // A source's rows arrive a page at a time and leave the cache behind the copy: the text is
      // all that grows.
      s_.lvLIST->ListItems().ForEach(copyRow);
      platform::Clipboard& clipboard = s_.tk.GetClipboard();
      clipboard.Clear();
      clipboard.SetText(out.Take());
      bar.Visible(false);
      return;
    }
    // The rows in order, so that each row's item and cells can be fetched from memory a few rows
    // ahead of their turn: the items of a long list lie all over the heap.
    std::vector<const platform::ListItemRef*> items;
    items.reserve(static_cast<size_t>(s_.lvLIST->ListItems().Count()));
    s_.lvLIST->ListItems().ForEach([&](const platform::ListItemRef& item) { items.push_back(&item); });
    const size_t rows = items.size();
    for (size_t row = 0; row < rows; ++row) {
      if (row + kPrefetchItem < rows) __builtin_prefetch(items[row + kPrefetchItem]->get());
      if (row + kPrefetchCells < rows) {
        const platform::ListItem& ahead = **items[row + kPrefetchCells];
        if (ahead.SubItemCount() > 0) __builtin_prefetch(&ahead.ColumnText(1));
      }
      // Once the first rows show how long a row is, the text gets room for all of them, so that a
      // long list is not copied again and again as the text grows.
      if (row == kSampleRows && rows > kSampleRows) {
        const double perRow = static_cast<double>(out.Size() - headerBytes) / kSampleRows;
        out.Reserve(out.Size() + static_cast<size_t>(perRow * static_cast<double>(rows - kSampleRows) * 1.125) + 64);
      }
      copyRow(*items[row]);
    }

    platform::Clipboard& clipboard = s_.tk.GetClipboard();
    clipboard.Clear();
    clipboard.SetText(out.Take());
    bar.Visible(false);
  });
}

void CopyExport::ExportToExcel(std::string& FilePathAndName, bool OpenAfterExport) {
  platform::Toolkit& tk = s_.tk;
  platform::ProgressBar& bar = *s_.prgBAR;
  platform::TextBox& message = *s_.lblEXCELMSG;
  std::shared_ptr<CEXCEL> XLOBJ;
  try {
    PlaceProgressBar();
    if (text::UCase(text::Right(FilePathAndName, 4)) != ".XLS") FilePathAndName += ".xls";

    int32_t id = 101;
    std::string type = "XLS", extension = "XLS", folder, baseName = "temp";
    GenFileFromRes(tk, id, type, extension, folder, baseName, FilePathAndName);

    XLOBJ.reset(new CEXCEL(tk));
    XLOBJ->OpenExcel(FilePathAndName, false);
    // A source's rows are counted before they are read: ten million of them would be copied only
    // for the paste to refuse them, so the refusal comes first, in the paste's own words.
    if (const int64_t lines = int64_t{s_.lvLIST->ListItems().Count()} + 1;
        s_.lvLIST->Virtual() && lines > spreadsheet::kMaxRows)
      spreadsheet::RefusePasteRows(lines, 1);
    CopyAll();

    const Variant& XL = XLOBJ->XL;
    if (!XLOBJ->ExcelWasNotRunning) {
      Let(Get(XL, "Application"), "Visible", true);
      const Variant lastWindow = Get(Get(XL, "Parent"), "Windows", {CLng(Get(Get(Get(XL, "Parent"), "Windows"), "Count"))});
      Let(lastWindow, "Visible", true);
    }
    Call(Get(Get(XL, "ActiveSheet"), "Range", {"A1"}), "Select");
    Call(Get(XL, "ActiveSheet"), "Paste");
    Call(Get(Get(XL, "ActiveSheet"), "Range", {"A1"}), "Select");
    Call(Get(Get(Get(XL, "sheets", {1}), "Cells"), "EntireColumn"), "AutoFit");

    message.Move(bar.Left(), bar.Top(), bar.Width(), bar.Height());
    message.Visible(true);
    message.Refresh();
    s_.surface.Refresh();
    bar.Visible(false);

    s_.Events().ExportToExcelComplete(XLOBJ);

    if (!XLOBJ) Raise(err::ObjectNotSet);  // the host let go of the workbook
    if (XLOBJ->ExcelWasNotRunning) {
      XLOBJ->CloseExcel(true);
      if (OpenAfterExport) ShellOpen(tk, FilePathAndName);
    }
    message.Visible(false);
  } catch (const Error& e) {
    ResumeEach([&] { bar.Visible(false); }, [&] { message.Visible(false); });
    // A failure while letting the workbook go must not hide the error that ended the export.
    if (XLOBJ) ResumeNext([&] { XLOBJ->CloseExcel(false); });
    tk.MsgBox(FormatErrorReport(e, ":Error in ExportToExcel.  Error Message: "), vbCritical, "Warning");
  }
}

}  // namespace tamarind::dataio
