// The list view model at 100,000 and 1,000,000 rows of five columns, each operation beside a plain
// program doing the same work on a std::vector of rows of strings.
//
// Names pair up as BM_<Operation>/model/<rows> and BM_<Operation>/baseline/<rows>. Every case
// times only its own operation: building the list it works on, restoring it between iterations
// and tearing it down run with the timer paused. Each case checks its result once after timing
// and reports an error instead of a time when the result is wrong.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/SplitMix64.h"
#include "platform/Messages.h"
#include "platform/UserControl.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/listview/ListView.h"
#include "runtime/Text.h"

namespace {

using tamarind::platform::ListItemRef;
using tamarind::platform::ListView;
using tamarind::platform::LPARAM;
using tamarind::platform::WPARAM;

constexpr int kColumns = 5;
constexpr int16_t kNameColumn = 1;  // the column the text sort orders by
using Row = std::array<std::string, kColumns>;

// --- the rows both sides add ---------------------------------------------------------------------

// The texts of n rows: "Row 123456", a person's name, a quantity, a city and an amount. Names and
// cities repeat (a stable sort has equal texts to keep in order) and a few start in lower case.
struct Table {
  std::vector<Row> rows;        // in the order they are added: row i gets item parameter i + 1
  std::vector<double> amounts;  // the amount of each row by item parameter; [0] is unused
};

const Table& TableOf(size_t n) {
  static std::map<size_t, std::unique_ptr<Table>> cache;
  auto& slot = cache[n];
  if (slot) return *slot;
  static const char* const kGiven[] = {"Ana",   "Ben",   "Chloe", "David", "Elif",  "Farah", "Georg", "Hana",
                                       "Ivan",  "Jonas", "Kai",   "Lena",  "Marta", "Nils",  "Olga",  "Pedro",
                                       "Quinn", "Rosa",  "Sven",  "Tara",  "Uma",   "Vera",  "Wim",   "Yusuf"};
  static const char* const kFamily[] = {"Silva", "de Vries", "Novak",  "Okafor", "van Dijk", "Berg",   "Costa",
                                        "Haddad", "Ito",     "Jensen", "Kowal",  "le Roux",  "Moreau", "Nakamura",
                                        "Olsen", "Petrov",   "Quist",  "Rossi",  "Schmidt",  "Tanaka"};
  static const char* const kCities[] = {"Lisbon", "Utrecht", "Krakow", "Lagos", "Oslo",  "Kyoto",  "Porto",
                                        "Beirut", "Aarhus",  "Lyon",   "Turin", "Dakar", "Quito",  "Bergen",
                                        "Seville", "Graz",   "Malmo",  "Cork",  "Lille", "Ghent"};
  auto table = std::make_unique<Table>();
  table->rows.reserve(n);
  table->amounts.assign(n + 1, 0.0);
  tamarind::bench::SplitMix64 next;
  for (size_t i = 0; i < n; ++i) {
    Row r;
    r[0] = "Row " + std::to_string(i + 1);
    std::string name = std::string(kGiven[next() % std::size(kGiven)]) + " " + kFamily[next() % std::size(kFamily)];
    if (next() % 16 == 0) name[0] = static_cast<char>(name[0] - 'A' + 'a');
    r[1] = std::move(name);
    r[2] = std::to_string(next() % 5000);
    r[3] = kCities[next() % std::size(kCities)];
    const uint64_t cents = next() % 10000000;
    char amount[32];
    std::snprintf(amount, sizeof amount, "%llu.%02llu", static_cast<unsigned long long>(cents / 100),
                  static_cast<unsigned long long>(cents % 100));
    r[4] = amount;
    table->amounts[i + 1] = static_cast<double>(cents) / 100.0;
    table->rows.push_back(std::move(r));
  }
  slot = std::move(table);
  return *slot;
}

// --- compare routines of the keyed sort ----------------------------------------------------------

// The sort parameter carries the keys (a std::vector<double> indexed by item parameter).
int32_t CompareByKey(LPARAM a, LPARAM b, LPARAM sort) {
  const auto& keys = *reinterpret_cast<const std::vector<double>*>(sort);
  const double x = keys[static_cast<size_t>(a)], y = keys[static_cast<size_t>(b)];
  return (x > y) - (x < y);
}

// Item parameters follow the order of adding: sorting by them restores that order.
int32_t CompareByParam(LPARAM a, LPARAM b, LPARAM) { return (a > b) - (a < b); }

// --- the model: a report list on a user control of a headless form --------------------------------

class BenchSurface final : public tamarind::platform::UserControl {
 public:
  explicit BenchSurface(tamarind::platform::Toolkit& tk) : UserControl(tk, "BenchSurface") {}
  std::string TypeName() const override { return "BenchSurface"; }
};

class ModelList {
 public:
  ModelList() : surface_(form_.Add<BenchSurface>("Surface1", 300, 300, 6000, 4500)), lv_(tk_.CreateListView(surface_)) {
    lv_->Move(0, 0, 6000, 4500);
    for (int c = 1; c <= kColumns; ++c) lv_->ColumnHeaders().Add(0, {}, "C" + std::to_string(c));
  }

