#include "OrderBook.h"

#include "widget/KestrelWidget.h"

namespace orders {

const QList<Order>& SampleOrders() {
  static const QList<Order> rows = {
      {"Ajwain", 6, 100, "Seeds", {2026, 11, 3}, "Carom, whole"},
      {"Allspice", 4, 250, "Berries", {2026, 11, 5}, ""},
      {"Anise", 12, 500, "Seeds", {2026, 11, 2}, "Whole, not ground"},
      {"Asafoetida", 2, 50, "Resins", {2026, 12, 14}, "Sealed tins only"},
      {"Bay leaves", 4, 100, "Leaves", {2026, 11, 9}, ""},
      {"Black cardamom", 3, 250, "Pods", {2026, 12, 2}, "Smoked"},
      {"Black pepper", 20, 1000, "Berries", {2026, 10, 30}, "Tellicherry"},
      {"Caraway", 5, 250, "Seeds", {2026, 11, 18}, ""},
      {"Cardamom", 7, 100, "Pods", {2026, 11, 15}, "Green"},
      {"Cassia", 9, 500, "Bark", {2026, 12, 7}, ""},
      {"Celery seed", 2, 100, "Seeds", {2026, 11, 27}, ""},
      {"Chervil", 1, 50, "Leaves", {2026, 11, 11}, "Fresh only"},
      {"Cinnamon", 15, 1000, "Bark", {2026, 10, 28}, "Ceylon"},
      {"Cloves", 8, 250, "Flowers", {2026, 11, 22}, ""},
      {"Coriander", 11, 500, "Seeds", {2026, 12, 9}, ""},
      {"Cumin", 14, 1000, "Seeds", {2026, 11, 4}, "Bulk sack"},
      {"Dill", 3, 50, "Leaves", {2026, 11, 21}, "Fresh only"},
      {"Elderflower", 2, 100, "Flowers", {2026, 12, 1}, ""},
      {"Fennel", 6, 250, "Seeds", {2026, 11, 13}, ""},
      {"Fenugreek", 100, 1000, "Seeds", {2026, 10, 28}, "Bulk sack"},
      {"Galangal", 10, 500, "Roots", {2026, 12, 12}, ""},
      {"Ginger", 18, 1000, "Roots", {2026, 11, 6}, "Dried slices"},
      {"Grains of paradise", 1, 50, "Seeds", {2026, 12, 19}, ""},
      {"Juniper", 4, 250, "Berries", {2026, 11, 29}, ""},
      {"Lemongrass", 5, 100, "Leaves", {2026, 12, 4}, "Cut"},
      {"Long pepper", 2, 100, "Berries", {2026, 12, 16}, ""},
      {"Mace", 3, 50, "Flowers", {2026, 11, 24}, "Blades"},
      {"Mustard seed", 13, 1000, "Seeds", {2026, 11, 8}, "Brown"},
      {"Nigella", 4, 250, "Seeds", {2026, 12, 3}, ""},
      {"Nutmeg", 6, 500, "Seeds", {2026, 11, 17}, "Whole"},
      {"Paprika", 16, 1000, "Pods", {2026, 11, 1}, "Sweet, smoked"},
      {"Saffron", 1, 50, "Flowers", {2026, 12, 20}, "Threads"},
      {"Star anise", 5, 250, "Pods", {2026, 11, 26}, ""},
      {"Sumac", 3, 500, "Berries", {2026, 12, 10}, ""},
      {"Turmeric", 12, 1000, "Roots", {2026, 11, 12}, "Ground"},
      {"White pepper", 7, 500, "Berries", {2026, 12, 6}, ""},
  };
  return rows;
}

const QStringList& Categories() {
  static const QStringList categories = {"Bark", "Berries", "Flowers", "Leaves", "Pods", "Resins", "Roots", "Seeds"};
  return categories;
}

QString DateText(const QDate& date) { return date.toString(QStringLiteral("M/d/yyyy")); }

QDate DateOf(const QString& text) {
  return QDate::fromString(text.section(QLatin1Char(' '), 0, 0), QStringLiteral("M/d/yyyy"));
}

QString PackText(int grams) { return QString::number(grams) + QStringLiteral(" g"); }

int GramsOf(const QString& text) {
  if (!text.endsWith(QStringLiteral(" g"))) return -1;
  bool ok = false;
  const int grams = text.chopped(2).toInt(&ok);
  return ok ? grams : -1;
}

void FillList(tamarind::KestrelWidget& list) {
  tamarind::Kestrel& k = list.kestrel();
  k.ListItems().Clear();
  k.ColumnHeaders().Clear();
  // Widths in twips, the control's unit; amounts line up on the right.
  using Header = tamarind::platform::ColumnHeader;
  const struct {
    const char* caption;
    float width;
    int16_t alignment;
  } columns[] = {{"Name", 2200, Header::lvwColumnLeft},     {"Qty", 800, Header::lvwColumnRight},
                 {"Pack", 1000, Header::lvwColumnRight},    {"Category", 1400, Header::lvwColumnLeft},
                 {"Due", 1400, Header::lvwColumnLeft},      {"Notes", 2600, Header::lvwColumnLeft}};
  for (const auto& c : columns) k.ColumnHeaders().Add(0, {}, c.caption, c.width, c.alignment);
  int key = 0;
  for (const Order& o : SampleOrders()) {
    auto item = k.ListItems().Add(0, "order" + std::to_string(++key), o.name.toStdString());
    item->SubItems(Qty, std::to_string(o.qty));
    item->SubItems(Pack, PackText(o.packGrams).toStdString());
    item->SubItems(Category, o.category.toStdString());
    item->SubItems(Due, DateText(o.due).toStdString());
    item->SubItems(Notes, o.notes.toStdString());
  }
  k.Clear();
  for (const QString& c : Categories()) k.AddItem(c.toStdString());
}

}  // namespace orders
