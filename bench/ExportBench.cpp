// CopyAll of 1,000,000 rows of five columns and ExportToExcel of 65,535 rows of five columns,
// each beside a plain program doing the same work without the control.
//
//   BM_CopyAll/control      Kestrel::CopyAll: the header line, every row with the joining and quote
//                           rules, the progress bar advanced once per row, the clipboard set.
//   BM_CopyAll/baseline     the same text built from a std::vector of rows and copied to a string, as
//                           a clipboard keeps its own copy (the headless clipboard keeps two: the
//                           text and its record of every text set).
//   BM_Export/control       Kestrel::ExportToExcel to a file: template, the spreadsheet server, paste,
//                           fitted columns, the .xls file written.
//   BM_Export/engine        the same cells put straight into the workbook model and saved as .xls.
//   BM_Export/baseline      the same text written to a file as it stands.
//
// The lists are built once, outside the timed loops. Each case checks its result after timing and
// reports an error instead of a time when the result is wrong.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/spreadsheet/Biff8.h"
#include "platform/spreadsheet/CellText.h"

namespace {

using namespace tamarind;

constexpr int kColumns = 5;
using Row = std::array<std::string, kColumns>;

// Rows of a spice order book: a name, a quantity, a price, a date and a note; every 50th note has
// a quote in it.
std::vector<Row> MakeRows(size_t n) {
  static const char* const kSpices[] = {"Anise", "Bay leaves", "Cardamom", "Cinnamon", "Clove", "Cumin",
                                        "Dill seed", "Fennel", "Ginger", "Mace", "Nutmeg", "Saffron"};
  std::vector<Row> rows;
  rows.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    Row r;
    r[0] = std::string(kSpices[i % std::size(kSpices)]) + " " + std::to_string(i + 1);
    r[1] = std::to_string(i % 997);
    r[2] = std::to_string(i % 89) + "." + std::to_string(i % 10) + "5";
    r[3] = std::to_string(i % 12 + 1) + "/" + std::to_string(i % 28 + 1) + "/2026";
    r[4] = i % 50 == 0 ? "5\" jar" : "ground";
    rows.push_back(std::move(r));
  }
  return rows;
}

const char* const kHeaders[kColumns] = {"Spice", "Qty", "Price", "Ordered", "Notes"};

struct Desk {
  explicit Desk(const std::vector<Row>& rows) {
    k = &form.Add<Kestrel>("K1", 0, 0, 9000, 6000);
    form.Show();
    for (const char* h : kHeaders) k->ColumnHeaders().Add(0, {}, h);
    for (const Row& r : rows) {
      auto item = k->ListItems().Add(0, {}, r[0]);
      for (int j = 1; j < kColumns; ++j) item->SubItems(j, r[static_cast<size_t>(j)]);
    }
  }
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form{tk, "Bench", 10000, 7000};
  Kestrel* k = nullptr;
};

// The rule CopyAll follows, written out plainly over the vectors. The text gets its room at once,
// as CopyAll gives it room once its first rows have shown how long a row is.
std::string PlainText(const std::vector<Row>& rows) {
  std::string out;
  size_t bytes = 64;
  for (const Row& r : rows)
    for (const std::string& cell : r) bytes += cell.size() + 1;
  out.reserve(bytes);
  auto join = [&](size_t lineStart, const std::string& v, bool quotes) {
    if (out.size() != lineStart) out += '\t';
    if (!quotes || v.find('"') == std::string::npos) {
      out += v;
      return;
    }
    for (char c : v) {
      if (c == '"') out += "''";
      else out += c;
    }
  };
  for (const char* h : kHeaders) join(0, h, false);
  out += '\r';
  for (const Row& r : rows) {
    const size_t start = out.size();
    for (const std::string& cell : r) join(start, cell, true);
    out += '\r';
  }
  return out;
}

std::string TempFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// --- CopyAll -------------------------------------------------------------------------------------

constexpr size_t kCopyRows = 1'000'000;

const std::vector<Row>& CopyRows() {
  static const std::vector<Row> rows = MakeRows(kCopyRows);
  return rows;
}

