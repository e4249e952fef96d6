// Filtering, restoring and the selected-keys query at 1,000,000 rows of five columns, each beside
// a plain program doing the same work on a std::vector of rows of strings in the same binary.
//
// The control's cases call a Kestrel on a headless form as a host does. Putting the list back
// between runs happens with the timer paused. Each case checks its result once after timing and
// reports an error instead of a time when the result is wrong.
//
//   FilterWild keeping 10%   the customers named Silva (one family name in ten)
//   FilterWild keeping 90%   the same search with ExcludeMatch
//   Filter keeping 10%       the rows of one category in ten, by exact comparison
//   FilterRemove             900,000 parked rows with keys put back
//   GetSelectedKeys          100,000 rows selected (every tenth)
//
// The wildcard baselines test every row by the same rule (the cell upper-cased with the runtime's
// case mapping against the same compiled pattern), then compact the kept rows to the front and
// move the others to a parked vector. The restore baseline appends the parked rows and registers
// each key in a hash set, refusing one in use. The query baseline joins the keys of the selected
// rows of a vector by the same rule.
//
// Memory: every allocation of the program is counted (operator new and delete). BM_Memory reports
// the bytes the filled list holds, the bytes held while 900,000 of its rows are parked, and the
// highest count reached on the way, all above what the program held before.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "bench/AllocationCounting.h"
#include "bench/Registration.h"
#include "bench/SplitMix64.h"
#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "runtime/Like.h"
#include "runtime/Text.h"

