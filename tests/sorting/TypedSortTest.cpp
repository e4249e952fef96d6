// The keyed sort orders rows by their keys directly instead of calling the compare routine for
// every comparison. These cases hold it to the order the routine gives through LVM_SORTITEMS, on
// random and awkward columns: many equal keys, the extremes of the doubles, both zeros, empty and
// unconvertible cells, sparse item parameters and both directions.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <limits>
#include <random>

#include "SortingFixture.h"
#include "platform/Messages.h"
#include "platform/listview/NumberSort.h"
#include "runtime/Error.h"
#include "sorting/KeyedSort.h"

namespace tamarind::testing {
namespace {

using platform::LPARAM;
using platform::NumberSortOrder;

// The order a stable comparison sort gives by the sign of the keys' difference.
std::vector<uint32_t> ReferenceOrder(const std::vector<double>& keys, bool descending) {
  std::vector<uint32_t> order(keys.size());
  for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
    const int sign = keys[a] < keys[b] ? -1 : keys[a] > keys[b] ? 1 : 0;
    return (descending ? -sign : sign) < 0;
  });
  return order;
}

TEST(NumberSortOrder, GivesTheStableComparisonOrderOnAwkwardKeys) {
  const double kAwkward[] = {0.0,      -0.0,     1.0,          -1.0,          DBL_MAX,     -DBL_MAX,
                             DBL_MIN,  -DBL_MIN, DBL_TRUE_MIN, -DBL_TRUE_MIN, 1e15 + 0.5,  -1e-300,
                             0.25,     1e308,    std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(),      2.0000000000000004, 2.0};
  std::mt19937_64 random(20261208);
  // Sizes on both sides of the point where the radix sort takes over.
  for (size_t n : {0u, 1u, 2u, 7u, 511u, 512u, 513u, 5000u, 70000u}) {
    // Keys drawn from the awkward ones (many ties), from a few small integers (runs of equal
    // keys), from one value with a few others among it (a column of mostly zeros), and from the
    // whole range of bit patterns; and one value everywhere but in one row.
    for (int draw = 0; draw < 5; ++draw) {
      std::vector<double> keys(n);
      for (double& key : keys) {
        if (draw == 0) key = kAwkward[random() % std::size(kAwkward)];
        else if (draw == 1) key = static_cast<double>(static_cast<int>(random() % 7) - 3);
        else if (draw == 2) key = random() % 10 == 0 ? kAwkward[random() % std::size(kAwkward)] : 0.0;
        else if (draw == 3) {
          do key = std::bit_cast<double>(random());
          while (std::isnan(key));
        }
      }
      if (draw == 4) {
        std::fill(keys.begin(), keys.end(), 1.0);
        if (n > 0) keys[random() % n] = 3.0;
      }
      for (bool descending : {false, true})
        ASSERT_EQ(NumberSortOrder(keys, descending), ReferenceOrder(keys, descending))
            << n << " keys, draw " << draw << (descending ? ", descending" : ", ascending");
    }
  }
}

// --- the control's keyed sort against the routine --------------------------------------------------

int32_t CompareByParam(LPARAM a, LPARAM b, LPARAM) { return (a > b) - (a < b); }

class TypedSort : public SortingTest {
 protected:
  Texts RowIds() { return Column(0); }
  // Back to the order in which the rows were added.
  void Restore() {
    tk.Windows().SendMessage(lv.hWnd(), platform::LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareByParam));
  }
  // The rows as the keyed sort leaves them, and as the compare routine orders them by the same
  // keys; both from the order of adding. An error of either is kept as its number.
  std::pair<Texts, Texts> BothOrders(int32_t sub, int32_t kind, int32_t dir, const std::string& omit) {
    Restore();
    Texts typed, routine;
    try {
      sorting::SortListViewByKeys(tk, lv, sub, kind, dir, omit);
      typed = RowIds();
    } catch (const Error& e) {
      typed = {"error " + std::to_string(e.Number())};
    }
    Restore();
    try {
      sorting::BuildSortKeys(tk, lv, sub, kind, omit);
      tk.Windows().SendMessage(lv.hWnd(), platform::LVM_SORTITEMS, static_cast<platform::WPARAM>(dir),
                               reinterpret_cast<LPARAM>(&sorting::CompareSortKeys));
      routine = RowIds();
    } catch (const Error& e) {
      routine = {"error " + std::to_string(e.Number())};
    }
    return {typed, routine};
  }
};

