// The list in virtual mode over ten million SQLite rows it does not hold, beside Qt's own SQL
// models (QSqlQueryModel and QSqlTableModel, lazily fetching) in a QTableView over the same file,
// in the same binary, on real widgets.
//
//   BM_BindFirstPaint/<side>       bind the rows (the control: a row source over the table; the
//                                  models: setQuery, or setTable and select), show the window and
//                                  paint it. Counters: rows, what the view then believes it has
//                                  (a lazy model says 256 until asked for more); table_rows.
//   BM_ScrollPaint/<side>/<where>  from the top of a freshly bound list, scroll so the middle row,
//                                  or the last, is on screen, and paint. QSqlQueryModel only gets
//                                  there by fetching every row before it, so its run stops after
//                                  kAnchorPatience: its time is then that much (manual time) and
//                                  rows_fetched, reached (0 or 1), estimated_s (the time to get
//                                  there at the rate seen) and held_MiB (what the fetched rows
//                                  take in memory) say how far it got.
//   BM_HeaderClickQty/<side>       a click on the Qty header (an indexed column) to the first
//                                  rows painted; each click turns the order over (checked: the
//                                  table's smallest and largest quantity on top in turn).
//   BM_FilterWild/<side>           the rows whose customer holds "anna" in any letter case (a
//                                  full scan, a few percent of the rows) to the first rows
//                                  painted; the control also counts them. sqlite3_count is the
//                                  engine alone counting the same rows through the plain sqlite3
//                                  API: the floor for the control. Counter rows: the rows the
//                                  view knows of after it (the lazy model: 256).
//   BM_Memory/control              what binding, scrolling to the last row and a header click take
//                                  (malloc's bytes in use, growth: the list, its cache, the engine
//                                  connection's pages), as malloc_MiB and new_MiB (operator new
//                                  only); within_target is 1 when under 100 MiB.
//
// The table: the file KESTREL_BIGTABLE names, else bigtable/orders.db in the build folder; made
// by the kestrel_bigtable generator on the first run when missing (KESTREL_BIGTABLE_ROWS rows,
// 10,000,000 unless set), which takes a few minutes at ten million, then reused.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM names another.

#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlQueryModel>
#include <QSqlTableModel>
#include <QTableView>

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "BigTable.h"
#include "bench/AllocationCounting.h"
#include "control/Kestrel.h"
#include "platform/database/SqlRowSource.h"
#include "platform/database/SqliteDatabase.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtTargets.h"
#include "platform/qt/QtToolkit.h"

namespace {

using namespace tamarind;
using namespace tamarind::platform;
using Clock = std::chrono::steady_clock;

constexpr int kWindowWidth = 1000, kWindowHeight = 700;
constexpr int kQty = 3, kCustomer = 1;  // 0-based columns of the query below
constexpr const char* kQuery = "SELECT id, customer, item, qty, price, due FROM orders";
constexpr const char* kFilterText = "anna";
constexpr const char* kAnchorFilter = "upper(customer) LIKE '%ANNA%'";
// How long QSqlQueryModel may fetch towards a row far down before its run is called off.
constexpr double kAnchorPatience = 10.0;
constexpr double kMemoryTargetMiB = 100.0;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }
double MallocMiB() { return static_cast<double>(mallinfo2().uordblks) / bench::kMiB; }

const std::string& TablePath() {
  static const std::string path = [] {
    const char* named = std::getenv("KESTREL_BIGTABLE");
    std::string p = named && *named ? named : TAMARIND_BIGTABLE_DEFAULT;
    if (bigtable::ExistingRows(p) < 0) {
      const char* rows = std::getenv("KESTREL_BIGTABLE_ROWS");
      const int64_t n = rows && *rows ? std::atoll(rows) : bigtable::kDefaultRows;
      std::cerr << "Writing the " << n << "-row table to " << p << " (once)...\n";
      const auto made = bigtable::Ensure(p, n);
      std::cerr << "  done in " << made.seconds << " s\n";
    }
    return p;
  }();
  return path;
}

int64_t TableRows() {
  static const int64_t rows = bigtable::ExistingRows(TablePath());
  return rows;
}