namespace {

using tamarind::Kestrel;
using tamarind::platform::ListItemRef;

constexpr int kColumns = 5;
enum Column { kOrder = 0, kCustomer = 1, kCategory = 2, kQty = 3, kDue = 4 };
struct Row {
  std::string key;
  std::array<std::string, kColumns> cells;
};
constexpr const char* kSearch = "silva";  // one family name in ten

// --- the rows both sides work on -------------------------------------------------------------------

// A key ("k123"), an order number, a customer's name in mixed case (about half of them with a
// letter beyond ASCII), a category, a quantity and a date.
const std::vector<Row>& RowsOf(size_t n) {
  static std::map<size_t, std::unique_ptr<std::vector<Row>>> cache;
  auto& slot = cache[n];
  if (slot) return *slot;
  static const char* const kGiven[] = {"Ana",  "Élodie", "Chloé", "David", "Åsa",  "Farah", "Georg", "hana",
                                       "Ivan", "Jonás",  "Kai",   "Lena",  "Marta", "Nils", "Øyvind", "Pedro"};
  static const char* const kFamily[] = {"Silva", "de Vries", "Novák", "Okafor", "van Dijk",
                                        "Berg",  "Costa",    "Haddad", "Itō",   "Jensen"};
  static const char* const kCategories[] = {"Seeds", "Leaves", "Pods",   "Roots", "Flowers",
                                            "Bark",  "Resins", "Blends", "Salts", "Peppers"};
  auto rows = std::make_unique<std::vector<Row>>();
  rows->reserve(n);
  tamarind::bench::SplitMix64 next;
  for (size_t i = 0; i < n; ++i) {
    Row r;
    r.key = "k" + std::to_string(i + 1);
    r.cells[kOrder] = "SO-" + std::to_string(1000000 + i);
    r.cells[kCustomer] = std::string(kGiven[next() % std::size(kGiven)]) + " " + kFamily[next() % std::size(kFamily)];
    r.cells[kCategory] = kCategories[next() % std::size(kCategories)];
    r.cells[kQty] = std::to_string(next() % 5000);
    r.cells[kDue] = std::to_string(next() % 12 + 1) + "/" + std::to_string(next() % 28 + 1) + "/2026";
    rows->push_back(std::move(r));
  }
  slot = std::move(rows);
  return *slot;
}

size_t Rows(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

// How many rows hold the search text in their customer's name, by the same rule as FilterWild.
size_t Matching(const std::vector<Row>& rows) {
  const tamarind::LikePattern pattern("*" + tamarind::text::UCase(kSearch) + "*");
  size_t n = 0;
  std::string upper;
  for (const Row& r : rows) {
    tamarind::text::UCase(r.cells[kCustomer], upper);
    n += pattern.Matches(upper) ? 1 : 0;
  }
  return n;
}

// --- the control: a Kestrel on a headless form ------------------------------------------------------

class Control {
 public:
  explicit Control(const std::vector<Row>& rows) : k_(form_.Add<Kestrel>("Orders1", 120, 120, 9000, 4000)) {
    form_.Show();
    const char* const captions[kColumns] = {"Order", "Customer", "Category", "Qty", "Due"};
    for (const char* c : captions) k_.ColumnHeaders().Add(0, {}, c);
    auto& items = k_.ListItems();
    for (const Row& r : rows) {
      ListItemRef item = items.Add(0, r.key, r.cells[0]);
      for (int j = 1; j < kColumns; ++j) item->SubItems(j, r.cells[static_cast<size_t>(j)]);
    }
  }
  Kestrel& K() { return k_; }
  size_t Count() { return static_cast<size_t>(k_.ListItems().Count()); }
  size_t Parked() { return k_.FilteredListItems ? static_cast<size_t>(k_.FilteredListItems->Count()) : 0; }

 private:
  tamarind::platform::headless::HeadlessToolkit tk_;
  tamarind::platform::headless::HostForm form_{tk_, "Orders", 9600, 5000};
  Kestrel& k_;
};

Control& SharedControl(size_t n) {
  static std::map<size_t, std::unique_ptr<Control>> cache;
  auto& slot = cache[n];
  if (!slot) slot = std::make_unique<Control>(RowsOf(n));
  return *slot;
}

// --- the shape of every filter case --------------------------------------------------------------

// Times filter(kestrel) on the shared list, put back between runs with the timer paused, and checks
// that it kept `kept` rows and parked the others.
template <class Filter>
void FilterControl(benchmark::State& state, size_t kept, Filter filter) {
  const size_t n = Rows(state);
  Control& c = SharedControl(n);
  for (auto _ : state) {
    state.PauseTiming();
    c.K().FilterRemove();
    state.ResumeTiming();
    filter(c.K());
  }
  state.counters["kept"] = static_cast<double>(c.Count());
  if (c.Count() != kept || c.Parked() != n - kept) state.SkipWithError("the filter kept the wrong rows");
  c.K().FilterRemove();
}

// The same rule on a vector: makeTest() (timed, as the control compiles its pattern) gives the test
// of a row; every row is tested from the last to the first, the failing ones moved to a parked
// vector as the control parks them, and the kept rows then moved to the front in their order.
template <class MakeTest>
void FilterBaseline(benchmark::State& state, size_t kept, MakeTest makeTest) {
  const std::vector<Row>& source = RowsOf(Rows(state));
  std::vector<Row> rows, parked;
  for (auto _ : state) {
    state.PauseTiming();
    rows = source;
    parked.clear();
    parked.reserve(rows.size());
    state.ResumeTiming();
    auto keeps = makeTest();
    std::vector<bool> keep(rows.size());
    for (size_t i = rows.size(); i-- > 0;) {
      keep[i] = keeps(rows[i]);
      if (!keep[i]) parked.push_back(std::move(rows[i]));
    }
    size_t to = 0;
    for (size_t i = 0; i < rows.size(); ++i)
      if (keep[i]) {
        if (to != i) rows[to] = std::move(rows[i]);
        ++to;
      }
    rows.resize(to);
    benchmark::DoNotOptimize(rows.data());
  }
  if (rows.size() != kept) state.SkipWithError("wrong rows kept");
}

// --- 1, 2. FilterWild keeping 10% and 90% -------------------------------------------------------------

size_t WildKept(const benchmark::State& state, bool exclude) {
  const size_t matching = Matching(RowsOf(Rows(state)));
  return exclude ? Rows(state) - matching : matching;
}

void FilterWildControl(benchmark::State& state, bool exclude) {
  FilterControl(state, WildKept(state, exclude), [exclude](Kestrel& k) { k.FilterWild(kSearch, kCustomer, exclude); });
}

void FilterWildBaseline(benchmark::State& state, bool exclude) {
  FilterBaseline(state, WildKept(state, exclude), [exclude] {
    // The cell upper-cased with the runtime's case mapping against the same compiled pattern.
    return [exclude, pattern = tamarind::LikePattern("*" + tamarind::text::UCase(kSearch) + "*"),
            upper = std::string()](const Row& r) mutable {
      tamarind::text::UCase(r.cells[kCustomer], upper);
      return pattern.Matches(upper) != exclude;
    };
  });
}

// --- 3. Filter (exact) keeping one category in ten -----------------------------------------------

constexpr const char* kCategory10 = "Pods";

size_t InCategory(const std::vector<Row>& rows) {
  size_t n = 0;
  for (const Row& r : rows) n += r.cells[kCategory] == kCategory10 ? 1 : 0;
  return n;
}

void BM_FilterExact_Control(benchmark::State& state) {
  FilterControl(state, InCategory(RowsOf(Rows(state))), [](Kestrel& k) { k.Filter(kCategory10, kCategory); });
}

void BM_FilterExact_Baseline(benchmark::State& state) {
  FilterBaseline(state, InCategory(RowsOf(Rows(state))),
                 [] { return [](const Row& r) { return r.cells[kCategory] == kCategory10; }; });
}

void BM_FilterWildKeep10_Control(benchmark::State& state) { FilterWildControl(state, false); }
void BM_FilterWildKeep10_Baseline(benchmark::State& state) { FilterWildBaseline(state, false); }
void BM_FilterWildKeep90_Control(benchmark::State& state) { FilterWildControl(state, true); }
void BM_FilterWildKeep90_Baseline(benchmark::State& state) { FilterWildBaseline(state, true); }

// --- 4. FilterRemove of 900,000 rows with keys ---------------------------------------------------------

void BM_FilterRemove_Control(benchmark::State& state) {
  const size_t n = Rows(state);
  Control& c = SharedControl(n);
  size_t parked = 0;
  for (auto _ : state) {
    state.PauseTiming();
    c.K().FilterWild(kSearch, kCustomer);  // about 90% of the rows parked
    parked = c.Parked();
    state.ResumeTiming();
    c.K().FilterRemove();
  }
  state.counters["restored"] = static_cast<double>(parked);
  if (c.Count() != n || c.Parked() != 0 || !c.K().ListItems().FindKey("k1") ||
      !c.K().ListItems().FindKey("k" + std::to_string(n)))
    state.SkipWithError("not every row came back under its key");
}

// The parked rows appended to the kept ones, each key registered in a hash set first.
void BM_FilterRemove_Baseline(benchmark::State& state) {
  const std::vector<Row>& source = RowsOf(Rows(state));
  std::vector<Row> rows, parked;
  std::unordered_set<std::string> keys;
  for (auto _ : state) {
    state.PauseTiming();
    rows.clear();
    parked.clear();
    keys.clear();
    const tamarind::LikePattern pattern("*" + tamarind::text::UCase(kSearch) + "*");
    std::string upper;
    for (size_t i = source.size(); i-- > 0;) {
      tamarind::text::UCase(source[i].cells[kCustomer], upper);
      if (pattern.Matches(upper)) {
        rows.push_back(source[i]);
        keys.insert(source[i].key);
      } else {
        parked.push_back(source[i]);
      }
    }
    state.ResumeTiming();
    rows.reserve(rows.size() + parked.size());
    for (Row& r : parked) {
      if (!keys.insert(r.key).second) {
        state.SkipWithError("a key in use");
        break;
      }
      rows.push_back(std::move(r));
    }
    parked.clear();
    benchmark::DoNotOptimize(rows.data());
  }
  if (rows.size() != source.size()) state.SkipWithError("not every row came back");
}

// --- 5. GetSelectedKeys with 100,000 rows selected -------------------------------------------------------

// The keys of every tenth row joined by ",", as both sides must give them.
std::string ExpectedKeys(const std::vector<Row>& rows) {
  std::string out;
  for (size_t i = 0; i < rows.size(); i += 10) out += (out.empty() ? "" : ",") + rows[i].key;
  return out;
}

// Runs on the shared list while its rows still stand in the order they were added.
void BM_GetSelectedKeys_Control(benchmark::State& state) {
  Control& c = SharedControl(Rows(state));
  auto& items = c.K().ListItems();
  c.K().MultiSelect(true);
  for (int32_t i = 1; i <= items.Count(); i += 10) items.Item(i)->Selected(true);
  std::string keys;
  for (auto _ : state) {
    keys = c.K().GetSelectedKeys();
    benchmark::DoNotOptimize(keys.data());
  }
  state.counters["selected"] = static_cast<double>((items.Count() + 9) / 10);
  if (keys != ExpectedKeys(RowsOf(Rows(state)))) state.SkipWithError("wrong keys");
  for (int32_t i = 1; i <= items.Count(); i += 10) items.Item(i)->Selected(false);
}

void BM_GetSelectedKeys_Baseline(benchmark::State& state) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  std::vector<bool> selected(rows.size());
  for (size_t i = 0; i < rows.size(); i += 10) selected[i] = true;
  std::string keys;
  for (auto _ : state) {
    keys.clear();
    for (size_t i = 0; i < rows.size(); ++i) {
      if (!selected[i]) continue;
      if (!keys.empty()) keys += ',';
      keys += rows[i].key;
    }
    benchmark::DoNotOptimize(keys.data());
  }
  if (keys != ExpectedKeys(rows)) state.SkipWithError("wrong keys");
}

// --- 6. memory while 900,000 rows are parked ------------------------------------------------------

void BM_Memory(benchmark::State& state) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  for (auto _ : state) {
    const int64_t before = tamarind::bench::ResetPeak();
    auto c = std::make_unique<Control>(rows);
    const int64_t filled = tamarind::bench::LiveBytes() - before;
    c->K().FilterWild(kSearch, kCustomer);
    const int64_t parked = tamarind::bench::LiveBytes() - before;
    c->K().FilterRemove();
    const int64_t peak = tamarind::bench::PeakBytes() - before;
    state.counters["parked_rows"] = static_cast<double>(rows.size() - Matching(rows));
    state.counters["list_MiB"] = static_cast<double>(filled) / tamarind::bench::kMiB;
    state.counters["while_parked_MiB"] = static_cast<double>(parked) / tamarind::bench::kMiB;
    state.counters["peak_MiB"] = static_cast<double>(peak) / tamarind::bench::kMiB;
    if (c->Count() != rows.size()) state.SkipWithError("rows were lost");
    c.reset();
  }
  state.counters["process_maxrss_MiB"] = tamarind::bench::ProcessMaxRssMiB();
}

}  // namespace

