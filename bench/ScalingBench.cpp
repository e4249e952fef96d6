// How the cost of the common operations grows with the list: filling, a click on a numeric
// header, a wildcard filter and CopyAll at 10,000, 100,000, 1,000,000 and 10,000,000 rows of five
// columns, each reported as time per row. Work that grows as the rows do shows the same time per
// row at every size.
//
// One list of each size is filled once (that fill is the timed fill) and the other cases run on
// it, the filter last, put back with FilterRemove with the timer paused. The list of one size is
// released before the next is built, so the largest runs with the machine to itself. The rows
// are made as they are added, from a counter: a row number, a quantity, a date, a customer's
// name (one family name in ten is "Silva") and a price; making them is a small part of the fill.
//
//   build/bench/scaling_bench                      every size
//   build/bench/scaling_bench --benchmark_filter=/100000/   one size

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "bench/Registration.h"
#include "bench/SplitMix64.h"
#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"

namespace {

using tamarind::Kestrel;
using tamarind::platform::ListItemRef;

constexpr int kColumns = 5;
enum Column { kRow = 0, kQty = 1, kDue = 2, kCustomer = 3, kPrice = 4 };

class Control {
 public:
  Control() : k_(form_.Add<Kestrel>("Orders1", 120, 120, 9000, 4000)) {
    form_.Show();
    const char* const captions[kColumns] = {"Row", "Qty", "Due", "Customer", "Price"};
    for (const char* c : captions) k_.ColumnHeaders().Add(0, {}, c);
  }

  // Header clicks sort by value from now on (and the rows stand in order of their first column).
  void SortByClicks() {
    k_.SmartColumnSort(true);
    k_.SortArrows(true);
  }

  // n rows, made from a counter as they are added.
  void Fill(size_t n) {
    static const char* const kGiven[] = {"Ana", "Élodie", "Chloé", "David", "Åsa", "Farah", "Georg", "hana"};
    static const char* const kFamily[] = {"Silva",  "de Vries", "Novák", "Okafor", "van Dijk",
                                          "Berg",   "Costa",    "Haddad", "Itō",   "Jensen"};
    tamarind::bench::SplitMix64 next;
    auto& items = k_.ListItems();
    std::string cell;
    for (size_t i = 0; i < n; ++i) {
      ListItemRef item = items.Add(0, {}, "Row " + std::to_string(i + 1));
      item->SubItems(kQty, std::to_string(static_cast<int64_t>(next() % 2000001) - 1000000));
      item->SubItems(kDue, std::to_string(next() % 12 + 1) + "/" + std::to_string(next() % 28 + 1) + "/" +
                               std::to_string(1990 + next() % 40));
      cell = kGiven[next() % std::size(kGiven)];
      cell += ' ';
      cell += kFamily[next() % std::size(kFamily)];
      item->SubItems(kCustomer, cell);
      const uint64_t cents = next() % 10000000;
      char price[32];
      std::snprintf(price, sizeof price, "%llu.%02u", static_cast<unsigned long long>(cents / 100),
                    static_cast<unsigned>(cents % 100));
      item->SubItems(kPrice, price);
    }
  }

  Kestrel& K() { return k_; }
  tamarind::platform::headless::HeadlessToolkit& Tk() { return tk_; }
  void Click(int column) { user_.ClickHeader(k_.ListViewControl(), column + 1); }

 private:
  tamarind::platform::headless::HeadlessToolkit tk_;
  tamarind::platform::headless::HostForm form_{tk_, "Orders", 9600, 5000};
  Kestrel& k_;
  tamarind::platform::headless::UserDriver user_{tk_};
};

// The list of the size being measured; a new size releases the one before.
std::unique_ptr<Control> gList;
size_t gRows = 0;

size_t Rows(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

void PerRow(benchmark::State& state) {
  state.counters["ns_per_row"] = benchmark::Counter(static_cast<double>(Rows(state)) * 1e-9,
                                                    benchmark::Counter::kIsIterationInvariantRate |
                                                        benchmark::Counter::kInvert);
}

void BM_Fill(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    gList.reset();
    gRows = 0;
    auto list = std::make_unique<Control>();
    state.ResumeTiming();
    list->Fill(Rows(state));
    state.PauseTiming();
    list->SortByClicks();
    gList = std::move(list);
    gRows = Rows(state);
    state.ResumeTiming();
  }
  if (gList->K().ListItems().Count() != static_cast<int32_t>(Rows(state))) state.SkipWithError("rows missing");
  PerRow(state);
}

Control& List(benchmark::State& state) {
  if (!gList || gRows != Rows(state)) {
    gList = std::make_unique<Control>();
    gList->Fill(Rows(state));
    gList->SortByClicks();
    gRows = Rows(state);
  }
  return *gList;
}

void BM_ClickNumeric(benchmark::State& state) {
  Control& c = List(state);
  for (auto _ : state) c.Click(kQty);
  if (c.K().SortKey() != kQty || c.K().Sorted()) state.SkipWithError("the quantity column was not sorted by value");
  PerRow(state);
}

void BM_FilterWild(benchmark::State& state) {
  Control& c = List(state);
  int32_t kept = 0;
  for (auto _ : state) {
    c.K().FilterWild("silva", kCustomer);
    state.PauseTiming();
    kept = c.K().ListItems().Count();
    c.K().FilterRemove();
    state.ResumeTiming();
  }
  state.counters["kept"] = kept;
  if (kept <= 0 || static_cast<size_t>(kept) >= Rows(state) / 5) state.SkipWithError("the filter kept the wrong rows");
  PerRow(state);
}

void BM_CopyAll(benchmark::State& state) {
  Control& c = List(state);
  size_t bytes = 0;
  for (auto _ : state) {
    c.K().CopyAll();
    state.PauseTiming();
    bytes = c.Tk().ClipboardImpl().GetText(1).size();
    c.Tk().ClipboardImpl().ClearHistory();
    state.ResumeTiming();
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  if (bytes < Rows(state) * 20) state.SkipWithError("the copied text is too short");
  PerRow(state);
}

}  // namespace

int main(int argc, char** argv) {
  using tamarind::bench::Register;
  for (int64_t rows : {10000, 100000, 1000000, 10000000}) {
    // Few iterations at the large sizes: a run of 10,000,000 rows takes minutes as it is.
    const int64_t iterations = rows >= 10000000 ? 1 : rows >= 1000000 ? 2 : 5;
    Register("BM_Fill", BM_Fill, rows, 1);
    Register("BM_ClickNumeric", BM_ClickNumeric, rows, iterations);
    Register("BM_CopyAll", BM_CopyAll, rows, iterations);
    Register("BM_FilterWild", BM_FilterWild, rows, iterations);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  gList.reset();
  return 0;
}
