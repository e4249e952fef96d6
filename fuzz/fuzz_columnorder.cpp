// A stored column order read back into a list. The first byte chooses the number of columns (1 to
// 16), the rest is the stored text. An entry that is not a number raises the conversion's error;
// an order of another length is ignored; the list view takes an order only when it is a
// permutation of its columns, and then gives the same text back.

#include <algorithm>
#include <numeric>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "platform/headless/HostForm.h"
#include "platform/registry/Registry.h"
#include "runtime/Error.h"
#include "services/ColumnOrder.h"

using namespace tamarind;
using namespace tamarind::platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 4096) return 0;
  const int32_t columns = data[0] % 16 + 1;
  const std::string_view text = fuzz::AsText(data + 1, size - 1);

  std::optional<std::vector<int32_t>> order;
  try {
    order = services::ParseColumnOrder(text, columns);
  } catch (const Error& e) {
    fuzz::Require(e.Number() == err::TypeMismatch || e.Number() == err::Overflow, "a bad entry raises 13 or 6");
    return 0;
  }
  if (!order) return 0;
  fuzz::Require(static_cast<int32_t>(order->size()) == columns, "an order has one entry per column");

  headless::HeadlessToolkit tk;
  headless::HostForm form(tk);
  auto list = tk.CreateListView(form);
  for (int32_t c = 0; c < columns; ++c) list->ColumnHeaders().Add(0, {}, "C" + std::to_string(c));
  const LRESULT taken = tk.Windows().SendMessage(list->hWnd(), LVM_SETCOLUMNORDERARRAY, order->size(),
                                                 reinterpret_cast<LPARAM>(order->data()));
  std::vector<int32_t> sorted = *order;
  std::sort(sorted.begin(), sorted.end());
  std::vector<int32_t> identity(sorted.size());
  std::iota(identity.begin(), identity.end(), 0);
  fuzz::Require((taken != 0) == (sorted == identity), "only a permutation of the columns is taken");
  if (taken) {
    fuzz::Require(list->ColumnOrder() == *order, "the list shows the order it took");
    const std::string back = services::GetColumnOrderText(tk, *list);
    fuzz::Require(services::ParseColumnOrder(back, columns) == order, "the order's text reads back the same");
  }
  return 0;
}
