// The list on real widgets at a million rows, beside a QTreeWidget holding the same rows in the
// same binary (Qt's own item widget, one object per row and per cell).
//
//   BM_FillShowScrollPaint/<side>   fill 1,000,000 rows x 5 columns, show the window, scroll to the
//                                   last row and paint it: the whole road, timed together; the
//                                   control on a host form's window (qt), as a KestrelWidget in a
//                                   layout (widget), and QTreeWidget
//   BM_RepaintViewport/<side>       one repaint of the full list viewport at that size
//   BM_AccessibleVisibleRows/qt     a screen reader's walk over the rows on screen through the
//                                   accessible table: every visible cell's text and state, on
//                                   the page already read (new_page:0: the cells kept) or on a
//                                   page scrolled to before each walk (new_page:1: made afresh)
//
// Counters: rows, and for the fill the memory in use after it (malloc's bytes in use, before minus
// after, in MB): list_model_MB is what the same rows take in the list model without any widget,
// qt_side_MB what the Qt realisation adds on top of that model (the window, the view, the adapter),
// qt_side_percent that as a share of the model. For the widget, widget_side_MB and _percent
// likewise, and item_model_percent what asking for its item model (KestrelWidget::model(), which
// announces the rows) adds, as a share of the model. For the tree widget, tree_MB is all it takes.
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM names another.

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "control/Kestrel.h"
#include "platform/headless/HeadlessToolkit.h"
#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtListView.h"
#include "platform/qt/QtToolkit.h"
#include "widget/KestrelWidget.h"