  ListView& List() { return *lv_; }

  void Fill(const Table& t) {
    auto& items = lv_->ListItems();
    for (const Row& r : t.rows) {
      ListItemRef item = items.Add(0, {}, r[0]);
      for (int j = 1; j < kColumns; ++j) item->SubItems(j, r[static_cast<size_t>(j)]);
    }
  }

  tamarind::platform::LRESULT SortItems(tamarind::platform::PFNLVCOMPARE compare, LPARAM sort) {
    return tk_.Windows().SendMessage(lv_->hWnd(), tamarind::platform::LVM_SORTITEMS, static_cast<WPARAM>(sort),
                                     reinterpret_cast<LPARAM>(compare));
  }

  // Back to the order of adding, and no longer Sorted.
  void RestoreAddOrder() {
    lv_->Sorted(false);
    SortItems(&CompareByParam, 0);
  }

  // Every item in list order.
  std::vector<ListItemRef> Items() const {
    std::vector<ListItemRef> all;
    all.reserve(static_cast<size_t>(lv_->ListItems().Count()));
    lv_->ListItems().ForEach([&all](const ListItemRef& it) { all.push_back(it); });
    return all;
  }

 private:
  tamarind::platform::headless::HeadlessToolkit tk_;
  tamarind::platform::headless::HostForm form_{tk_, "Form1", 12000, 9000};
  BenchSurface& surface_;
  std::shared_ptr<ListView> lv_;
};

std::unique_ptr<ModelList> BuildModel(const Table& t) {
  auto m = std::make_unique<ModelList>();
  m->Fill(t);
  return m;
}

// Removes every other row, walking from the last to the first, one Remove at a time.
void RemoveEveryOther(ModelList& m) {
  auto& items = m.List().ListItems();
  for (int32_t i = items.Count(); i >= 1; i -= 2) items.Remove(i);
}

// --- the baseline: a vector of rows of strings ----------------------------------------------------

// The id plays the part of the item parameter: it is what the keyed sort looks its key up by.
struct PlainRow {
  LPARAM id = 0;
  Row cells;
};
using PlainList = std::vector<PlainRow>;

PlainList BuildPlain(const Table& t) {
  PlainList rows;
  for (size_t i = 0; i < t.rows.size(); ++i) rows.push_back(PlainRow{static_cast<LPARAM>(i + 1), t.rows[i]});
  return rows;
}

// Stable, ignoring case, locale-aware: one collation key per row, a stable sort of the keys, then
// the rows moved into that order.
void SortPlainByText(PlainList& rows, size_t column) {
  std::vector<std::pair<std::string, size_t>> keys;
  keys.reserve(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) keys.emplace_back(tamarind::text::CollationKey(rows[i].cells[column]), i);
  std::stable_sort(keys.begin(), keys.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  PlainList sorted;
  sorted.reserve(rows.size());
  for (const auto& k : keys) sorted.push_back(std::move(rows[k.second]));
  rows = std::move(sorted);
}

// The rows left after removing every other one from the last to the first. Erasing them one at a
// time from a vector moves the whole tail each time, which is quadratic (minutes at a million
// rows); a plain program keeps every other row in one pass instead, which is what this times.
void RemoveEveryOtherPlain(PlainList& rows) {
  const size_t n = rows.size();
  size_t kept = 0;
  for (size_t r = 0; r < n; ++r)
    if ((n - r) % 2 == 0) rows[kept++] = std::move(rows[r]);  // 1-based positions n, n - 2, ... go
  rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(kept), rows.end());
}

// --- checks of the results ----------------------------------------------------------------------

bool OrderedByText(const std::vector<const std::string*>& texts) {
  for (size_t i = 1; i < texts.size(); ++i)
    if (tamarind::text::CompareText(*texts[i - 1], *texts[i]) > 0) return false;
  return true;
}

bool OrderedByKey(const std::vector<LPARAM>& params, const std::vector<double>& keys) {
  for (size_t i = 1; i < params.size(); ++i)
    if (keys[static_cast<size_t>(params[i - 1])] > keys[static_cast<size_t>(params[i])]) return false;
  return true;
}

// After removing every other row from the last, the rows left are those added at 1-based positions
// of the other parity than the count.
bool EveryOtherLeft(const std::vector<LPARAM>& params, size_t n) {
  if (params.size() != n / 2) return false;
  const LPARAM first = n % 2 == 0 ? 1 : 2;
  for (size_t i = 0; i < params.size(); ++i)
    if (params[i] != first + 2 * static_cast<LPARAM>(i)) return false;
  return true;
}

std::vector<LPARAM> ParamsOf(ModelList& m) {
  std::vector<LPARAM> params;
  m.List().ListItems().ForEach([&params](const ListItemRef& it) { params.push_back(it->ItemParam()); });
  return params;
}

std::vector<LPARAM> ParamsOf(const PlainList& rows) {
  std::vector<LPARAM> params;
  params.reserve(rows.size());
  for (const auto& r : rows) params.push_back(r.id);
  return params;
}

size_t Rows(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

// --- 1. adding the rows ---------------------------------------------------------------------------

void BM_Add_Model(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  size_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = std::make_unique<ModelList>();
    state.ResumeTiming();
    m->Fill(t);
    state.PauseTiming();
    count = static_cast<size_t>(m->List().ListItems().Count());
    m.reset();
    state.ResumeTiming();
  }
  if (count != t.rows.size()) state.SkipWithError("the list does not hold every row added");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * t.rows.size()));
}

