#include "designer/KestrelDesignerPlugin.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>

#include "designer/KestrelTaskMenu.h"
#include "widget/KestrelWidget.h"

namespace tamarind::designer {

namespace {

// The widget box icon, drawn rather than shipped: a header row over three rows, one with a cell
// open for editing.
QIcon KestrelIcon() {
  QIcon icon;
  for (const int size : {16, 22, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    const double u = size / 16.0;
    p.scale(u, u);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(QColor(0xf4, 0xf4, 0xf4));
    p.drawRect(QRectF(0.5, 1.5, 15, 13));
    p.fillRect(QRectF(1, 2, 14, 3), QColor(0xc8, 0xd4, 0xe4));
    p.drawLine(QPointF(6.5, 2), QPointF(6.5, 14));
    for (const double y : {8.5, 11.5}) p.drawLine(QPointF(1, y), QPointF(15, y));
    p.setBrush(Qt::white);
    p.setPen(QColor(0x20, 0x60, 0xc0));
    p.drawRect(QRectF(6.5, 8.5, 8, 3));
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace

KestrelDesignerPlugin::KestrelDesignerPlugin(QObject* parent) : QObject(parent) {}

QString KestrelDesignerPlugin::name() const { return QStringLiteral("tamarind::KestrelWidget"); }
QString KestrelDesignerPlugin::group() const { return QStringLiteral("Tamarind"); }
QString KestrelDesignerPlugin::toolTip() const {
  return QStringLiteral("Kestrel: a report list whose cells are edited in place");
}
QString KestrelDesignerPlugin::whatsThis() const {
  return QStringLiteral(
      "A report-style list with column headers whose cells open a text box, spin box, drop-down, "
      "date picker or \"...\" button over the clicked cell; header sorting, filtering, copy, "
      "export and printing.");
}
QString KestrelDesignerPlugin::includeFile() const { return QStringLiteral("widget/KestrelWidget.h"); }
QIcon KestrelDesignerPlugin::icon() const { return KestrelIcon(); }
bool KestrelDesignerPlugin::isContainer() const { return false; }

QWidget* KestrelDesignerPlugin::createWidget(QWidget* parent) { return new KestrelWidget(parent); }

bool KestrelDesignerPlugin::isInitialized() const { return initialized_; }
// The widget's context menu gets "Property Pages..." (a double-click opens them too).
void KestrelDesignerPlugin::initialize(QDesignerFormEditorInterface* core) {
  if (initialized_) return;
  if (QExtensionManager* manager = core ? core->extensionManager() : nullptr)
    manager->registerExtensions(new KestrelTaskMenuFactory(manager), Q_TYPEID(QDesignerTaskMenuExtension));
  initialized_ = true;
}

// What a widget dropped from the box starts as: a list of a useful size with grid lines and
// whole-row selection, as most data-entry lists are set up.
QString KestrelDesignerPlugin::domXml() const {
  return QStringLiteral(
      "<ui language=\"c++\">\n"
      " <widget class=\"tamarind::KestrelWidget\" name=\"kestrelWidget\">\n"
      "  <property name=\"geometry\"><rect><x>0</x><y>0</y><width>400</width><height>240</height></rect></property>\n"
      "  <property name=\"gridLines\"><bool>true</bool></property>\n"
      "  <property name=\"fullRowSelect\"><bool>true</bool></property>\n"
      "  <property name=\"toolTip\"><string/></property>\n"
      " </widget>\n"
      " <customwidgets>\n"
      "  <customwidget>\n"
      "   <class>tamarind::KestrelWidget</class>\n"
      "   <extends>QWidget</extends>\n"
      "   <header>widget/KestrelWidget.h</header>\n"
      "  </customwidget>\n"
      " </customwidgets>\n"
      "</ui>\n");
}

}  // namespace tamarind::designer
