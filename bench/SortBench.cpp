// Sorting by a click on a column header at 1,000,000 rows of five columns, and SizeColumns at
// 100,000 rows, each beside a plain program doing the same work on a std::vector of rows of
// strings in the same binary.
//
// The control's cases run a Kestrel on a headless form, with SmartColumnSort on, and click through
// the user driver: type detection, BeforeColumnSort, one read and one conversion per row, the
// sort and the arrows all count. Restoring the list between clicks runs with the timer paused.
// Each case checks its result once after timing and reports an error instead of a time when the
// result is wrong.
//
// Memory: every allocation of the program is counted (operator new and delete); BM_Memory reports
// the bytes the 1M-row list holds once filled and the highest count reached while it is filled
// and sorted by keys, both above what the program held before it was built.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/AllocationCounting.h"
#include "bench/Registration.h"
#include "bench/SplitMix64.h"
#include "control/Kestrel.h"
#include "platform/Messages.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"
#include "runtime/Conversions.h"
#include "runtime/Text.h"

namespace {

using tamarind::Kestrel;
using tamarind::platform::ListItemRef;
using tamarind::platform::ListView;
using tamarind::platform::LPARAM;
using tamarind::platform::WPARAM;

constexpr int kColumns = 5;
enum Column { kRowId = 0, kQty = 1, kDue = 2, kCustomer = 3, kPrice = 4 };
using Row = std::array<std::string, kColumns>;

// --- the rows both sides sort ------------------------------------------------------------------------

// "Row 123", a quantity (-1,000,000 .. 1,000,000, some with decimals), a date (m/d/yyyy, 1990 to
// 2029), a customer's name in mixed case with accents (names repeat, so equal texts must keep
// their order) and a price in dollars with thousands separators ("$12,345.67").
const std::vector<Row>& RowsOf(size_t n) {
  static std::map<size_t, std::unique_ptr<std::vector<Row>>> cache;
  auto& slot = cache[n];
  if (slot) return *slot;
  static const char* const kGiven[] = {"Ana",   "élodie", "Chloé", "DAVID", "Åsa",   "Farah", "Georg",  "hana",
                                       "Ivan",  "Jonás",  "Kai",   "Lena",  "Marta", "Nils",  "Øyvind", "Pedro",
                                       "Zoë",   "Rosa",   "sven",  "Tara",  "Uma",   "Vera",  "Wim",    "Yusuf"};
  static const char* const kFamily[] = {"Silva",  "de Vries", "Novák",   "Okafor", "van Dijk", "Berg",  "Costa",
                                        "Haddad", "Itō",      "Jensen",  "Kowal",  "le Roux",  "Moreau", "Nakamura",
                                        "Olsen",  "Petrov",   "Quist",   "Rossi",  "Schmidt",  "Åberg", "Ünal",
                                        "Ébert",  "Ólafsson", "Çelik"};
  auto rows = std::make_unique<std::vector<Row>>();
  rows->reserve(n);
  tamarind::bench::SplitMix64 next;
  for (size_t i = 0; i < n; ++i) {
    Row r;
    r[kRowId] = "Row " + std::to_string(i + 1);
    const auto qty = static_cast<int64_t>(next() % 2000001) - 1000000;
    r[kQty] = std::to_string(qty) + (next() % 4 == 0 ? ".25" : "");
    r[kDue] = std::to_string(next() % 12 + 1) + "/" + std::to_string(next() % 28 + 1) + "/" +
              std::to_string(1990 + next() % 40);
    r[kCustomer] = std::string(kGiven[next() % std::size(kGiven)]) + " " + kFamily[next() % std::size(kFamily)];
    const uint64_t cents = next() % 10000000;
    const std::string dollars = std::to_string(cents / 100);
    std::string grouped;
    for (size_t d = 0; d < dollars.size(); ++d) {
      if (d > 0 && (dollars.size() - d) % 3 == 0) grouped += ',';
      grouped += dollars[d];
    }
    char price[48];
    std::snprintf(price, sizeof price, "$%s.%02u", grouped.c_str(), static_cast<unsigned>(cents % 100));
    r[kPrice] = price;
    rows->push_back(std::move(r));
  }
  slot = std::move(rows);
  return *slot;
}

size_t Rows(const benchmark::State& state) { return static_cast<size_t>(state.range(0)); }

// --- the control: a Kestrel on a headless form, clicked through the user driver ----------------------

// The host answers BeforeColumnSort for the price column: "$" is left out before converting.
class PriceHost : public tamarind::KestrelEvents {
 public:
  void BeforeColumnSort(const ColumnHeaderRef& header, tamarind::SortDataType& type, std::string& omit) override {
    if (header->Index() == kPrice + 1) {
      type = tamarind::sdt_NUMERIC;
      omit = "$";
    }
  }
};

int32_t CompareByParam(LPARAM a, LPARAM b, LPARAM) { return (a > b) - (a < b); }

class Control {
 public:
  explicit Control(const std::vector<Row>& rows) : k_(form_.Add<Kestrel>("Orders1", 120, 120, 9000, 4000)) {
    form_.Show();
    const char* const captions[kColumns] = {"Row", "Qty", "Due", "Customer", "Price"};
    for (const char* c : captions) k_.ColumnHeaders().Add(0, {}, c);
    auto& items = k_.ListItems();
    for (const Row& r : rows) {
      ListItemRef item = items.Add(0, {}, r[0]);
      for (int j = 1; j < kColumns; ++j) item->SubItems(j, r[static_cast<size_t>(j)]);
    }
    k_.Attach(&host_);
    k_.SmartColumnSort(true);  // and with it AutoSort and Sorted: the rows stand in order of their first column
    k_.SortArrows(true);
  }
  ~Control() { k_.Attach(nullptr); }