void BM_Add_Baseline(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  size_t count = 0;
  for (auto _ : state) {
    PlainList rows = BuildPlain(t);
    state.PauseTiming();
    count = rows.size();
    rows = {};
    state.ResumeTiming();
  }
  if (count != t.rows.size()) state.SkipWithError("the vector does not hold every row added");
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * t.rows.size()));
}

// --- 2. sorting by the text of one column -----------------------------------------------------------

void BM_SortText_Model(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  auto m = BuildModel(t);
  ListView& lv = m->List();
  for (auto _ : state) {
    state.PauseTiming();
    m->RestoreAddOrder();
    state.ResumeTiming();
    lv.SortKey(kNameColumn);
    lv.Sorted(true);
  }
  std::vector<const std::string*> texts;
  lv.ListItems().ForEach([&texts](const ListItemRef& it) { texts.push_back(&it->ColumnText(kNameColumn)); });
  if (texts.size() != t.rows.size() || !OrderedByText(texts)) state.SkipWithError("the list is not in text order");
}

void BM_SortText_Baseline(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  const PlainList original = BuildPlain(t);
  PlainList rows;
  for (auto _ : state) {
    state.PauseTiming();
    rows = original;
    state.ResumeTiming();
    SortPlainByText(rows, kNameColumn);
  }
  std::vector<const std::string*> texts;
  for (const auto& r : rows) texts.push_back(&r.cells[kNameColumn]);
  if (texts.size() != t.rows.size() || !OrderedByText(texts)) state.SkipWithError("the rows are not in text order");
}