// The rows the filter keeps, as the engine counts them by itself.
int64_t EngineCount(sqlite3* db) {
  const std::string sql = std::string("SELECT count(*) FROM orders WHERE ") + kAnchorFilter;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  int64_t n = -1;
  if (sqlite3_step(stmt) == SQLITE_ROW) n = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  return n;
}

int64_t FilteredRows() {
  static const int64_t rows = [] {
    sqlite3* db = nullptr;
    sqlite3_open_v2(TablePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const int64_t n = EngineCount(db);
    sqlite3_close(db);
    return n;
  }();
  return rows;
}

// The smallest and the largest quantity in the table: what a sort by quantity puts on top.
std::pair<std::string, std::string> QtyExtremes() {
  static const auto extremes = [] {
    sqlite3* db = nullptr;
    sqlite3_open_v2(TablePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    std::pair<std::string, std::string> e;
    if (sqlite3_prepare_v2(db, "SELECT min(qty), max(qty) FROM orders", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
      e = {std::to_string(sqlite3_column_int64(stmt, 0)), std::to_string(sqlite3_column_int64(stmt, 1))};
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return e;
  }();
  return extremes;
}

// Whether the quantities on top after each click went from one end of the table to the other.
bool TurnsOver(const std::vector<std::string>& tops) {
  const auto [lowest, highest] = QtyExtremes();
  if (tops.size() < 2) return false;
  for (size_t i = 0; i < tops.size(); ++i) {
    if (tops[i] != lowest && tops[i] != highest) return false;
    if (i > 0 && tops[i] == tops[i - 1]) return false;
  }
  return true;
}

void Paint(QWidget* viewport) {
  viewport->repaint();
  QApplication::processEvents();
}

// A press and release where a person would click (a header sorts on the release).
void Click(QWidget* w, QPoint at) {
  for (QEvent::Type type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent e(type, at, w->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
  }
  QApplication::processEvents();
}

// --- the control -----------------------------------------------------------------------------------------

database::RowSourceDefinition OrdersDefinition() {
  return {"orders", "id", {"id", "customer", "item", "qty", "price", "due"}, {"Id", "Customer", "Item", "Qty", "Price", "Due"}};
}

// The list on a host form's window, the connection opened but nothing bound.
struct ControlDesk {
  ControlDesk()
      : form(tk, "Orders", kWindowWidth * 15.0f, kWindowHeight * 15.0f),
        k(form.Add<Kestrel>("K", 0, 0, kWindowWidth * 15.0f, kWindowHeight * 15.0f)),
        list(dynamic_cast<qt::QtListView&>(k.ListViewControl())),
        db(database::SqliteDatabase::Open(TablePath(), database::SqliteDatabase::Mode::ReadOnly)) {
    k.FullRowSelect(true);
    k.SmartColumnSort(true);
    QApplication::processEvents();
  }
  void BindShowPaint() {
    k.BindRowSource(database::OpenSqliteRowSource(db, OrdersDefinition()));
    form.Show();
    QApplication::processEvents();
    Paint(Viewport());
  }
  QWidget* Viewport() const { return list.ReportWidget()->viewport(); }
  int64_t Rows() { return k.ListItems().Count(); }
  std::string TopText(int32_t column) {
    ListItemRef item = k.ListItems().Item(list.TopIndex() + 1);
    return column == 0 ? item->Text() : item->SubItems(column);
  }
  void ScrollToRow(int32_t row) {
    list.ScrollTo(std::max(0, row - list.VisibleRowCount() + 1), 0);
    QApplication::processEvents();
    Paint(Viewport());
  }
  bool Shows(int32_t row) const { return row >= list.TopIndex() && row < list.TopIndex() + list.VisibleRowCount(); }
  void ClickQtyHeader() {
    const qt::ClickTarget t = qt::targets::HeaderSection(list, kQty + 1);
    if (!t) throw std::runtime_error("no Qty header to click");
    Click(t.widget, t.at);
    Paint(Viewport());
  }

  qt::QtToolkit tk;
  qt::QtHostForm form;
  Kestrel& k;
  qt::QtListView& list;
  std::shared_ptr<database::SqliteDatabase> db;
};

// --- the anchor: Qt's SQL models in a QTableView -----------------------------------------------------------

QSqlDatabase AnchorConnection() {
  static const QString name = [] {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "anchor");
    db.setDatabaseName(QString::fromStdString(TablePath()));
    db.setConnectOptions("QSQLITE_OPEN_READONLY");
    if (!db.open()) throw std::runtime_error("the anchor cannot open the table: " + db.lastError().text().toStdString());
    return db.connectionName();
  }();
  return QSqlDatabase::database(name);
}

enum class AnchorModel { Query, Table };

struct AnchorDesk {
  explicit AnchorDesk(AnchorModel kind) {
    if (kind == AnchorModel::Table) {
      table = new QSqlTableModel(&view, AnchorConnection());
      table->setEditStrategy(QSqlTableModel::OnManualSubmit);
      model = table;
    } else {
      model = new QSqlQueryModel(&view);
    }
    view.resize(kWindowWidth, kWindowHeight);
    QApplication::processEvents();
  }
  void BindShowPaint() {
    if (table) {
      table->setTable("orders");
      table->select();
    } else {
      model->setQuery(QSqlQuery(kQuery, AnchorConnection()));
    }
    view.setModel(model);
    view.show();
    QApplication::processEvents();
    Paint(view.viewport());
  }
  void ClickQtyHeader() {
    QHeaderView* header = view.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(kQty) + header->sectionSize(kQty) / 2, header->height() / 2);
    Click(header->viewport(), at);
    Paint(view.viewport());
  }
  std::string TopText(int column) {
    const int row = view.rowAt(0);
    return model->data(model->index(row, column)).toString().toStdString();
  }

  QTableView view;
  QSqlQueryModel* model = nullptr;
  QSqlTableModel* table = nullptr;  // the same object when the model is a table model
};

const char* AnchorName(AnchorModel kind) { return kind == AnchorModel::Query ? "qsqlquerymodel" : "qsqltablemodel"; }

// --- 1. bind and first paint ---------------------------------------------------------------------------------

void BM_BindFirstPaint_Control(benchmark::State& state) {
  int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto desk = std::make_unique<ControlDesk>();
    state.ResumeTiming();
    desk->BindShowPaint();
    state.PauseTiming();
    rows = desk->Rows();
    desk.reset();
    state.ResumeTiming();
  }
  if (rows != TableRows()) state.SkipWithError("the list does not show every row of the table");
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["table_rows"] = static_cast<double>(TableRows());
}

void BM_BindFirstPaint_Anchor(benchmark::State& state, AnchorModel kind) {
  int64_t rows = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto desk = std::make_unique<AnchorDesk>(kind);
    state.ResumeTiming();
    desk->BindShowPaint();
    state.PauseTiming();
    rows = desk->model->rowCount();
    desk.reset();
    state.ResumeTiming();
  }
  if (rows <= 0) state.SkipWithError("the model has no rows");
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["table_rows"] = static_cast<double>(TableRows());
}

// --- 2. scroll to the middle and to the end ------------------------------------------------------------------

int32_t TargetRow(bool end) { return static_cast<int32_t>(end ? TableRows() - 1 : TableRows() / 2); }

void BM_ScrollPaint_Control(benchmark::State& state, bool end) {
  const int32_t target = TargetRow(end);
  bool shown = true;
  for (auto _ : state) {
    state.PauseTiming();
    auto desk = std::make_unique<ControlDesk>();
    desk->BindShowPaint();
    state.ResumeTiming();
    desk->ScrollToRow(target);
    state.PauseTiming();
    shown = shown && desk->Shows(target) && desk->TopText(0) != "";
    desk.reset();
    state.ResumeTiming();
  }
  if (!shown) state.SkipWithError("the row scrolled to is not on screen");
  state.counters["row"] = target + 1;
}

// Scrolling once the list has settled: a first jump far down (untimed) lets the source's map of
// its order reach there, then jumps anywhere above it are timed, each to a row not read before.
void BM_ScrollPaint_ControlSettled(benchmark::State& state) {
  const int32_t total = static_cast<int32_t>(TableRows());
  bool shown = true;
  int32_t jumps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto desk = std::make_unique<ControlDesk>();
    desk->BindShowPaint();
    desk->ScrollToRow(total - total / 20);
    state.ResumeTiming();
    for (int32_t part : {1, 3, 5, 7, 9, 11, 13, 15, 17}) {
      const int32_t row = static_cast<int32_t>(int64_t{total} * part / 20);
      desk->ScrollToRow(row);
      shown = shown && desk->Shows(row);
      ++jumps;
    }
    state.PauseTiming();
    desk.reset();
    state.ResumeTiming();
  }
  if (!shown) state.SkipWithError("a row scrolled to is not on screen");
  state.counters["jumps"] = jumps;
  state.counters["s_per_jump"] = benchmark::Counter(static_cast<double>(jumps), benchmark::Counter::kIsRate |
                                                                                   benchmark::Counter::kInvert);
}