  ListView& List() { return k_.ListViewControl(); }
  Kestrel& K() { return k_; }
  void Click(int column) { user_.ClickHeader(List(), column + 1); }

  // Back to the order of adding, sorted by the first column as after filling.
  void Restore() {
    ListView& lv = List();
    lv.Sorted(false);
    lv.SortKey(0);
    lv.SortOrder(0);
    tk_.Windows().SendMessage(lv.hWnd(), tamarind::platform::LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareByParam));
    lv.Sorted(true);
  }

  std::vector<const std::string*> Texts(int column) {
    std::vector<const std::string*> out;
    List().ListItems().ForEach([&](const ListItemRef& it) { out.push_back(&it->ColumnText(column)); });
    return out;
  }

 private:
  tamarind::platform::headless::HeadlessToolkit tk_;
  tamarind::platform::headless::HostForm form_{tk_, "Orders", 9600, 5000};
  Kestrel& k_;
  tamarind::platform::headless::UserDriver user_{tk_};
  PriceHost host_;
};

Control& SharedControl(size_t n) {
  static std::map<size_t, std::unique_ptr<Control>> cache;
  auto& slot = cache[n];
  if (!slot) slot = std::make_unique<Control>(RowsOf(n));
  return *slot;
}

// --- checks of the results ------------------------------------------------------------------------

using Key = double (*)(const std::string&);
double NumberKey(const std::string& s) { return tamarind::CDbl(tamarind::Variant(s)); }
double DateKey(const std::string& s) { return tamarind::CDate(tamarind::Variant(s)).SerialNumber(); }
double PriceKey(const std::string& s) {
  return tamarind::CDbl(tamarind::Variant(tamarind::text::Replace(s, "$", "")));
}

bool Ordered(const std::vector<const std::string*>& texts, Key key, bool descending) {
  for (size_t i = 1; i < texts.size(); ++i) {
    const double a = key(*texts[i - 1]), b = key(*texts[i]);
    if (descending ? a < b : a > b) return false;
  }
  return true;
}

bool OrderedByText(const std::vector<const std::string*>& texts, bool descending) {
  for (size_t i = 1; i < texts.size(); ++i) {
    const int c = tamarind::text::CompareText(*texts[i - 1], *texts[i]);
    if (descending ? c < 0 : c > 0) return false;
  }
  return true;
}

