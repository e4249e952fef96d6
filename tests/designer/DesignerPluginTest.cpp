// KestrelWidget at design time: the Designer plugin as Designer loads it, and a form holding the
// widget with properties set, read back through QUiLoader at run time and compiled by uic.

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QtDesigner/QExtensionManager>
#include <QPluginLoader>
#include <QUiLoader>
#include <QTest>
#include <QXmlStreamReader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

#include <memory>

#include "designer/KestrelTaskMenu.h"
#include "propertysheet/PropertySheetDialog.h"
#include "ui_OrdersForm.h"
#include "widget/KestrelWidget.h"

namespace tamarind {
namespace {

const QString kPluginFolder = QStringLiteral(TAMARIND_DESIGNER_PLUGIN_DIR);
const QString kForm = QStringLiteral(TAMARIND_TEST_FORM);

// The values the form sets, as the widget's properties report them.
void ExpectTheFormsValues(const QObject& w) {
  EXPECT_EQ(w.property("gridLines").toBool(), true);
  EXPECT_EQ(w.property("fullRowSelect").toBool(), true);
  EXPECT_EQ(w.property("titlebar").toBool(), true);
  EXPECT_EQ(w.property("titleCaption").toString(), "Spice orders");
  EXPECT_EQ(w.property("titleHeight").toInt(), 300);
  EXPECT_EQ(w.property("tabPlacement").toInt(), static_cast<int>(KestrelWidget::TabsAtBottom));
  EXPECT_EQ(w.property("lineOddColor").value<QColor>(), QColor(16, 32, 48));
  EXPECT_EQ(w.property("dropLines").toInt(), 12);
  EXPECT_EQ(w.property("sortArrowSize").toInt(), 9);
  EXPECT_EQ(w.property("printingReportHeader").toString(), "Orders of the week");
}

TEST(DesignerPlugin, LoadsFromTheBuildTreeAndMakesTheWidgetDesignerShows) {
  QPluginLoader loader(kPluginFolder + "/libtamarind_designer.so");
  ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
  auto* plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(plugin->name(), "tamarind::KestrelWidget");
  EXPECT_EQ(plugin->group(), "Tamarind");
  EXPECT_EQ(plugin->includeFile(), "widget/KestrelWidget.h");
  EXPECT_FALSE(plugin->icon().isNull());
  EXPECT_FALSE(plugin->toolTip().isEmpty());

  // The XML a widget dropped from the box starts as: well formed, naming the class and its header.
  QXmlStreamReader xml(plugin->domXml());
  QStringList classes, headers;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"widget") classes << xml.attributes().value("class").toString();
    if (xml.name() == u"header") headers << xml.readElementText();
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_EQ(classes, QStringList{"tamarind::KestrelWidget"});
  EXPECT_EQ(headers, QStringList{"widget/KestrelWidget.h"});

  std::unique_ptr<QWidget> made(plugin->createWidget(nullptr));
  ASSERT_NE(made, nullptr);
  EXPECT_STREQ(made->metaObject()->className(), "tamarind::KestrelWidget");
  EXPECT_TRUE(made->setProperty("gridLines", true));
  EXPECT_TRUE(made->property("gridLines").toBool());
}

QWidget* Load(QUiLoader& loader) {
  QFile file(kForm);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  return loader.load(&file);
}

TEST(DesignerPlugin, AFormLoadedAtRunTimeThroughThePluginCarriesEveryProperty) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(kPluginFolder);
  ASSERT_TRUE(loader.availableWidgets().contains("tamarind::KestrelWidget"));
  std::unique_ptr<QWidget> form(Load(loader));
  ASSERT_NE(form, nullptr) << loader.errorString().toStdString();
  // The plugin holds a copy of the library of its own: its widget is reached by name.
  QWidget* orders = form->findChild<QWidget*>("orders");
  ASSERT_NE(orders, nullptr);
  EXPECT_STREQ(orders->metaObject()->className(), "tamarind::KestrelWidget");
  ExpectTheFormsValues(*orders);
}

// A program that loads forms at run time and wants the control itself makes the widget with its
// own copy of the library.
class KestrelLoader : public QUiLoader {
 public:
  QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
    if (className != QLatin1String("tamarind::KestrelWidget")) return QUiLoader::createWidget(className, parent, name);
    auto* w = new KestrelWidget(parent);
    w->setObjectName(name);
    return w;
  }
};

TEST(DesignerPlugin, TheSameFormThroughUicOrAnOwnLoaderGivesTheControlTheSameValues) {
  QWidget compiled;
  Ui::OrdersForm ui;
  ui.setupUi(&compiled);
  ExpectTheFormsValues(*ui.orders);
  EXPECT_EQ(ui.orders->kestrel().TitleCaption(), "Spice orders");
  EXPECT_EQ(ui.orders->kestrel().LineOddColor(), 0x302010u);

  KestrelLoader loader;
  std::unique_ptr<QWidget> form(Load(loader));
  ASSERT_NE(form, nullptr);
  auto* orders = form->findChild<KestrelWidget*>("orders");
  ASSERT_NE(orders, nullptr);
  ExpectTheFormsValues(*orders);
  EXPECT_EQ(orders->kestrel().DropLines(), 12);
  EXPECT_EQ(orders->kestrel().TabPlacement(), tplaceBOTTOM);
}

TEST(DesignerPlugin, PropertyPagesFromTheContextMenuOrADoubleClickEditTheWidget) {
  QExtensionManager manager;
  designer::KestrelTaskMenuFactory factory(&manager);
  manager.registerExtensions(&factory, Q_TYPEID(QDesignerTaskMenuExtension));
  KestrelWidget w;
  auto* menu = qt_extension<QDesignerTaskMenuExtension*>(&manager, &w);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->taskActions().size(), 1);
  EXPECT_EQ(menu->taskActions().front()->text(), "Property Pages...");
  EXPECT_EQ(menu->preferredEditAction(), menu->taskActions().front());  // what a double-click does

  // The sheet opens modal on the widget; the designer ticks GridLines on the first page and says OK.
  bool sheetSeen = false;
  QTimer::singleShot(0, [&] {
    auto* sheet = qobject_cast<PropertySheetDialog*>(QApplication::activeModalWidget());
    if (!sheet) return;
    sheetSeen = true;
    for (QCheckBox* box : sheet->findChildren<QCheckBox*>())
      if (box->text() == "GridLines") QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(4, box->height() / 2));
    sheet->buttons()->button(QDialogButtonBox::Ok)->click();
  });
  menu->preferredEditAction()->trigger();
  EXPECT_TRUE(sheetSeen);
  EXPECT_TRUE(w.kestrel().GridLines());
  manager.unregisterExtensions(&factory, Q_TYPEID(QDesignerTaskMenuExtension));
}

}  // namespace
}  // namespace tamarind
