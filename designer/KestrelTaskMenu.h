#pragma once
// The "Property Pages..." entry of KestrelWidget's context menu in Qt Designer (also what a
// double-click on the widget does): opens the control's property sheet on the widget and hands
// every property the sheet changed to Designer through the form window's cursor, so the change is
// one step on Designer's undo stack and is saved in the .ui file.

#include <QAction>
#include <QPointer>
#include <QtDesigner/QDesignerTaskMenuExtension>
#include <QtDesigner/QExtensionFactory>

namespace tamarind {
class KestrelWidget;
}  // namespace tamarind

namespace tamarind::designer {

class KestrelTaskMenu : public QObject, public QDesignerTaskMenuExtension {
  Q_OBJECT
  Q_INTERFACES(QDesignerTaskMenuExtension)

 public:
  KestrelTaskMenu(KestrelWidget* widget, QObject* parent);

  QAction* preferredEditAction() const override;
  QList<QAction*> taskActions() const override;

 private:
  void OpenPropertyPages();
  QPointer<KestrelWidget> widget_;
  QAction* pages_;
};

class KestrelTaskMenuFactory : public QExtensionFactory {
  Q_OBJECT

 public:
  explicit KestrelTaskMenuFactory(QExtensionManager* parent);

 protected:
  QObject* createExtension(QObject* object, const QString& iid, QObject* parent) const override;
};

}  // namespace tamarind::designer
