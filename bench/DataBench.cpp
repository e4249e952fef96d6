// Filling the list from a SQLite query and printing the list to PDF, each beside a plain program
// doing the same work in the same binary:
//
//   BM_FillFromSqlite/kestrel      1,000,000 rows x 5 columns through RecordSetFill
//   BM_FillFromSqlite/baseline     the same query read with the sqlite3 API into five vectors
//   BM_PrintToPdf/kestrel          10,000 rows x 5 columns printed by PrintToDefaultPrinter
//   BM_PrintToPdf/baseline         the same table (row boxes, cell outlines, texts) drawn with
//                                  cairo and pango into a PDF file directly
//
// The database and the PDF files live in a private temporary folder, removed at the end. Each
// case checks its result once after timing and reports an error instead of a time when it is
// wrong.

#include <benchmark/benchmark.h>
#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>
#include <sqlite3.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/database/SqliteDatabase.h"
#include "platform/headless/HostForm.h"
#include "platform/printing/PdfPrinter.h"

namespace {

using namespace tamarind;

constexpr int kFillRows = 1'000'000;
constexpr int kPrintRows = 10'000;
constexpr const char* kQuery = "SELECT id, name, city, qty, price FROM stock ORDER BY id";

std::filesystem::path Folder() {
  static const std::filesystem::path folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tamarind-bench-XXXXXX").string();
    return std::filesystem::path(mkdtemp(pattern.data()));
  }();
  return folder;
}

// A million rows of stock: an id, a spice, a city, a quantity and a price.
const std::string& Database() {
  static const std::string path = [] {
    const std::string p = (Folder() / "stock.db").string();
    auto db = database::SqliteDatabase::Open(p, database::SqliteDatabase::Mode::Create);
    db->Execute(
        "CREATE TABLE stock (id INTEGER PRIMARY KEY, name TEXT, city TEXT, qty INTEGER, price REAL);"
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(kFillRows) +
        ")"
        " INSERT INTO stock SELECT i,"
        " 'Spice ' || (i % 977) || ' ' || substr('AniseBasilCuminDillFennelGinger', 1 + i % 25, 6),"
        " substr('LyonFezOsloKyotoLimaQuitoGraz', 1 + i % 24, 5), i % 1000, (i % 10000) / 100.0 FROM n;");
    return p;
  }();
  return path;
}

void BM_FillFromSqlite_kestrel(benchmark::State& state) {
  const std::string& db = Database();
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Bench", 12000, 9000);
  Kestrel& k = form.Add<Kestrel>("K1", 0, 0, 9000, 6000);
  for (auto _ : state) {
    k.RecordSetFill(database::OpenSqliteRecordset(db, kQuery));
    state.PauseTiming();
    k.ListItems().Clear();  // tearing down a million rows is not part of the fill
    state.ResumeTiming();
  }
  k.RecordSetFill(database::OpenSqliteRecordset(db, kQuery));
  if (k.ListItems().Count() != kFillRows || k.ListItems().Item(kFillRows)->SubItems(4) != "0" ||
      !tk.MessageBoxes().empty())
    state.SkipWithError("the list does not hold the query's rows");
  state.SetItemsProcessed(state.iterations() * kFillRows);
}

void BM_FillFromSqlite_baseline(benchmark::State& state) {
  const std::string& db = Database();
  std::array<std::vector<std::string>, 5> columns;
  for (auto _ : state) {
    for (auto& c : columns) c.clear();
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(h, kQuery, -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW)
      for (int c = 0; c < 5; ++c)
        columns[static_cast<size_t>(c)].emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                                                     static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
    sqlite3_finalize(stmt);
    sqlite3_close(h);
    benchmark::DoNotOptimize(columns);
  }
  if (columns[0].size() != kFillRows) state.SkipWithError("the vectors do not hold the query's rows");
  state.SetItemsProcessed(state.iterations() * kFillRows);
}

// The printed table: texts of 10,000 rows, their widths in twips as on screen.
struct PrintTable {
  std::array<float, 5> widths{900, 2400, 1500, 900, 1100};
  std::array<std::string, 5> captions{"Id", "Spice", "City", "Qty", "Price"};
  std::vector<std::array<std::string, 5>> rows;
};

