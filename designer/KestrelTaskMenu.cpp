#include "designer/KestrelTaskMenu.h"

#include <QMetaProperty>
#include <QVariant>
#include <QtDesigner/QDesignerFormWindowCursorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>

#include <vector>

#include "propertysheet/PropertySheetDialog.h"
#include "widget/KestrelWidget.h"

namespace tamarind::designer {

namespace {

// The widget's own Q_PROPERTYs (not QWidget's) with their values.
std::vector<std::pair<QByteArray, QVariant>> Snapshot(const QObject& w) {
  std::vector<std::pair<QByteArray, QVariant>> values;
  const QMetaObject& meta = KestrelWidget::staticMetaObject;
  for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
    const QMetaProperty p = meta.property(i);
    values.emplace_back(p.name(), p.read(&w));
  }
  return values;
}

}  // namespace

KestrelTaskMenu::KestrelTaskMenu(KestrelWidget* widget, QObject* parent)
    : QObject(parent), widget_(widget), pages_(new QAction(tr("Property Pages..."), this)) {
  connect(pages_, &QAction::triggered, this, &KestrelTaskMenu::OpenPropertyPages);
}

QAction* KestrelTaskMenu::preferredEditAction() const { return pages_; }
QList<QAction*> KestrelTaskMenu::taskActions() const { return {pages_}; }

void KestrelTaskMenu::OpenPropertyPages() {
  if (!widget_) return;
  const auto before = Snapshot(*widget_);
  PropertySheetDialog sheet({&widget_->kestrel()}, widget_->window());
  sheet.exec();
  if (!widget_) return;
  const auto after = Snapshot(*widget_);
  QDesignerFormWindowInterface* form = QDesignerFormWindowInterface::findFormWindow(widget_);
  if (!form) return;
  // The pages wrote to the control itself; each change goes back through the cursor as an undoable
  // command from the old value to the new one, which also marks the property changed for the .ui.
  form->beginCommand(tr("Property Pages"));
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i].second == after[i].second) continue;
    widget_->setProperty(before[i].first.constData(), before[i].second);
    form->cursor()->setWidgetProperty(widget_, QString::fromLatin1(before[i].first), after[i].second);
  }
  form->endCommand();
}

KestrelTaskMenuFactory::KestrelTaskMenuFactory(QExtensionManager* parent) : QExtensionFactory(parent) {}

QObject* KestrelTaskMenuFactory::createExtension(QObject* object, const QString& iid, QObject* parent) const {
  if (iid != Q_TYPEID(QDesignerTaskMenuExtension)) return nullptr;
  if (auto* widget = qobject_cast<KestrelWidget*>(object)) return new KestrelTaskMenu(widget, parent);
  return nullptr;
}

}  // namespace tamarind::designer
