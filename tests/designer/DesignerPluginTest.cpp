// KestrelWidget at design time: the Designer plugin as Designer loads it, and a form holding the
// widget with properties set, read back through QUiLoader at run time and compiled by uic.

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QBuffer>
#include <QtDesigner/QExtensionManager>
#include <QMetaProperty>
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

// Every design-time value, away from its default, saved into a .ui and read back from it.
TEST(DesignerPlugin, TheWholeSavedPropertySetRoundTripsThroughAUiFile) {
  KestrelWidget w;
  w.setObjectName("orders");
  const std::vector<std::pair<const char*, QVariant>> values = {
      {"backColor", QColor(1, 2, 3)}, {"foreColor", QColor(4, 5, 6)},
      {"borderStyle", KestrelWidget::NoBorder}, {"appearance", KestrelWidget::Flat},
      {"arrange", KestrelWidget::ArrangeTop}, {"hideColumnHeaders", true}, {"hideSelection", false},
      {"labelWrap", false}, {"fullRowSelect", true}, {"gridLines", true},
      {"pictureAlignment", KestrelWidget::PictureTile}, {"sorted", true}, {"sortKey", 2},
      {"sortOrder", KestrelWidget::Descending}, {"view", KestrelWidget::ListView}, {"multiSelect", true},
      {"oleDragMode", KestrelWidget::DragAutomatic}, {"oleDropMode", KestrelWidget::DropManual},
      {"checkboxes", true}, {"allowColumnReorder", true}, {"text", "Cumin"}, {"passwordChar", "*"},
      {"rightToLeft", true}, {"dropDownText", "Seeds"}, {"dropWidth", 120}, {"dropLines", 11},
      {"dropDelay", 250}, {"calendarBackColor", QColor(7, 8, 9)}, {"calendarForeColor", QColor(10, 11, 12)},
      {"calendarTitleBackColor", QColor(13, 14, 15)}, {"calendarTitleForeColor", QColor(16, 17, 18)},
      {"calendarTrailingForeColor", QColor(19, 20, 21)}, {"titlebar", true}, {"titleCaption", "Orders"},
      {"titleHeight", 330}, {"titleBackColor", QColor(22, 23, 24)}, {"titleForeColor", QColor(25, 26, 27)},
      {"titleFont", QFont("DejaVu Sans", 11, QFont::Bold)}, {"tabs", true}, {"tabCaptions", "Open|Shipped|All"},
      {"tabStyle", KestrelWidget::TabStyleButtons}, {"tabPlacement", KestrelWidget::TabsAtBottom},
      {"lineEvenColor", QColor(28, 29, 30)}, {"lineOddColor", QColor(31, 32, 33)}, {"lineAltColor", true},
      {"smartColumnSort", true}, {"autoSort", true}, {"sortArrows", true}, {"sortArrowSize", 9},
      {"playSounds", true}, {"colOrderAppName", "Spices"}, {"colOrderSettingName", "Orders"},
      {"printingReportHeader", "Orders of the week"}};
  for (const auto& value : values) ASSERT_TRUE(w.setProperty(value.first, value.second)) << value.first;

  // The form as Designer writes one: each property in the element of its type.
  QString xml = "<ui version=\"4.0\"><widget class=\"tamarind::KestrelWidget\" name=\"orders\">";
  const QMetaObject& meta = KestrelWidget::staticMetaObject;
  for (const auto& value : values) {
    const QMetaProperty p = meta.property(meta.indexOfProperty(value.first));
    const QVariant v = p.read(&w);
    QString element;
    if (p.isEnumType()) {
      element = QString("<enum>tamarind::KestrelWidget::%1</enum>").arg(p.enumerator().valueToKey(v.toInt()));
    } else if (v.userType() == QMetaType::Bool) {
      element = QString("<bool>%1</bool>").arg(v.toBool() ? "true" : "false");
    } else if (v.userType() == QMetaType::Int) {
      element = QString("<number>%1</number>").arg(v.toInt());
    } else if (v.userType() == QMetaType::QString) {
      element = QString("<string>%1</string>").arg(v.toString().toHtmlEscaped());
    } else if (v.userType() == QMetaType::QColor) {
      const QColor c = v.value<QColor>();
      element = QString("<color><red>%1</red><green>%2</green><blue>%3</blue></color>").arg(c.red()).arg(c.green()).arg(c.blue());
    } else if (v.userType() == QMetaType::QFont) {
      const QFont f = v.value<QFont>();
      element = QString("<font><family>%1</family><pointsize>%2</pointsize><bold>%3</bold></font>")
                    .arg(f.family()).arg(f.pointSize()).arg(f.bold() ? "true" : "false");
    }
    ASSERT_FALSE(element.isEmpty()) << value.first;
    xml += QString("<property name=\"%1\">%2</property>").arg(value.first, element);
  }
  xml += "</widget><customwidgets><customwidget><class>tamarind::KestrelWidget</class><extends>QWidget</extends>"
         "<header>widget/KestrelWidget.h</header></customwidget></customwidgets></ui>";
  QByteArray bytes = xml.toUtf8();
  QBuffer ui(&bytes);
  ui.open(QIODevice::ReadOnly);
  KestrelLoader loader;
  std::unique_ptr<QWidget> read(loader.load(&ui));
  ASSERT_NE(read, nullptr) << loader.errorString().toStdString();
  auto* back = qobject_cast<KestrelWidget*>(read.get());
  ASSERT_NE(back, nullptr);
  // Enumerations by value, fonts by what they name; the control must have taken each value too.
  auto same = [&](const char* name, const QVariant& a, const QVariant& b) {
    const QMetaProperty p = meta.property(meta.indexOfProperty(name));
    if (p.isEnumType()) return a.toInt() == b.toInt();
    if (p.userType() == QMetaType::QFont) return a.value<QFont>().toString() == b.value<QFont>().toString();
    return a == b;
  };
  for (const auto& value : values) {
    EXPECT_TRUE(same(value.first, w.property(value.first), value.second)) << value.first << " was not taken";
    EXPECT_TRUE(same(value.first, back->property(value.first), w.property(value.first))) << value.first;
  }
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
