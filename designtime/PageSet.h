#pragma once
// The rules of a property sheet, whatever shows it: the control's pages in their order, the
// selection they all edit, whether there is anything to apply, and applying. Both sheets (the
// platform's dialog, PropertySheet, and Qt's, PropertySheetDialog) keep their pages here.
//
// Apply applies every changed page in order. A property that refuses its value stops it there: the
// error is reported in a message box (its number and description, titled with the control's type
// name, or "Property Pages" without a selection), the pages before stay applied and the failed one
// stays changed, so there is still something to apply.

#include <memory>
#include <vector>

#include "designtime/PropertyPage.h"
#include "platform/Event.h"

namespace tamarind::designtime {

// The control's pages, in the order a sheet shows them: Listview, Titlebar, StandardColor,
// StandardFont, About.
std::vector<std::unique_ptr<PropertyPage>> MakeControlPages(platform::Toolkit& tk);

class PageSet {
 public:
  // Errors are reported on tk.
  explicit PageSet(platform::Toolkit& tk) : tk_(tk) {}
  PageSet(const PageSet&) = delete;
  PageSet& operator=(const PageSet&) = delete;

  // Adds the next page (sited by the sheet, alive as long as the set).
  void Add(PropertyPage& page);
  const std::vector<PropertyPage*>& Pages() const { return pages_; }

  // Every page fills itself from the selection.
  void Select(const std::vector<Kestrel*>& controls);
  const std::vector<Kestrel*>& Selection() const { return selection_; }

  // Whether any page holds edits not yet applied: the sheet's Apply is enabled while it is True.
  bool AnyChanged() const;
  // True when every changed page applied; false after an error, which has been reported.
  bool Apply();

  // AnyChanged may have changed (a page became changed, or pages were applied or refilled).
  platform::Event<> StateChanged;

 private:
  platform::Toolkit& tk_;
  std::vector<PropertyPage*> pages_;
  std::vector<Kestrel*> selection_;
};

}  // namespace tamarind::designtime