int main(int argc, char** argv) {
  using tamarind::bench::Register;
  constexpr int64_t kMillion = 1000000;
  // First, while the program holds little else: the list's memory.
  Register("BM_Memory", BM_Memory, kMillion, 1);
  Register("BM_GetSelectedKeys/control", BM_GetSelectedKeys_Control, kMillion, 200);
  Register("BM_GetSelectedKeys/baseline", BM_GetSelectedKeys_Baseline, kMillion, 200);
  Register("BM_FilterWildKeep10/control", BM_FilterWildKeep10_Control, kMillion, 5);
  Register("BM_FilterWildKeep10/baseline", BM_FilterWildKeep10_Baseline, kMillion, 5);
  Register("BM_FilterWildKeep90/control", BM_FilterWildKeep90_Control, kMillion, 5);
  Register("BM_FilterWildKeep90/baseline", BM_FilterWildKeep90_Baseline, kMillion, 5);
  Register("BM_FilterRemove/control", BM_FilterRemove_Control, kMillion, 5);
  Register("BM_FilterRemove/baseline", BM_FilterRemove_Baseline, kMillion, 5);
  // Last: every filter-and-restore cycle leaves the shared list's rows in new heap blocks in a new
  // order, so the cases above keep the conditions they were first measured in.
  Register("BM_Filter/control", BM_FilterExact_Control, kMillion, 5);
  Register("BM_Filter/baseline", BM_FilterExact_Baseline, kMillion, 5);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
