#include "services/ColumnOrder.h"

#include <cstdint>
#include <vector>

#include "platform/Messages.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "runtime/Text.h"
#include "services/CREG.h"

namespace tamarind::services {

namespace {

constexpr std::string_view kCompany = "TAMARIND";
constexpr std::string_view kAppName = "COLUMNORDERS";

CREG ColumnOrderSettings() {
  CREG reg;
  reg.Company(kCompany);
  reg.AppName(kAppName);
  return reg;
}

// The entries of a stored order, split at "," (one more than the number of separators).
std::vector<std::string_view> SplitEntries(std::string_view text) {
  std::vector<std::string_view> entries;
  for (size_t start = 0;;) {
    const size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) {
      entries.push_back(text.substr(start));
      return entries;
    }
    entries.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
}

}  // namespace

std::string GetColumnOrderText(platform::Toolkit& tk, platform::ListView& list) {
  std::vector<int32_t> order(static_cast<size_t>(list.ColumnHeaders().Count()));
  const platform::LRESULT answered =
      tk.Windows().SendMessage(list.hWnd(), platform::LVM_GETCOLUMNORDERARRAY, order.size(),
                               reinterpret_cast<platform::LPARAM>(order.data()));
  if (answered == 0) return {};
  std::string text;
  for (size_t i = 0; i < order.size(); ++i) {
    if (i > 0) text += ',';
    text += std::to_string(order[i]);
  }
  return text;
}

std::optional<std::vector<int32_t>> ParseColumnOrder(std::string_view text, int32_t columnCount) {
  if (text.empty()) return std::nullopt;
  const std::vector<std::string_view> entries = SplitEntries(text);
  // An order saved for another set of columns does not fit this one.
  if (static_cast<int64_t>(entries.size()) != columnCount) return std::nullopt;
  std::vector<int32_t> order;
  order.reserve(entries.size());
  for (const std::string_view entry : entries) order.push_back(CLng(Variant(text::Trim(entry))));
  return order;
}

bool ApplySavedColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                           std::string_view settingName) {
  const std::string text = ColumnOrderSettings().GetSetting(appName, settingName, "");
  const std::optional<std::vector<int32_t>> parsed = ParseColumnOrder(text, list.ColumnHeaders().Count());
  if (!parsed) return false;
  std::vector<int32_t> order = *parsed;

  platform::WindowManager& windows = tk.Windows();
  const platform::LRESULT taken = windows.SendMessage(list.hWnd(), platform::LVM_SETCOLUMNORDERARRAY, order.size(),
                                                      reinterpret_cast<platform::LPARAM>(order.data()));
  // The list view does not repaint on its own after a new order.
  platform::RECT client;
  windows.GetClientRect(list.hWnd(), client);
  windows.InvalidateRect(list.hWnd(), &client, true);
  return taken != 0;
}

void SaveColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                     std::string_view settingName) {
  if (appName.empty() || settingName.empty()) return;
  // Errors are ignored: a failing save never disturbs the control's shutdown.
  ResumeNext([&] { ColumnOrderSettings().SaveSetting(appName, settingName, GetColumnOrderText(tk, list)); });
}

void RestoreColumnOrder(platform::Toolkit& tk, platform::ListView& list, std::string_view appName,
                        std::string_view settingName) {
  if (appName.empty() || settingName.empty()) return;
  ApplySavedColumnOrder(tk, list, appName, settingName);
}

}  // namespace tamarind::services