TEST_F(TypedSort, RandomColumnsSortAsTheCompareRoutineSortsThem) {
  std::mt19937 random(7);
  const char* const kNumbers[] = {"0", "-0", "1", "1.0", "-1", "", "1E+300", "-1E+300", "0.1", "1,000", "$5", "5",
                                  "  7", "007", "1.5e-300", "123456789012345", "-0.000001", "2.5", "(3)"};
  const char* const kDates[] = {"1/1/2000", "12/31/1999", "", "2/29/2024", "not a date", "1/1/100", "12/31/9999",
                                "3/4/2026 10:30:00 AM", "3/4/2026", "10:30", "13/13/2026"};
  Fill({"Row", "Numbers", "Dates", "Prices", "Equal"}, {});
  // Rows added after many others were removed, so some item parameters lie far above the count.
  for (int i = 0; i < 3000; ++i) AddRow({"gone"});
  for (int i = 0; i < 2990; ++i) k.ListItems().Remove(1);
  for (int i = 0; i < 1500; ++i) {
    const std::string price = "$" + std::to_string(random() % 100) + (random() % 2 ? ".50" : "");
    AddRow({"r" + std::to_string(i), kNumbers[random() % std::size(kNumbers)], kDates[random() % std::size(kDates)],
            price, std::to_string(random() % 3)});
  }
  for (int32_t dir : {0, 1}) {
    // Numbers: some cells are no number (the error ends both the same way), so a column of
    // convertible ones is sorted as well.
    auto [typed, routine] = BothOrders(1, sorting::skNUMERIC, dir, "");
    EXPECT_EQ(typed, routine);
    std::tie(typed, routine) = BothOrders(2, sorting::skDATE, dir, "");
    EXPECT_EQ(typed, routine);
    std::tie(typed, routine) = BothOrders(3, sorting::skNUMERIC, dir, "$");
    EXPECT_EQ(typed, routine);
    EXPECT_NE(typed.front(), "error 13");
    std::tie(typed, routine) = BothOrders(4, sorting::skNUMERIC, dir, "");
    EXPECT_EQ(typed, routine);
  }
}

// A cell is read as the list view hands it out through LVM_GETITEMA: at most 255 characters, up
// to the first NUL.
TEST_F(TypedSort, ACellIsReadAsTheListViewHandsItOut) {
  const std::string huge = "1" + std::string(300, '0');          // 1E+300 whole, 1E+254 as read
  const std::string large = "5" + std::string(254, '0');         // 5E+254, 255 characters
  Fill({"Row", "Qty"}, {{"huge", huge}, {"large", large}, {"nul", std::string("30\0" "9", 4)}, {"four", "4"}});
  sorting::SortListViewByKeys(tk, lv, 1, sorting::skNUMERIC, 0, "");
  EXPECT_EQ(Column(0), (Texts{"four", "nul", "huge", "large"}));
}

// A cell that is no number raises the conversion's error before the rows move.
TEST_F(TypedSort, AnUnconvertibleCellLeavesTheOrderOfAdding) {
  Fill({"Row", "Qty"}, {{"a", "3"}, {"b", "1"}, {"c", "x"}, {"d", "2"}});
  EXPECT_THROW(sorting::SortListViewByKeys(tk, lv, 1, sorting::skNUMERIC, 0, ""), Error);
  EXPECT_EQ(Column(0), (Texts{"a", "b", "c", "d"}));
  k.ListItems().Item(3)->SubItems(1, "-7");
  sorting::SortListViewByKeys(tk, lv, 1, sorting::skNUMERIC, 0, "");
  EXPECT_EQ(Column(0), (Texts{"c", "b", "d", "a"}));
}

}  // namespace
}  // namespace tamarind::testing