// --- 3. keyed sort through the compare routine ---------------------------------------------------

void BM_SortKeyed_Model(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  auto m = BuildModel(t);
  const auto sort = reinterpret_cast<LPARAM>(&t.amounts);
  for (auto _ : state) {
    state.PauseTiming();
    m->RestoreAddOrder();
    state.ResumeTiming();
    m->SortItems(&CompareByKey, sort);
  }
  const auto params = ParamsOf(*m);
  if (params.size() != t.rows.size() || !OrderedByKey(params, t.amounts))
    state.SkipWithError("the list is not in key order");
}

void BM_SortKeyed_Baseline(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  const PlainList original = BuildPlain(t);
  const auto sort = reinterpret_cast<LPARAM>(&t.amounts);
  PlainList rows;
  for (auto _ : state) {
    state.PauseTiming();
    rows = original;
    state.ResumeTiming();
    std::stable_sort(rows.begin(), rows.end(),
                     [sort](const PlainRow& a, const PlainRow& b) { return CompareByKey(a.id, b.id, sort) < 0; });
  }
  const auto params = ParamsOf(rows);
  if (params.size() != t.rows.size() || !OrderedByKey(params, t.amounts))
    state.SkipWithError("the rows are not in key order");
}

// --- 4. removing every other row, from the last to the first ---------------------------------------

void BM_RemoveEveryOther_Model(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  std::vector<LPARAM> params;
  for (auto _ : state) {
    state.PauseTiming();
    auto m = BuildModel(t);
    state.ResumeTiming();
    RemoveEveryOther(*m);
    state.PauseTiming();
    params = ParamsOf(*m);
    m.reset();
    state.ResumeTiming();
  }
  if (!EveryOtherLeft(params, t.rows.size())) state.SkipWithError("the wrong rows are left");
}

void BM_RemoveEveryOther_Baseline(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  const PlainList original = BuildPlain(t);
  PlainList rows;
  for (auto _ : state) {
    state.PauseTiming();
    rows = original;
    state.ResumeTiming();
    RemoveEveryOtherPlain(rows);
  }
  if (!EveryOtherLeft(ParamsOf(rows), t.rows.size())) state.SkipWithError("the wrong rows are left");
}

// The same work done the same way on the plain vector: one erase at a time, from the last row to the
// first. Each erase moves every row after it, so this is quadratic; it runs at 100,000 rows only
// (at 1,000,000 it would take minutes).
void BM_RemoveEveryOther_BaselineOneByOne(benchmark::State& state) {
  const Table& t = TableOf(Rows(state));
  const PlainList original = BuildPlain(t);
  PlainList rows;
  for (auto _ : state) {
    state.PauseTiming();
    rows = original;
    state.ResumeTiming();
    for (size_t i = rows.size(); i >= 1; i -= 2) {
      rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i - 1));
      if (i < 2) break;
    }
  }
  if (!EveryOtherLeft(ParamsOf(rows), t.rows.size())) state.SkipWithError("the wrong rows are left");
}

// --- 5. reading every row's position -------------------------------------------------------------

// The model reads ListItem::Index() of every item, visiting the items in the order they were added
// (held references, as a program that keeps its items would); the baseline reads the same
// positions from a plain vector of positions indexed by id. The sum checks every position was read.
void ReadIndexes(benchmark::State& state, const std::vector<ListItemRef>& held) {
  int64_t sum = 0;
  for (auto _ : state) {
    sum = 0;
    for (const auto& item : held) sum += item->Index();
    benchmark::DoNotOptimize(sum);
  }
  const auto n = static_cast<int64_t>(held.size());
  if (sum != n * (n + 1) / 2) state.SkipWithError("the positions read are wrong");
  state.SetItemsProcessed(state.iterations() * n);
}

