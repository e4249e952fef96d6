#pragma once
// The platform's property-sheet dialog: a host form with a tab strip showing the control's pages
// (PageSet's order), one at a time, and the buttons OK, Cancel and Apply under them. Apply is
// enabled while a page holds edits; OK applies like Apply and closes once that succeeded; Cancel
// closes without applying. The sheet never closes its window itself: its owner hears Closed and
// hides or releases it (a headless form has no window to hide).

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "designtime/PageSet.h"
#include "platform/Event.h"
#include "platform/HostForm.h"

namespace tamarind::platform {
class CommandButton;
class TabStrip;
}  // namespace tamarind::platform

namespace tamarind::designtime {

class PropertySheet {
 public:
  // Makes the form the sheet is built on: a realisation with real windows gives its own host form.
  using FormMaker = std::function<std::unique_ptr<platform::HostForm>(platform::Toolkit& tk, std::string caption,
                                                                       float widthTwips, float heightTwips)>;
  enum class Outcome { Open, Ok, Cancel };

  // Builds and shows the sheet for the selection (first control first; they must outlive the
  // sheet). Without makeForm the platform's own host form is used.
  PropertySheet(platform::Toolkit& tk, std::vector<Kestrel*> selected, const FormMaker& makeForm = {});
  ~PropertySheet();
  PropertySheet(const PropertySheet&) = delete;
  PropertySheet& operator=(const PropertySheet&) = delete;

  platform::HostForm& Form() { return *form_; }
  platform::TabStrip& Tabs() { return *tabs_; }
  platform::CommandButton& OkButton() { return *ok_; }
  platform::CommandButton& CancelButton() { return *cancel_; }
  platform::CommandButton& ApplyButton() { return *apply_; }
  PageSet& Pages() { return pages_; }
  // The page of tab index (1-based), and the one shown.
  PropertyPage& Page(int32_t index) const;
  PropertyPage& ShownPage() const;

  Outcome Result() const { return outcome_; }
  // OK (after a successful apply) or Cancel closed the sheet.
  platform::Event<> Closed;

 private:
  void ShowTab();
  void Close(Outcome how);

  std::unique_ptr<platform::HostForm> form_;
  PageSet pages_;  // the pages live on the form; the set goes before them
  std::shared_ptr<platform::TabStrip> tabs_;
  std::shared_ptr<platform::CommandButton> ok_, cancel_, apply_;
  Outcome outcome_ = Outcome::Open;
};

}  // namespace tamarind::designtime