// --- 1-3. keyed sorts: numbers, dates, prices ------------------------------------------------------

void ClickKeyed(benchmark::State& state, int column, Key key) {
  Control& c = SharedControl(Rows(state));
  for (auto _ : state) {
    state.PauseTiming();
    c.Restore();
    state.ResumeTiming();
    c.Click(column);
  }
  const bool descending = c.K().SortOrder() == tamarind::lvDESC;
  if (c.K().Sorted() || !Ordered(c.Texts(column), key, descending)) state.SkipWithError("the rows are not in key order");
}

// The plain program: the column's texts converted once each into a key per row (from_chars, or
// the runtime's date reader), then the row indices sorted by key.
template <class Convert>
void SortIndicesByKey(benchmark::State& state, int column, Convert convert, Key key) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  std::vector<uint32_t> order;
  for (auto _ : state) {
    std::vector<double> keys(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keys[i] = convert(rows[i][static_cast<size_t>(column)]);
    order.resize(rows.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    benchmark::DoNotOptimize(order.data());
  }
  std::vector<const std::string*> texts;
  for (uint32_t i : order) texts.push_back(&rows[i][static_cast<size_t>(column)]);
  if (!Ordered(texts, key, false)) state.SkipWithError("the rows are not in key order");
}

double FromChars(const std::string& s) {
  double v = 0;
  std::from_chars(s.data(), s.data() + s.size(), v);
  return v;
}

double PlainPrice(const std::string& s) {
  char digits[48];
  size_t n = 0;
  for (char ch : s)
    if (ch != '$' && ch != ',' && n < sizeof digits) digits[n++] = ch;
  double v = 0;
  std::from_chars(digits, digits + n, v);
  return v;
}

double PlainDate(const std::string& s) { return tamarind::ParseDate(s)->SerialNumber(); }

void BM_ClickNumeric_Control(benchmark::State& state) { ClickKeyed(state, kQty, NumberKey); }
void BM_ClickNumeric_Baseline(benchmark::State& state) { SortIndicesByKey(state, kQty, FromChars, NumberKey); }
void BM_ClickDate_Control(benchmark::State& state) { ClickKeyed(state, kDue, DateKey); }
void BM_ClickDate_Baseline(benchmark::State& state) { SortIndicesByKey(state, kDue, PlainDate, DateKey); }
void BM_ClickPrice_Control(benchmark::State& state) { ClickKeyed(state, kPrice, PriceKey); }
void BM_ClickPrice_Baseline(benchmark::State& state) { SortIndicesByKey(state, kPrice, PlainPrice, PriceKey); }

// --- 4. text: locale-aware, ignoring case, stable -----------------------------------------------------

// The list stands in order of its first column, as a list kept Sorted from the start does.
void BM_ClickText_Control(benchmark::State& state) {
  Control& c = SharedControl(Rows(state));
  for (auto _ : state) {
    state.PauseTiming();
    c.Restore();
    state.ResumeTiming();
    c.Click(kCustomer);
  }
  if (!c.K().Sorted() || !OrderedByText(c.Texts(kCustomer), c.K().SortOrder() == tamarind::lvDESC))
    state.SkipWithError("the rows are not in text order");
}

// After a keyed sort the list's previous key is a column it is not in order of: rows of equal
// name are put in the order of that column's text, which takes a second set of keys.
void BM_ClickTextAfterKeyedSort_Control(benchmark::State& state) {
  Control& c = SharedControl(Rows(state));
  for (auto _ : state) {
    state.PauseTiming();
    c.Restore();
    c.Click(kQty);
    state.ResumeTiming();
    c.Click(kCustomer);
  }
  if (!c.K().Sorted() || !OrderedByText(c.Texts(kCustomer), c.K().SortOrder() == tamarind::lvDESC))
    state.SkipWithError("the rows are not in text order");
}

// One collation key per row, then a stable sort of the rows by key.
void BM_ClickText_Baseline(benchmark::State& state) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  std::vector<uint32_t> order;
  for (auto _ : state) {
    std::vector<std::string> keys(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keys[i] = tamarind::text::CollationKey(rows[i][kCustomer]);
    order.resize(rows.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    benchmark::DoNotOptimize(order.data());
  }
  std::vector<const std::string*> texts;
  for (uint32_t i : order) texts.push_back(&rows[i][kCustomer]);
  if (!OrderedByText(texts, false)) state.SkipWithError("the rows are not in text order");
}

// --- 5. SizeColumns ------------------------------------------------------------------------------------

void BM_SizeColumns_Control(benchmark::State& state) {
  Control c(RowsOf(Rows(state)));
  for (auto _ : state) c.K().SizeColumns();
  // The customer column fits its widest name (6-pixel characters, 12 pixels of padding, 15 twips a
  // pixel, 380 twips of room besides with the arrows).
  int32_t widest = 0;
  for (const std::string* t : c.Texts(kCustomer)) widest = std::max(widest, tamarind::text::Len(*t));
  if (c.K().ColumnHeaders().Item(kCustomer + 1)->Width() != static_cast<float>((widest * 6 + 12) * 15 + 380))
    state.SkipWithError("the customer column does not fit its texts");
}

// Every text of every column measured with the same text metrics, the widest kept per column.
void BM_SizeColumns_Baseline(benchmark::State& state) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  tamarind::platform::headless::HeadlessToolkit tk;
  const tamarind::platform::StdFont font("Verdana", 8.25f);
  const tamarind::platform::TextMetrics& metrics = tk.Metrics();
  std::array<int32_t, kColumns> widest{};
  for (auto _ : state) {
    widest.fill(0);
    for (const Row& r : rows)
      for (size_t c = 0; c < kColumns; ++c) widest[c] = std::max(widest[c], metrics.TextWidthPx(font, r[c]));
    benchmark::DoNotOptimize(widest.data());
  }
  if (widest[kCustomer] <= 0) state.SkipWithError("nothing was measured");
}

// --- 6. memory of the 1M-row list ---------------------------------------------------------------------

void BM_Memory(benchmark::State& state) {
  const std::vector<Row>& rows = RowsOf(Rows(state));
  for (auto _ : state) {
    const int64_t before = tamarind::bench::ResetPeak();
    auto c = std::make_unique<Control>(rows);
    const int64_t filled = tamarind::bench::LiveBytes() - before;
    c->Click(kQty);
    const int64_t peak = tamarind::bench::PeakBytes() - before;
    if (c->K().Sorted()) state.SkipWithError("the keyed sort did not run");
    state.counters["list_MiB"] = static_cast<double>(filled) / tamarind::bench::kMiB;
    state.counters["peak_MiB"] = static_cast<double>(peak) / tamarind::bench::kMiB;
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
  Register("BM_ClickNumeric/control", BM_ClickNumeric_Control, kMillion, 3);
  Register("BM_ClickNumeric/baseline", BM_ClickNumeric_Baseline, kMillion, 3);
  Register("BM_ClickDate/control", BM_ClickDate_Control, kMillion, 3);
  Register("BM_ClickDate/baseline", BM_ClickDate_Baseline, kMillion, 3);
  Register("BM_ClickPrice/control", BM_ClickPrice_Control, kMillion, 3);
  Register("BM_ClickPrice/baseline", BM_ClickPrice_Baseline, kMillion, 3);
  Register("BM_ClickText/control", BM_ClickText_Control, kMillion, 3);
  Register("BM_ClickTextAfterKeyedSort/control", BM_ClickTextAfterKeyedSort_Control, kMillion, 2);
  Register("BM_ClickText/baseline", BM_ClickText_Baseline, kMillion, 3);
  Register("BM_SizeColumns/control", BM_SizeColumns_Control, 100000, 5);
  Register("BM_SizeColumns/baseline", BM_SizeColumns_Baseline, 100000, 5);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