// QSqlQueryModel knows a row only once it fetched every row before it; it fetches until the row
// is there or its patience runs out, and the time is what it took either way.
void BM_ScrollPaint_Anchor(benchmark::State& state, bool end) {
  const int32_t target = TargetRow(end);
  double fetched = 0, reached = 0, estimated = 0, held = 0;
  for (auto _ : state) {
    auto desk = std::make_unique<AnchorDesk>(AnchorModel::Query);
    desk->BindShowPaint();
    const double before = MallocMiB();
    const auto start = Clock::now();
    QSqlQueryModel& m = *desk->model;
    while (m.rowCount() <= target && m.canFetchMore() && Seconds(start) < kAnchorPatience) m.fetchMore();
    const bool there = m.rowCount() > target;
    if (there) {
      desk->view.scrollTo(m.index(target, 0), QAbstractItemView::PositionAtBottom);
      Paint(desk->view.viewport());
    }
    const double took = Seconds(start);
    state.SetIterationTime(took);
    fetched = m.rowCount();
    reached = there ? 1 : 0;
    estimated = there ? took : took * static_cast<double>(target + 1) / std::max(1.0, fetched);
    held = MallocMiB() - before;
    desk.reset();
  }
  state.counters["row"] = target + 1;
  state.counters["rows_fetched"] = fetched;
  state.counters["reached"] = reached;
  state.counters["estimated_s"] = estimated;
  state.counters["held_MiB"] = held;
}