const PrintTable& TableToPrint() {
  static const PrintTable table = [] {
    PrintTable t;
    for (int i = 1; i <= kPrintRows; ++i)
      t.rows.push_back({std::to_string(i), "Spice " + std::to_string(i % 977) + " from the eastern hills",
                        i % 3 ? "Lyon" : "Fez", std::to_string(i % 1000), std::to_string(i % 100) + ".50"});
    return t;
  }();
  return table;
}

void BM_PrintToPdf_kestrel(benchmark::State& state) {
  const PrintTable& table = TableToPrint();
  platform::headless::HeadlessToolkit tk;
  platform::headless::HostForm form(tk, "Bench", 12000, 9000);
  Kestrel& k = form.Add<Kestrel>("K1", 0, 0, 9000, 6000);
  for (size_t c = 0; c < 5; ++c)
    k.ColumnHeaders().Add(0, {}, table.captions[c], table.widths[c],
                          c >= 3 ? platform::ColumnHeader::lvwColumnRight : platform::ColumnHeader::lvwColumnLeft);
  for (const auto& row : table.rows) {
    auto item = k.ListItems().Add(0, {}, row[0]);
    for (int32_t c = 1; c < 5; ++c) item->SubItems(c, row[static_cast<size_t>(c)]);
  }
  k.PrintingReportHeader("Stock");
  k.LineAltColor(true);
  auto pdf = std::make_shared<printing::PdfPrinter>(printing::A4Paper(), Folder());
  tk.SetPrinter(pdf);
  for (auto _ : state) {
    pdf->NextOutputFile(Folder() / "kestrel.pdf");
    k.PrintToDefaultPrinter();
  }
  const std::filesystem::path file = Folder() / "kestrel.pdf";
  if (pdf->LastOutput() != file || std::filesystem::file_size(file) < 100000)
    state.SkipWithError("no report was written");
  state.counters["pages"] = pdf->LastPageCount();
  state.SetItemsProcessed(state.iterations() * kPrintRows);
}

// The same table drawn directly: per row a filled box, per cell an outline and its text.
void BM_PrintToPdf_baseline(benchmark::State& state) {
  const PrintTable& table = TableToPrint();
  const printing::PageSetup page = printing::A4Paper();
  for (auto _ : state) {
    const std::string file = (Folder() / "baseline.pdf").string();
    cairo_surface_t* surface = cairo_pdf_surface_create(file.c_str(), page.width, page.height);
    cairo_t* cr = cairo_create(surface);
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* font = pango_font_description_from_string("Arial 10");
    pango_layout_set_font_description(layout, font);
    cairo_set_line_width(cr, 0.5);
    // 17 pixels of 15 twips a row; the 6800 twips of columns take 90% of the printable width.
    const double rowHeight = 12.75, top = 40, bottom = page.height - 60, scale = 0.9 * 559.0 / 6800.0;
    double y = top;
    for (const auto& row : table.rows) {
      if (y + rowHeight > bottom) {
        cairo_show_page(cr);
        y = top;
      }
      cairo_set_source_rgb(cr, 0.95, 0.95, 0.95);
      cairo_rectangle(cr, 32, y, 503, rowHeight);
      cairo_fill(cr);
      double x = 32;
      for (size_t c = 0; c < 5; ++c) {
        const double w = table.widths[c] * scale;
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_rectangle(cr, x, y, w, rowHeight);
        cairo_stroke(cr);
        pango_layout_set_text(layout, row[c].c_str(), -1);
        int tw = 0, th = 0;
        pango_layout_get_size(layout, &tw, &th);
        cairo_move_to(cr, x + 4, y + 1);
        pango_cairo_show_layout(cr, layout);
        x += w;
      }
      y += rowHeight;
    }
    pango_font_description_free(font);
    g_object_unref(layout);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    cairo_surface_destroy(surface);
  }
  state.SetItemsProcessed(state.iterations() * kPrintRows);
}

BENCHMARK(BM_FillFromSqlite_kestrel)->Name("BM_FillFromSqlite/kestrel")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FillFromSqlite_baseline)->Name("BM_FillFromSqlite/baseline")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintToPdf_kestrel)->Name("BM_PrintToPdf/kestrel")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PrintToPdf_baseline)->Name("BM_PrintToPdf/baseline")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(Folder(), ec);
  return 0;
}
