#pragma once
// The spice orders the application lists: the columns, the rows it starts with, the entries of
// the category drop-down, and how the list's texts read as values.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace tamarind {
class KestrelWidget;
}

namespace orders {

// Model columns (creation order), whatever order the user drags the headers into.
enum Column { Name = 0, Qty = 1, Pack = 2, Category = 3, Due = 4, Notes = 5, ColumnCount = 6 };

struct Order {
  QString name;
  int qty = 0;
  int packGrams = 0;
  QString category;
  QDate due;
  QString notes;
};

const QList<Order>& SampleOrders();
const QStringList& Categories();

// The list's texts: the control shows dates the en-US way ("12/24/2026") and packs as "250 g".
QString DateText(const QDate& date);
QDate DateOf(const QString& text);  // invalid when the text is no date; a time after it is ignored
QString PackText(int grams);
int GramsOf(const QString& text);   // -1 when the text is no pack size

// Replaces the list's columns and rows with the sample orders and fills the category drop-down.
void FillList(tamarind::KestrelWidget& list);

}  // namespace orders
