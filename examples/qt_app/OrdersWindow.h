#pragma once
// The application's main window: the spice-order list from OrdersWindow.ui, edited in place, with
// a filter above it, the selected order described below it, and Copy all, Export and Print.

#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

#include "platform/listview/ListItem.h"

class QLabel;
class QLineEdit;
class QToolBar;

namespace tamarind {
class KestrelWidget;
struct KestrelSortRequest;
struct KestrelTabRequest;
}  // namespace tamarind

namespace Ui {
class OrdersWindow;
}

class OrdersWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit OrdersWindow(QWidget* parent = nullptr);
  ~OrdersWindow() override;

  // Export writes here without asking (a run without a user); empty: a file dialog asks.
  void setExportPath(const QString& path) { exportPath_ = path; }
  // Where the latest export went; empty before the first.
  QString lastExport() const { return lastExport_; }

  tamarind::KestrelWidget& list() const;
  QLineEdit& filterEdit() const;
  QLabel& detailLabel() const;
  QLabel& selectionLabel() const { return *selectionLabel_; }
  QToolBar& toolBar() const;
  QAction& copyAllAction() const;
  QAction& exportAction() const;
  QAction& printAction() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Editing in place: an editor per column on a click, the value stored when the edit completes.
  void openEditor(int row, int column, bool secondClick, Qt::MouseButton button);
  void storeText(const QString& oldText, const QString& newText);
  void storeDate(const QString& oldDate, const QString& newDate, int column);
  void stepQuantity(int delta);
  void editNotes();
  void chooseSortType(int column, tamarind::KestrelSortRequest* request);
  void nextEditableColumn(tamarind::KestrelTabRequest* request);

  void applyFilter(const QString& text);
  void styleList();
  void showSelection();
  void copyAll();
  void exportList();
  void printList();

  void restoreSettings();
  void saveSettings();
  // Runs a call into the control from one of the window's own slots: an error the control does
  // not report itself is shown in a message box instead of ending the program in Qt's event loop.
  template <class Work>
  bool guarded(const QString& what, Work&& work);

  std::unique_ptr<Ui::OrdersWindow> ui_;
  QLabel* selectionLabel_ = nullptr;
  int selectedCount_ = 0;
  // The cell the open editor edits, kept from the click that opened it: sorting or filtering
  // meanwhile moves the row, not the edit.
  tamarind::platform::ListItemRef editedRow_;
  int editedColumn_ = -1;
  QString exportPath_;
  QString lastExport_;
};