// --- 3. a header click on an indexed column -----------------------------------------------------------------

void BM_HeaderClickQty_Control(benchmark::State& state) {
  ControlDesk desk;
  desk.BindShowPaint();
  std::vector<std::string> tops;
  for (auto _ : state) {
    desk.ClickQtyHeader();
    state.PauseTiming();
    tops.push_back(desk.TopText(kQty));
    state.ResumeTiming();
  }
  if (!TurnsOver(tops)) state.SkipWithError("the clicks did not sort by quantity, one way then the other");
  state.counters["rows"] = static_cast<double>(desk.Rows());
}

void BM_HeaderClickQty_Anchor(benchmark::State& state) {
  AnchorDesk desk(AnchorModel::Table);
  desk.BindShowPaint();
  desk.view.setSortingEnabled(true);
  desk.table->setSort(-1, Qt::AscendingOrder);
  desk.table->select();
  Paint(desk.view.viewport());
  std::vector<std::string> tops;
  for (auto _ : state) {
    desk.ClickQtyHeader();
    state.PauseTiming();
    tops.push_back(desk.TopText(kQty));
    state.ResumeTiming();
  }
  if (!TurnsOver(tops)) state.SkipWithError("the clicks did not sort by quantity, one way then the other");
  state.counters["rows"] = desk.model->rowCount();
}

// --- 4. a wildcard filter over the customers --------------------------------------------------------------------

void BM_FilterWild_Control(benchmark::State& state) {
  ControlDesk desk;
  desk.BindShowPaint();
  int64_t rows = 0;
  for (auto _ : state) {
    desk.k.FilterWild(kFilterText, kCustomer);
    Paint(desk.Viewport());
    state.PauseTiming();
    rows = desk.Rows();
    desk.k.FilterRemove();
    Paint(desk.Viewport());
    state.ResumeTiming();
  }
  if (rows != FilteredRows()) state.SkipWithError("the list does not show the rows the engine counts");
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["percent"] = 100.0 * static_cast<double>(rows) / static_cast<double>(TableRows());
}