void ReadPositions(benchmark::State& state, const PlainList& rows) {
  std::vector<uint32_t> position(rows.size() * 2 + 2, 0);  // by id; ids run up to twice the rows left
  for (size_t i = 0; i < rows.size(); ++i) position[static_cast<size_t>(rows[i].id)] = static_cast<uint32_t>(i + 1);
  std::vector<LPARAM> ids = ParamsOf(rows);
  std::sort(ids.begin(), ids.end());  // the order of adding, as the model visits its items
  int64_t sum = 0;
  for (auto _ : state) {
    sum = 0;
    for (LPARAM id : ids) sum += position[static_cast<size_t>(id)];
    benchmark::DoNotOptimize(sum);
  }
  const auto n = static_cast<int64_t>(rows.size());
  if (sum != n * (n + 1) / 2) state.SkipWithError("the positions read are wrong");
  state.SetItemsProcessed(state.iterations() * n);
}

std::vector<ListItemRef> InAddOrder(std::vector<ListItemRef> items) {
  std::sort(items.begin(), items.end(), [](const auto& a, const auto& b) { return a->ItemParam() < b->ItemParam(); });
  return items;
}

void BM_IndexAfterSort_Model(benchmark::State& state) {
  auto m = BuildModel(TableOf(Rows(state)));
  m->List().SortKey(kNameColumn);
  m->List().Sorted(true);
  const auto held = InAddOrder(m->Items());
  ReadIndexes(state, held);
}

void BM_IndexAfterSort_Baseline(benchmark::State& state) {
  PlainList rows = BuildPlain(TableOf(Rows(state)));
  SortPlainByText(rows, kNameColumn);
  ReadPositions(state, rows);
}

// The first pass after the removals: the model has to find items whose places in their blocks moved.
void BM_IndexAfterRemoval_Model(benchmark::State& state) {
  auto m = BuildModel(TableOf(Rows(state)));
  RemoveEveryOther(*m);
  const auto held = InAddOrder(m->Items());
  ReadIndexes(state, held);
}

void BM_IndexAfterRemoval_Baseline(benchmark::State& state) {
  PlainList rows = BuildPlain(TableOf(Rows(state)));
  RemoveEveryOtherPlain(rows);
  ReadPositions(state, rows);
}

// --- registration ---------------------------------------------------------------------------------

using BenchFn = void (*)(benchmark::State&);

// Model and baseline of one operation, side by side at each size, with a fixed number of
// iterations per size so the whole program runs in a few minutes.
void RegisterPair(const std::string& operation, BenchFn model, BenchFn baseline, int64_t itersSmall,
                  int64_t itersLarge) {
  const std::array<std::pair<int64_t, int64_t>, 2> sizes{{{100000, itersSmall}, {1000000, itersLarge}}};
  for (const auto& [rows, iterations] : sizes) {
    benchmark::RegisterBenchmark((operation + "/model").c_str(), model)
        ->Args({rows})
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((operation + "/baseline").c_str(), baseline)
        ->Args({rows})
        ->Iterations(iterations)
        ->Unit(benchmark::kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  RegisterPair("BM_Add", BM_Add_Model, BM_Add_Baseline, 5, 2);
  RegisterPair("BM_SortText", BM_SortText_Model, BM_SortText_Baseline, 5, 2);
  RegisterPair("BM_SortKeyed", BM_SortKeyed_Model, BM_SortKeyed_Baseline, 5, 2);
  RegisterPair("BM_RemoveEveryOther", BM_RemoveEveryOther_Model, BM_RemoveEveryOther_Baseline, 5, 2);
  benchmark::RegisterBenchmark("BM_RemoveEveryOther/baseline-one-by-one", BM_RemoveEveryOther_BaselineOneByOne)
      ->Args({100000})
      ->Iterations(1)
      ->Unit(benchmark::kMillisecond);
  RegisterPair("BM_IndexAfterSort", BM_IndexAfterSort_Model, BM_IndexAfterSort_Baseline, 5, 3);
  // One pass: a second pass would read the positions the first one already put right.
  RegisterPair("BM_IndexAfterRemoval", BM_IndexAfterRemoval_Model, BM_IndexAfterRemoval_Baseline, 1, 1);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