void BM_CopyAll_Control(benchmark::State& state) {
  static Desk desk(CopyRows());
  platform::ProgressBar* bar = nullptr;
  for (platform::Window* w : desk.k->ChildWindows())
    if (auto* p = dynamic_cast<platform::ProgressBar*>(w)) bar = p;
  const int32_t repaintsBefore = bar->Repaints();
  for (auto _ : state) {
    desk.k->CopyAll();
    state.PauseTiming();
    desk.tk.ClipboardImpl().ClearHistory();
    state.ResumeTiming();
  }
  const std::string& text = desk.tk.ClipboardImpl().GetText(1);
  if (text != PlainText(CopyRows()) || bar->Value() != static_cast<float>(kCopyRows))
    state.SkipWithError("CopyAll's text or progress is wrong");
  state.counters["bar repaints per run"] =
      static_cast<double>(bar->Repaints() - repaintsBefore) / static_cast<double>(state.iterations());
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BM_CopyAll_Baseline(benchmark::State& state) {
  const std::vector<Row>& rows = CopyRows();
  std::string clipboard;  // a clipboard keeps its own copy of the text
  for (auto _ : state) {
    const std::string text = PlainText(rows);
    clipboard = text;
    benchmark::DoNotOptimize(clipboard.data());
  }
  if (clipboard != PlainText(rows)) state.SkipWithError("no text");
}

BENCHMARK(BM_CopyAll_Control)->Name("BM_CopyAll/control")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_CopyAll_Baseline)->Name("BM_CopyAll/baseline")->Unit(benchmark::kMillisecond)->MinTime(2);

// --- ExportToExcel ---------------------------------------------------------------------------------

constexpr size_t kExportRows = 65'535;

const std::vector<Row>& ExportRows() {
  static const std::vector<Row> rows = MakeRows(kExportRows);
  return rows;
}

void BM_Export_Control(benchmark::State& state) {
  static Desk desk(ExportRows());
  const std::string path = TempFile("tamarind-bench-export.xls");
  for (auto _ : state) {
    std::string name = path;
    desk.k->ExportToExcel(name, false);
  }
  if (!desk.tk.MessageBoxes().empty()) state.SkipWithError(desk.tk.MessageBoxes().front().prompt.c_str());
  const spreadsheet::Workbook saved = spreadsheet::LoadWorkbook(path);
  const spreadsheet::Cell* last = saved.Sheet(0)->Find(static_cast<int32_t>(kExportRows), 0);
  if (!last || last->text != ExportRows().back()[0]) state.SkipWithError("the last row is not in the file");
  state.counters["MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::filesystem::remove(path);
}

void BM_Export_Engine(benchmark::State& state) {
  const std::vector<Row>& rows = ExportRows();
  const std::string path = TempFile("tamarind-bench-engine.xls");
  for (auto _ : state) {
    spreadsheet::Workbook book = spreadsheet::Workbook::WithSheet("Export");
    spreadsheet::Worksheet& sheet = *book.Sheet(0);
    for (int c = 0; c < kColumns; ++c) sheet.Set(0, c, spreadsheet::Cell::Text(kHeaders[c]));
    for (size_t r = 0; r < rows.size(); ++r)
      for (int c = 0; c < kColumns; ++c)
        sheet.Set(static_cast<int32_t>(r + 1), c, spreadsheet::EnterText(rows[r][static_cast<size_t>(c)]));
    spreadsheet::SaveWorkbook(book, path);
  }
  std::filesystem::remove(path);
}

void BM_Export_Baseline(benchmark::State& state) {
  const std::vector<Row>& rows = ExportRows();
  const std::string path = TempFile("tamarind-bench-plain.txt");
  for (auto _ : state) {
    const std::string text = PlainText(rows);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  std::filesystem::remove(path);
}

BENCHMARK(BM_Export_Control)->Name("BM_Export/control")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Export_Engine)->Name("BM_Export/engine")->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_Export_Baseline)->Name("BM_Export/baseline")->Unit(benchmark::kMillisecond)->MinTime(2);

}  // namespace

BENCHMARK_MAIN();