void BM_FilterWild_Anchor(benchmark::State& state) {
  AnchorDesk desk(AnchorModel::Table);
  desk.BindShowPaint();
  int64_t rows = 0;
  for (auto _ : state) {
    desk.table->setFilter(kAnchorFilter);
    desk.table->select();
    Paint(desk.view.viewport());
    state.PauseTiming();
    rows = desk.model->rowCount();
    desk.table->setFilter("");
    desk.table->select();
    Paint(desk.view.viewport());
    state.ResumeTiming();
  }
  if (rows <= 0) state.SkipWithError("the filter kept no row");
  state.counters["rows"] = static_cast<double>(rows);
}

void BM_FilterWild_Sqlite3(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(TablePath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  int64_t rows = 0;
  for (auto _ : state) rows = EngineCount(db);
  sqlite3_close(db);
  state.counters["rows"] = static_cast<double>(rows);
  state.counters["percent"] = 100.0 * static_cast<double>(rows) / static_cast<double>(TableRows());
}

// --- 5. memory ------------------------------------------------------------------------------------------------------

void BM_Memory_Control(benchmark::State& state) {
  double mallocMiB = 0, newMiB = 0;
  for (auto _ : state) {
    auto desk = std::make_unique<ControlDesk>();
    const double mallocBefore = MallocMiB();
    const int64_t newBefore = bench::LiveBytes();
    desk->BindShowPaint();
    desk->ScrollToRow(TargetRow(true));
    desk->ClickQtyHeader();
    desk->ScrollToRow(TargetRow(true));
    mallocMiB = MallocMiB() - mallocBefore;
    newMiB = static_cast<double>(bench::LiveBytes() - newBefore) / bench::kMiB;
    desk.reset();
  }
  state.counters["malloc_MiB"] = mallocMiB;
  state.counters["new_MiB"] = newMiB;
  state.counters["within_target"] = mallocMiB < kMemoryTargetMiB ? 1 : 0;
  state.counters["table_rows"] = static_cast<double>(TableRows());
}

void Register() {
  using benchmark::RegisterBenchmark;
  RegisterBenchmark("BM_BindFirstPaint/control", BM_BindFirstPaint_Control)->Unit(benchmark::kMillisecond)->Iterations(5);
  for (AnchorModel kind : {AnchorModel::Query, AnchorModel::Table})
    RegisterBenchmark((std::string("BM_BindFirstPaint/") + AnchorName(kind)).c_str(), BM_BindFirstPaint_Anchor, kind)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
  for (bool end : {false, true}) {
    const std::string where = end ? "/end" : "/middle";
    RegisterBenchmark(("BM_ScrollPaint/control" + where).c_str(), BM_ScrollPaint_Control, end)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
    RegisterBenchmark(("BM_ScrollPaint/qsqlquerymodel" + where).c_str(), BM_ScrollPaint_Anchor, end)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1);
  }
  RegisterBenchmark("BM_ScrollPaint/control/anywhere_settled", BM_ScrollPaint_ControlSettled)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(3);
  RegisterBenchmark("BM_HeaderClickQty/control", BM_HeaderClickQty_Control)->Unit(benchmark::kMillisecond)->Iterations(4);
  RegisterBenchmark("BM_HeaderClickQty/qsqltablemodel", BM_HeaderClickQty_Anchor)->Unit(benchmark::kMillisecond)->Iterations(4);
  RegisterBenchmark("BM_FilterWild/control", BM_FilterWild_Control)->Unit(benchmark::kMillisecond)->Iterations(3);
  RegisterBenchmark("BM_FilterWild/qsqltablemodel", BM_FilterWild_Anchor)->Unit(benchmark::kMillisecond)->Iterations(3);
  RegisterBenchmark("BM_FilterWild/sqlite3_count", BM_FilterWild_Sqlite3)->Unit(benchmark::kMillisecond)->Iterations(3);
  RegisterBenchmark("BM_Memory/control", BM_Memory_Control)->Unit(benchmark::kMillisecond)->Iterations(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int status = 0;
  {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    try {
      TablePath();
      Register();
      benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
      std::cerr << "virtual_bench: " << e.what() << "\n";
      status = 1;
    }
    benchmark::Shutdown();
    QSqlDatabase::removeDatabase("anchor");
  }
  return status;
}
