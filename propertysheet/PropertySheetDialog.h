#pragma once
// The control's property pages as a Qt dialog, for Qt hosts and Qt Designer: one tab per page, each
// page sited on a host form embedded in its tab, and Ok, Cancel and Apply under the tabs. The rules
// are the platform sheet's (designtime::PageSet): Apply is enabled while a page holds edits and
// applies every changed page in order, reporting a property's error in a message box; Ok applies
// and closes once that succeeded; Cancel (or Esc) closes without applying.
//
//   tamarind::PropertySheetDialog sheet({&widget->kestrel()}, parent);
//   sheet.exec();

#include <QDialog>

#include <memory>
#include <vector>

#include "control/Kestrel.h"
#include "designtime/PageSet.h"

class QDialogButtonBox;
class QTabWidget;

namespace tamarind::platform::qt {
class QtHostForm;
class QtToolkit;
}  // namespace tamarind::platform::qt

namespace tamarind {

class PropertySheetDialog : public QDialog {
  Q_OBJECT

 public:
  // The pages run on the Qt desktop of the first selected control, or on a desktop of their own
  // when it has none. The controls must outlive the dialog.
  explicit PropertySheetDialog(std::vector<Kestrel*> selected, QWidget* parent = nullptr);
  ~PropertySheetDialog() override;

  QTabWidget* tabs() const { return tabs_; }
  QDialogButtonBox* buttons() const { return buttons_; }
  designtime::PageSet& pages() { return *pages_; }
  platform::qt::QtToolkit& toolkit() const { return tk_; }

  // Applies every changed page; false when a property refused its value (reported already).
  bool apply();

 private:
  void updateApply();

  std::unique_ptr<platform::qt::QtToolkit> ownToolkit_;
  platform::qt::QtToolkit& tk_;
  QTabWidget* tabs_ = nullptr;
  QDialogButtonBox* buttons_ = nullptr;
  std::vector<std::unique_ptr<platform::qt::QtHostForm>> forms_;  // each holds its page
  std::unique_ptr<designtime::PageSet> pages_;                    // goes before the pages
};

}  // namespace tamarind