namespace {

using namespace tamarind;
using namespace tamarind::platform;

constexpr int kRows = 1'000'000;
constexpr int kColumns = 5;
constexpr int kWindowWidth = 1000, kWindowHeight = 700;

// The texts of row i: "Row i", a name, a quantity, a city and an amount, the same on every run.
std::array<std::string, kColumns> RowTexts(int i) {
  static const char* const kNames[] = {"Ana Silva", "Ben Novak", "Chloe Okafor", "David Berg", "Elif Costa",
                                       "Farah Ito", "Georg Jensen", "Hana Kowal", "Ivan Moreau", "Jonas Olsen"};
  static const char* const kCities[] = {"Lisbon", "Utrecht", "Krakow", "Lagos", "Oslo", "Kyoto", "Porto", "Beirut"};
  const auto u = static_cast<uint32_t>(i) * 2654435761u;
  return {"Row " + std::to_string(i + 1), kNames[u % 10], std::to_string(u % 5000), kCities[(u >> 8) % 8],
          std::to_string(u % 100000) + "." + std::to_string(u % 100)};
}

size_t BytesInUse() { return mallinfo2().uordblks; }
double Megabytes(size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

void FillList(ListView& lv) {
  const char* captions[kColumns] = {"Row", "Name", "Qty", "City", "Amount"};
  for (const char* c : captions) lv.ColumnHeaders().Add(0, {}, c, 1800);
  for (int i = 0; i < kRows; ++i) {
    auto texts = RowTexts(i);
    const ListItemRef item = lv.ListItems().Add(0, {}, std::move(texts[0]));
    for (int c = 1; c < kColumns; ++c) item->SubItems(c, std::move(texts[static_cast<size_t>(c)]));
  }
}

// What the rows take in the list model alone (a list of the headless desk: no widget at all).
size_t ModelBytes() {
  static const size_t bytes = [] {
    headless::HeadlessToolkit tk;
    HostForm form(tk, "Model");
    const size_t before = BytesInUse();
    auto lv = tk.CreateListView(form);
    FillList(*lv);
    const size_t after = BytesInUse();
    return after - before;
  }();
  return bytes;
}

void Paint(QWidget* viewport) {
  viewport->repaint();
  QApplication::processEvents();
}

void BM_FillShowScrollPaint_Qt(benchmark::State& state) {
  const size_t model = ModelBytes();
  size_t qtSide = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto tk = std::make_unique<qt::QtToolkit>();
    auto form = std::make_unique<qt::QtHostForm>(*tk, "Orders", kWindowWidth * 15.0f, kWindowHeight * 15.0f);
    Kestrel& k = form->Add<Kestrel>("K", 0, 0, kWindowWidth * 15.0f, kWindowHeight * 15.0f);
    QApplication::processEvents();
    const size_t before = BytesInUse();
    state.ResumeTiming();

    FillList(k.ListViewControl());
    form->Show();
    QApplication::processEvents();
    k.ListItems().Item(kRows)->EnsureVisible();
    auto& list = dynamic_cast<qt::QtListView&>(k.ListViewControl());
    Paint(list.ReportWidget()->viewport());

    state.PauseTiming();
    qtSide = BytesInUse() - before - model;
    if (list.TopIndex() + list.VisibleRowCount() != kRows || list.ReportWidget()->Model().rowCount() != kRows)
      state.SkipWithError("the last row is not on screen");
    form.reset();
    tk.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = kRows;
  state.counters["list_model_MB"] = Megabytes(model);
  state.counters["qt_side_MB"] = Megabytes(qtSide);
  state.counters["qt_side_percent"] = 100.0 * static_cast<double>(qtSide) / static_cast<double>(model);
}
BENCHMARK(BM_FillShowScrollPaint_Qt)->Name("BM_FillShowScrollPaint/qt")->Unit(benchmark::kMillisecond)->Iterations(3);

// The same road through KestrelWidget, laid out in a window of the host's.
void BM_FillShowScrollPaint_Widget(benchmark::State& state) {
  const size_t model = ModelBytes();
  size_t widgetSide = 0, itemModel = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    auto* w = new KestrelWidget;
    layout->addWidget(w);
    window->resize(kWindowWidth, kWindowHeight);
    Kestrel& k = w->kestrel();
    QApplication::processEvents();
    const size_t before = BytesInUse();
    state.ResumeTiming();

    FillList(k.ListViewControl());
    window->show();
    QApplication::processEvents();
    k.ListItems().Item(kRows)->EnsureVisible();
    auto& list = dynamic_cast<qt::QtListView&>(k.ListViewControl());
    Paint(list.ReportWidget()->viewport());

    state.PauseTiming();
    widgetSide = BytesInUse() - before - model;
    const size_t beforeModel = BytesInUse();
    const int rows = w->model()->rowCount();
    itemModel = BytesInUse() - beforeModel;
    if (list.TopIndex() + list.VisibleRowCount() != kRows || rows != kRows)
      state.SkipWithError("the last row is not on screen");
    window.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = kRows;
  state.counters["widget_side_MB"] = Megabytes(widgetSide);
  state.counters["widget_side_percent"] = 100.0 * static_cast<double>(widgetSide) / static_cast<double>(model);
  state.counters["item_model_percent"] = 100.0 * static_cast<double>(itemModel) / static_cast<double>(model);
}
BENCHMARK(BM_FillShowScrollPaint_Widget)
    ->Name("BM_FillShowScrollPaint/widget")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The baseline: QTreeWidget with the same rows, one item per row.
void FillTree(QTreeWidget& tree) {
  tree.setColumnCount(kColumns);
  tree.setHeaderLabels({"Row", "Name", "Qty", "City", "Amount"});
  tree.setRootIsDecorated(false);
  tree.setUniformRowHeights(true);
  QList<QTreeWidgetItem*> items;
  items.reserve(kRows);
  for (int i = 0; i < kRows; ++i) {
    const auto texts = RowTexts(i);
    QStringList cells;
    for (const std::string& t : texts) cells << QString::fromStdString(t);
    items.append(new QTreeWidgetItem(cells));
  }
  tree.addTopLevelItems(items);
}

void BM_FillShowScrollPaint_Tree(benchmark::State& state) {
  size_t bytes = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto tree = std::make_unique<QTreeWidget>();
    tree->resize(kWindowWidth, kWindowHeight);
    const size_t before = BytesInUse();
    state.ResumeTiming();

    FillTree(*tree);
    tree->show();
    QApplication::processEvents();
    tree->scrollToItem(tree->topLevelItem(kRows - 1));
    Paint(tree->viewport());

    state.PauseTiming();
    bytes = BytesInUse() - before;
    if (tree->topLevelItemCount() != kRows) state.SkipWithError("the rows did not all arrive");
    tree.reset();
    state.ResumeTiming();
  }
  state.counters["rows"] = kRows;
  state.counters["tree_MB"] = Megabytes(bytes);
}
BENCHMARK(BM_FillShowScrollPaint_Tree)
    ->Name("BM_FillShowScrollPaint/qtreewidget")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void BM_RepaintViewport_Qt(benchmark::State& state) {
  qt::QtToolkit tk;
  qt::QtHostForm form(tk, "Orders", kWindowWidth * 15.0f, kWindowHeight * 15.0f);
  Kestrel& k = form.Add<Kestrel>("K", 0, 0, kWindowWidth * 15.0f, kWindowHeight * 15.0f);
  k.GridLines(true);
  FillList(k.ListViewControl());
  form.Show();
  QApplication::processEvents();
  auto& list = dynamic_cast<qt::QtListView&>(k.ListViewControl());
  list.ScrollTo(kRows / 2, 0);
  QWidget* viewport = list.ReportWidget()->viewport();
  for (auto _ : state) viewport->repaint();
  state.counters["rows_painted"] = list.VisibleRowCount();
}
BENCHMARK(BM_RepaintViewport_Qt)->Name("BM_RepaintViewport/qt")->Unit(benchmark::kMillisecond)->MinTime(1.0);

// The table is asked for as an assistive technology asks for it; nothing listens to its events.
void BM_AccessibleVisibleRows_Qt(benchmark::State& state) {
  const bool newPage = state.range(0) != 0;
  qt::QtToolkit tk;
  qt::QtHostForm form(tk, "Orders", kWindowWidth * 15.0f, kWindowHeight * 15.0f);
  Kestrel& k = form.Add<Kestrel>("K", 0, 0, kWindowWidth * 15.0f, kWindowHeight * 15.0f);
  FillList(k.ListViewControl());
  form.Show();
  QApplication::processEvents();
  auto& list = dynamic_cast<qt::QtListView&>(k.ListViewControl());
  list.ScrollTo(kRows / 2, 0);
  QApplication::processEvents();
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(list.ReportWidget());
  QAccessibleTableInterface* cells = table ? table->tableInterface() : nullptr;
  if (!cells || cells->rowCount() != kRows) {
    state.SkipWithError("the list is no accessible table of its rows");
    return;
  }
  int64_t read = 0, characters = 0, selected = 0;
  int32_t top = kRows / 2;
  for (auto _ : state) {
    if (newPage) {
      state.PauseTiming();
      top = (top + list.VisibleRowCount()) % (kRows - list.VisibleRowCount());
      list.ScrollTo(top, 0);
      QApplication::processEvents();  // painted, and the cells away from the screen let go
      state.ResumeTiming();
    }
    const int first = list.TopIndex(), last = first + list.VisibleRowCount();
    for (int row = first; row < last; ++row)
      for (int column = 0; column < cells->columnCount(); ++column) {
        QAccessibleInterface* cell = cells->cellAt(row, column);
        characters += cell->text(QAccessible::Name).size();
        selected += cell->state().selected;
        ++read;
      }
  }
  benchmark::DoNotOptimize(characters);
  benchmark::DoNotOptimize(selected);
  state.counters["cells_per_walk"] = static_cast<double>(read) / static_cast<double>(state.iterations());
  if (read == 0 || characters == 0) state.SkipWithError("no cell was read");
}
BENCHMARK(BM_AccessibleVisibleRows_Qt)
    ->Name("BM_AccessibleVisibleRows/qt")
    ->ArgName("new_page")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(1.0);

void BM_RepaintViewport_Tree(benchmark::State& state) {
  QTreeWidget tree;
  tree.resize(kWindowWidth, kWindowHeight);
  FillTree(tree);
  tree.show();
  QApplication::processEvents();
  tree.scrollToItem(tree.topLevelItem(kRows / 2), QAbstractItemView::PositionAtTop);
  QApplication::processEvents();
  QWidget* viewport = tree.viewport();
  for (auto _ : state) viewport->repaint();
}
BENCHMARK(BM_RepaintViewport_Tree)->Name("BM_RepaintViewport/qtreewidget")->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
