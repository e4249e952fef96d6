#include "platform/qt/QtListView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextLayout>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Messages.h"
#include "platform/UserControl.h"
#include "platform/qt/QtAccessibleList.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtSupport.h"
#include "runtime/Error.h"

namespace tamarind::platform::qt {

namespace {

Qt::Alignment AlignmentOf(int16_t a) {
  switch (a) {
    case ColumnHeader::lvwColumnRight: return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnHeader::lvwColumnCenter: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

// Guards a flag for as long as it lives.
class FlagGuard {
 public:
  explicit FlagGuard(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
  ~FlagGuard() { flag_ = was_; }
  FlagGuard(const FlagGuard&) = delete;
  FlagGuard& operator=(const FlagGuard&) = delete;

 private:
  bool& flag_;
  bool was_;
};

enum MouseKind { kPress, kRelease, kDoubleClick, kMove };

}  // namespace

// --- the item-model adapter ----------------------------------------------------------------------------

ListItemsModel::ListItemsModel(QtListView& list)
    : list_(list), exposedRows_(list.ListItems().Count()), exposedColumns_(list.ColumnHeaders().Count()) {}

int ListItemsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : exposedRows_; }

int ListItemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : exposedColumns_; }

Qt::ItemFlags ListItemsModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0 && list_.Checkboxes()) f |= Qt::ItemIsUserCheckable;
  return f;
}

QVariant ListItemsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= list_.ListItems().Count() || index.column() >= list_.ColumnHeaders().Count())
    return {};
  const ListItemRef& item = list_.ListItems().Item(index.row() + 1);
  const int32_t c = index.column();
  // The extras of a sub-item the row was given (text alone otherwise).
  auto subItem = [&]() -> std::optional<ListSubItem> {
    if (c == 0) return std::nullopt;
    ListSubItems subs = item->GetListSubItems();
    if (c > subs.Count()) return std::nullopt;
    return subs.Item(c);
  };
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(item->ColumnText(c));
    case Qt::DecorationRole: {
      ReportView* view = list_.ReportWidget();
      if (!view || !list_.SmallIcons()) return {};
      const Variant icon = c == 0 ? item->SmallIcon() : (subItem() ? subItem()->ReportIcon() : Variant());
      const QPixmap pm = view->ImageOf(list_.SmallIcons(), icon);
      return pm.isNull() ? QVariant() : QVariant(pm);
    }
    case Qt::CheckStateRole:
      if (c == 0 && list_.Checkboxes()) return item->Checked() ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::FontRole: {
      const bool bold = c == 0 ? item->Bold() : (subItem() && subItem()->Bold());
      if (!bold || !list_.ReportWidget()) return {};
      QFont f = list_.ReportWidget()->ListFont();
      f.setBold(true);
      return f;
    }
    case Qt::ForegroundRole: {
      const OLE_COLOR color = c == 0 ? item->ForeColor() : (subItem() ? subItem()->ForeColor() : vbWindowText);
      if (color == vbWindowText) return {};
      return ToQColor(color, QApplication::palette());
    }
    case Qt::TextAlignmentRole:
      // The item's own column is always drawn from the left, as the platform's list draws it.
      return c == 0 ? int(Qt::AlignLeft | Qt::AlignVCenter)
                    : int(AlignmentOf(list_.ColumnHeaders().Item(c + 1)->Alignment()));
    case Qt::ToolTipRole: {
      const std::string tip = c == 0 ? item->ToolTipText() : (subItem() ? subItem()->ToolTipText() : std::string());
      return tip.empty() ? QVariant() : QVariant(ToQString(tip));
    }
    default:
      return {};
  }
}

QVariant ListItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= list_.ColumnHeaders().Count()) return {};
  const ColumnHeader& col = *list_.ColumnHeaders().Item(section + 1);
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(col.Text());
    case Qt::TextAlignmentRole:
      return int(AlignmentOf(static_cast<int16_t>(col.HeaderFormat() & HDF_JUSTIFYMASK)));
    case Qt::DecorationRole: {
      // An image before the caption; one on the right is drawn by the header itself.
      if (!(col.HeaderFormat() & HDF_IMAGE) || (col.HeaderFormat() & HDF_BITMAP_ON_RIGHT) || !list_.ReportWidget()) return {};
      const QPixmap pm = list_.ReportWidget()->HeaderImage(col.HeaderImage());
      return pm.isNull() ? QVariant() : QVariant(pm);
    }
    default:
      return {};
  }
}

void ListItemsModel::ScheduleFlush() {
  if (flushQueued_) return;
  flushQueued_ = true;
  QMetaObject::invokeMethod(this, [this] { Flush(); }, Qt::QueuedConnection);
}

void ListItemsModel::Flush() {
  flushQueued_ = false;
  const int n = list_.ListItems().Count();
  if (n > exposedRows_) {
    beginInsertRows({}, exposedRows_, n - 1);
    exposedRows_ = n;
    endInsertRows();
  }
  if (dataDirty_) {
    dataDirty_ = false;
    if (exposedRows_ > 0 && exposedColumns_ > 0) emit dataChanged(index(0, 0), index(exposedRows_ - 1, exposedColumns_ - 1));
  }
}

// Rows past those Qt knows of wait for the next announcement; rows among them are announced now.
void ListItemsModel::RowsAboutToBeInserted(int32_t pos, int32_t count) {
  if (pos >= exposedRows_) return;
  beginInsertRows({}, pos, pos + count - 1);
  inserting_ = count;
}

void ListItemsModel::RowsInserted(int32_t, int32_t) {
  if (inserting_ == 0) {
    ScheduleFlush();
    return;
  }
  exposedRows_ += inserting_;
  inserting_ = 0;
  endInsertRows();
}

void ListItemsModel::RowsAboutToBeRemoved(int32_t pos, int32_t count) {
  if (pos >= exposedRows_) return;  // a row Qt had not been told of yet
  const int last = std::min(exposedRows_, pos + count) - 1;
  beginRemoveRows({}, pos, last);
  removing_ = last - pos + 1;
}

void ListItemsModel::RowsRemoved(int32_t, int32_t) {
  if (removing_ == 0) return;
  exposedRows_ -= removing_;
  removing_ = 0;
  endRemoveRows();
}

void ListItemsModel::RowsReset() {
  beginResetModel();
  exposedRows_ = list_.ListItems().Count();
  exposedColumns_ = list_.ColumnHeaders().Count();
  dataDirty_ = false;
  endResetModel();
}

void ListItemsModel::ItemChanged() {
  if (dataDirty_) return;
  dataDirty_ = true;
  ScheduleFlush();
}

void ListItemsModel::ColumnsChanged() {
  const int n = list_.ColumnHeaders().Count();
  if (n != exposedColumns_) {
    Flush();
    beginResetModel();
    exposedColumns_ = n;
    exposedRows_ = list_.ListItems().Count();
    endResetModel();
  } else if (n > 0) {
    emit headerDataChanged(Qt::Horizontal, 0, n - 1);
  }
}

// --- the header --------------------------------------------------------------------------------------

ReportHeader::ReportHeader(QtListView& list, QWidget* parent) : QHeaderView(Qt::Horizontal, parent), list_(list) {}

void ReportHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  QHeaderView::paintSection(painter, rect, logicalIndex);
  if (logicalIndex < 0 || logicalIndex >= list_.ColumnHeaders().Count() || !list_.ColumnHeaderIcons()) return;
  const ColumnHeader& col = *list_.ColumnHeaders().Item(logicalIndex + 1);
  const int32_t format = col.HeaderFormat();
  if (!(format & HDF_IMAGE) || !(format & HDF_BITMAP_ON_RIGHT) || !list_.ReportWidget()) return;
  QPixmap pm = list_.ReportWidget()->HeaderImage(col.HeaderImage());
  if (pm.isNull()) return;
  if (list_.ColumnHeaderIcons()->ThemeStrokes()) pm = InPalette(pm);
  // To the right of the caption, inside the section's margin; mirrored in a right-to-left header.
  const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, this);
  QRect target(rect.right() - margin - pm.width() + 1, rect.top() + (rect.height() - pm.height()) / 2, pm.width(),
               pm.height());
  target = QStyle::visualRect(layoutDirection(), rect, target);
  painter->save();
  painter->setClipRect(rect);
  painter->drawPixmap(target, pm);
  painter->restore();
}

void ReportHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
  QHeaderView::initStyleOptionForIndex(option, logicalIndex);
  // The painter reads a caption's direction from its text: a mirrored header says where the
  // caption goes itself, so a left-aligned caption starts at the right, clear of the sort arrow.
  option->textAlignment = QStyle::visualAlignment(layoutDirection(), option->textAlignment) | Qt::AlignAbsolute;
}

QPixmap ReportHeader::InPalette(const QPixmap& image) const {
  // The classic pair is grey (shadowed edges) and white (lit edges): white vanishes on a light
  // header. The bevel roles cannot stand in: Light, Mid, Dark and Shadow are derived from Button
  // and lie within a few percent of its luminance on a dark palette (and Light is white on the
  // light Fusion one). So both strokes take the caption's colour, which every palette sets
  // against Button: the shadowed edges in full, the lit ones a step toward the section's colour,
  // keeping the two tones while both stay readable. A caption colour the host chose for another
  // theme (ForeColor stays when the palette changes) gives way to black or white.
  const QColor back = palette().color(QPalette::Button);
  QColor fore = palette().color(QPalette::ButtonText);
  if (std::abs(qGray(fore.rgb()) - qGray(back.rgb())) < 128) fore = qGray(back.rgb()) >= 128 ? Qt::black : Qt::white;
  const auto key = std::make_tuple(image.cacheKey(), back.rgb(), fore.rgb());
  if (auto it = recoloured_.find(key); it != recoloured_.end()) return it->second;
  auto mix = [](int f, int b) { return (f * 65 + b * 35) / 100; };
  const QRgb dark = fore.rgb();
  const QRgb light = qRgb(mix(fore.red(), back.red()), mix(fore.green(), back.green()), mix(fore.blue(), back.blue()));
  QImage im = image.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < im.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(im.scanLine(y));
    for (int x = 0; x < im.width(); ++x) {
      const int alpha = qAlpha(line[x]);
      if (alpha == 0) continue;
      const QRgb to = qGray(line[x]) >= 192 ? light : dark;
      line[x] = qRgba(qRed(to), qGreen(to), qBlue(to), alpha);
    }
  }
  if (recoloured_.size() > 16) recoloured_.clear();  // palettes come and go; the pair is small
  return recoloured_[key] = QPixmap::fromImage(im);
}

// --- the report view ---------------------------------------------------------------------------------

// What every plain cell of one paint shares.
struct ReportView::PlainCells {
  QColor text;  // the style's text colour for the view's state
  QFont font, bold;
  StdFont measured, measuredBold;  // the same fonts, for the toolkit's cached text widths
  Qt::LayoutDirection direction = Qt::LeftToRight;
  int margin = 0;
  bool icons = false, checkBoxes = false;
  std::vector<Qt::Alignment> alignments;  // by column in creation order
};

ReportView::ReportView(QtListView& list, QWidget* parent)
    : QAbstractScrollArea(parent),
      list_(list),
      model_(new ListItemsModel(list)),
      header_(new ReportHeader(list, this)),
      delegate_(new CellDelegate(this)) {
  model_->setParent(this);
  header_->setModel(model_);
  header_->setSectionsClickable(true);
  header_->setHighlightSections(false);
  header_->setStretchLastSection(false);
  header_->setMinimumSectionSize(0);
  header_->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header_->setSectionResizeMode(QHeaderView::Interactive);
  header_->setFocusPolicy(Qt::NoFocus);
  viewport()->setFocusPolicy(Qt::NoFocus);
  viewport()->setBackgroundRole(QPalette::Base);
  verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
  horizontalScrollBar()->setFocusPolicy(Qt::NoFocus);

  QObject::connect(header_, &QHeaderView::sectionClicked, this, [this](int logical) {
    if (!following_) Tk().Guarded([&] { list_.UserClickHeader(logical + 1); });
  });
  QObject::connect(header_, &QHeaderView::sectionMoved, this, [this](int logical, int, int newVisual) {
    if (following_) return;
    Tk().Guarded([&] {
      list_.UserDragColumn(logical + 1, newVisual + 1);
      FollowColumns();  // the model's order wins, also when it refused the move
    });
  });
  QObject::connect(header_, &QHeaderView::sectionResized, this, [this](int logical, int, int size) {
    if (following_) return;
    Tk().Guarded([&] {
      list_.UserResizeColumn(logical + 1, static_cast<float>(size * list_.GetToolkit().GetScreen().TwipsPerPixelX()));
    });
  });
  // The selection looks active while the focus stays within the control: repaint when it leaves
  // or comes back.
  QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget* from, QWidget* to) {
    if (FocusWithin(from) != FocusWithin(to)) viewport()->update();
  });
  QObject::connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
    if (!following_) Tk().Guarded([&] { list_.ScrollTo(v, list_.ScrollXPx()); });
  });
  QObject::connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int v) {
    if (!following_) Tk().Guarded([&] { list_.ScrollTo(list_.TopIndex(), v); });
  });
}

ReportView::~ReportView() {
  // No focus change reaches a view half taken down.
  QObject::disconnect(qApp, nullptr, this, nullptr);
}

const QFont& ReportView::ListFont() const {
  if (!fontSource_ || !(*list_.Font() == *fontSource_)) {
    fontSource_ = *list_.Font();
    font_ = ToQFont(*fontSource_);
    fontHeight_ = QFontMetrics(font_).height();
  }
  return font_;
}

int ReportView::RowPitch() const {
  ListFont();
  int h = fontHeight_ + list_.Metrics().rowPaddingPx;
  if (const ImageListRef& icons = list_.SmallIcons(); icons && icons->ImageHeight() > 0)
    h = std::max(h, icons->ImageHeight() + 1);
  if (list_.Checkboxes()) h = std::max(h, style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this) + 1);
  return std::max(1, h);
}

int ReportView::HeaderHeight() const {
  if (list_.View() != ListView::lvwReport || list_.HideColumnHeaders()) return 0;
  return header_->sizeHint().height();
}

QSize ReportView::ClientSize() const {
  if (isVisible()) return QSize(viewport()->width(), HeaderHeight() + viewport()->height());
  // Not laid out yet: the widget's size inside its frame, less the scroll bars it shows.
  const int f = frameWidth();
  int w = width() - 2 * f, h = height() - 2 * f;
  if (!verticalScrollBar()->isHidden()) w -= verticalScrollBar()->sizeHint().width();
  if (!horizontalScrollBar()->isHidden()) h -= horizontalScrollBar()->sizeHint().height();
  return QSize(std::max(0, w), std::max(0, h));
}

QRect ReportView::CellRect(int32_t pos, int32_t column) const {
  const int pitch = RowPitch();
  return QRect(header_->sectionViewportPosition(column), (pos - list_.TopIndex()) * pitch,
               header_->sectionSize(column), pitch);
}

bool ReportView::FocusWithin(const QWidget* focused) const {
  if (!focused) return false;
  // The control holding the list, when it is a user control; a list on a form stands alone.
  const QWidget* holder = this;
  if (dynamic_cast<const UserControl*>(list_.ParentWindow()) && parentWidget()) holder = parentWidget();
  // Up through the parents, across pop-up windows (a drop-down's list, a calendar).
  for (const QWidget* w = focused; w; w = w->parentWidget())
    if (w == holder) return true;
  return false;
}

QPoint ReportView::ToClient(QPoint p) const {
  const int x = layoutDirection() == Qt::RightToLeft ? viewport()->width() - 1 - p.x() : p.x();
  return QPoint(x, p.y() + HeaderHeight());
}

QPoint ReportView::FromClient(QPoint c) const {
  const int x = layoutDirection() == Qt::RightToLeft ? viewport()->width() - 1 - c.x() : c.x();
  return QPoint(x, c.y() - HeaderHeight());
}

QStyleOptionViewItem ReportView::BaseOption() const {
  QStyleOptionViewItem opt;
  opt.initFrom(this);
  opt.widget = this;
  opt.font = ListFont();
  opt.fontMetrics = QFontMetrics(opt.font);
  opt.showDecorationSelected = true;
  opt.decorationPosition = QStyleOptionViewItem::Left;
  opt.decorationAlignment = Qt::AlignCenter;
  opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
  opt.textElideMode = Qt::ElideRight;
  const ImageListRef& icons = list_.SmallIcons();
  opt.decorationSize = icons && icons->ImageWidth() > 0 ? QSize(icons->ImageWidth(), icons->ImageHeight()) : QSize(16, 16);
  opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus | QStyle::State_MouseOver);
  // Whichever part of the control has the focus, the selection shows alike.
  if (FocusWithin(QApplication::focusWidget())) opt.state |= QStyle::State_Active;
  else opt.state &= ~QStyle::State_Active;
  return opt;
}

QStyleOptionViewItem ReportView::CellOption(int32_t pos, int32_t column, const QRect& rect) const {
  QStyleOptionViewItem opt = BaseOption();
  CellState(opt, pos, column, rect);
  return opt;
}

void ReportView::CellState(QStyleOptionViewItem& opt, int32_t pos, int32_t column, const QRect& rect) const {
  opt.rect = rect;
  opt.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
  if (pos >= 0 && pos < list_.ListItems().Count()) {
    const ListItemRef& item = list_.ListItems().Item(pos + 1);
    // The selection shows over the whole row with FullRowSelect, else over the item's own cell.
    // HideSelection hides it once the focus has left the control (an editor over a cell keeps it;
    // BaseOption marks it active then); without HideSelection it stays, drawn inactive.
    const bool within = (opt.state & QStyle::State_Active) != 0;
    if (item->Selected() && (list_.FullRowSelect() || column == 0) && (within || !list_.HideSelection()))
      opt.state |= QStyle::State_Selected;
    // The focus rectangle is where the keys act (Ctrl moves it alone in a MultiSelect list).
    const ListItemRef focusedItem = list_.FocusedItem();
    if (hasFocus() && item == (focusedItem ? focusedItem : list_.SelectedItem()) && (list_.FullRowSelect() || column == 0))
      opt.state |= QStyle::State_HasFocus;
  }
}

ReportHit ReportView::HitAt(QPoint p) const {
  ReportHit hit;
  hit.flags = LVHT_NOWHERE;
  const int pitch = RowPitch();
  if (p.y() < 0 || p.x() < 0 || p.x() >= viewport()->width() || p.y() >= viewport()->height()) return hit;
  const int32_t pos = list_.TopIndex() + p.y() / pitch;
  if (pos >= list_.ListItems().Count()) return hit;
  const int column = header_->logicalIndexAt(p.x());
  if (column < 0) return hit;
  hit.pos = pos;
  hit.column = column;
  hit.flags = LVHT_ONITEMLABEL;
  if (column == 0) {
    // Where the style draws the check box and the icon in this cell.
    QStyleOptionViewItem opt = CellOption(pos, 0, CellRect(pos, 0));
    const QModelIndex index = model_->index(pos, 0);
    if (index.isValid()) {
      delegate_->initStyleOption(&opt, index);
    }
    QStyle* s = style();
    if ((opt.features & QStyleOptionViewItem::HasCheckIndicator) &&
        s->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, this).contains(p))
      hit.flags = LVHT_ONITEMSTATEICON;
    else if ((opt.features & QStyleOptionViewItem::HasDecoration) &&
             s->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, this).contains(p))
      hit.flags = LVHT_ONITEMICON;
  }
  return hit;
}

QPixmap ReportView::ImageOf(const ImageListRef& list, const Variant& indexOrKey) {
  if (!list || indexOrKey.IsEmpty() || indexOrKey.IsNull()) return {};
  if (indexOrKey.IsNumericKind() && indexOrKey.NumericValue() < 1) return {};
  try {
    const ListImage& image = list->Item(indexOrKey);
    if (!image.Picture || image.Picture->IsEmpty()) return {};
    auto it = images_.find(image.Picture->Handle());
    if (it != images_.end()) return it->second;
    QImage qi = ToQImage(*image.Picture);
    if (list->UseMaskColor()) qi = Masked(qi, list->MaskColor());
    return images_[image.Picture->Handle()] = QPixmap::fromImage(qi);
  } catch (const Error&) {
    return {};  // an image the list does not have shows nothing, as the platform's list does
  }
}

QPixmap ReportView::HeaderImage(int32_t image) {
  return ImageOf(list_.ColumnHeaderIcons(), Variant(static_cast<int32_t>(image + 1)));
}

void ReportView::UpdateGeometries() {
  const int hh = HeaderHeight();
  setViewportMargins(0, hh, 0, 0);
  const QRect vg = viewport()->geometry();
  header_->setGeometry(vg.left(), vg.top() - hh, vg.width(), hh);
  header_->setVisible(hh > 0);
}

void ReportView::UpdateScrollBars() {
  rangesPending_ = false;
  {
    FlagGuard guard(following_);
    const int visible = std::max(1, list_.VisibleRowCount());
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, list_.ListItems().Count() - visible));
    v->setPageStep(visible);
    v->setSingleStep(1);
    QScrollBar* h = horizontalScrollBar();
    const int width = viewport()->width();
    h->setRange(0, std::max(0, list_.TotalColumnWidthPx() - width));
    h->setPageStep(std::max(1, width));
    h->setSingleStep(20);
  }
  list_.Reclamp();  // the model keeps its scroll position within what the view can show
  FollowScroll();
}

void ReportView::ApplyPending() {
  model_->Flush();
  if (rangesPending_) UpdateScrollBars();
}

void ReportView::FollowRows() {
  if (rangesPending_) return;
  rangesPending_ = true;
  QMetaObject::invokeMethod(this, [this] { ApplyPending(); }, Qt::QueuedConnection);
  RepaintRows();
}

void ReportView::RepaintRows() {
  if (repaintPending_) return;
  repaintPending_ = true;
  viewport()->update();
}

void ReportView::FollowScroll() {
  {
    FlagGuard guard(following_);
    verticalScrollBar()->setValue(list_.TopIndex());
    horizontalScrollBar()->setValue(list_.ScrollXPx());
    header_->setOffset(list_.ScrollXPx());
  }
  viewport()->update();
}

void ReportView::FollowColumns() {
  model_->ColumnsChanged();
  {
    FlagGuard guard(following_);
    const int n = list_.ColumnHeaders().Count();
    for (int c = 0; c < n && c < header_->count(); ++c) header_->resizeSection(c, list_.ColumnWidthPx(c));
    const std::vector<int32_t>& order = list_.ColumnOrder();
    for (int v = 0; v < static_cast<int>(order.size()) && v < header_->count(); ++v) {
      const int from = header_->visualIndex(order[static_cast<size_t>(v)]);
      if (from != v) header_->moveSection(from, v);
    }
    header_->setSectionsMovable(list_.AllowColumnReorder());
  }
  // A header without sections has no height: the first column added to a shown list brings it in.
  UpdateGeometries();
  header_->viewport()->update();
  UpdateScrollBars();
  viewport()->update();
}

void ReportView::FollowAppearance() {
  header_->setSectionsMovable(list_.AllowColumnReorder());
  header_->setFont(ListFont());
  UpdateGeometries();
  UpdateScrollBars();
  header_->viewport()->update();
  viewport()->update();
}

void ReportView::PaintBackground(QPainter& p, const QRect& area) {
  p.fillRect(area, ToQColor(list_.BackColor(), palette()));
  const PictureRef& picture = list_.Picture();
  if (!picture || picture->IsEmpty()) {
    background_ = QPixmap();
    backgroundSource_ = nullptr;
    return;
  }
  if (picture != backgroundSource_) {
    backgroundSource_ = picture;
    background_ = QPixmap::fromImage(ToQImage(*picture));
  }
  const QRect vr = viewport()->rect();
  if (list_.PictureAlignment() == ListView::lvwTile) {
    // The tiles start at the top of the rows and scroll with them, so bands one row high stay on
    // their rows.
    const int pitch = RowPitch();
    const int oy = static_cast<int>((static_cast<int64_t>(list_.TopIndex()) * pitch) % std::max(1, background_.height()));
    const int ox = list_.ScrollXPx() % std::max(1, background_.width());
    p.drawTiledPixmap(vr, background_, QPoint(ox, oy));
    return;
  }
  const QSize s = background_.size();
  QPoint at(0, 0);
  switch (list_.PictureAlignment()) {
    case 1: at = QPoint(vr.width() - s.width(), 0); break;                                   // top right
    case 2: at = QPoint(0, vr.height() - s.height()); break;                                 // bottom left
    case 3: at = QPoint(vr.width() - s.width(), vr.height() - s.height()); break;            // bottom right
    case 4: at = QPoint((vr.width() - s.width()) / 2, (vr.height() - s.height()) / 2); break;  // centre
    default: break;
  }
  p.drawPixmap(at, background_);
}

QtToolkit& ReportView::Tk() const { return QtToolkitOf(list_); }

void ReportView::paintEvent(QPaintEvent* e) {
  Tk().Guarded([&] { PaintRows(e); }, /*once=*/true);
}

void ReportView::PaintRows(QPaintEvent* e) {
  ApplyPending();
  repaintPending_ = false;
  QPainter p(viewport());
  const QRect area = e->rect();
  PaintBackground(p, area);
  const int pitch = RowPitch();
  const int32_t n = list_.ListItems().Count();
  const int32_t top = list_.TopIndex();
  const int rows = viewport()->height() / pitch + 1;
  std::vector<int> columns;
  for (int v = 0; v < header_->count(); ++v) columns.push_back(header_->logicalIndex(v));
  const QStyleOptionViewItem base = BaseOption();
  PlainCells plain;
  const bool plainPath = PlainCellsFor(base, plain);
  plainCellsPainted_ = 0;
  QStyleOptionViewItem opt;
  for (int r = 0; r < rows && top + r < n; ++r) {
    const int y = r * pitch;
    if (y > area.bottom()) break;
    if (y + pitch <= area.top()) continue;
    const int32_t pos = top + r;
    const ListItemRef& item = list_.ListItems().Item(pos + 1);
    for (int c : columns) {
      const QRect rect = CellRect(pos, c);
      if (rect.width() <= 0 || !rect.intersects(area)) continue;
      opt = base;
      CellState(opt, pos, c, rect);
      if (plainPath && !(opt.state & (QStyle::State_Selected | QStyle::State_HasFocus)) &&
          PaintPlainCell(p, plain, item, c, rect)) {
        ++plainCellsPainted_;
        continue;
      }
      p.setClipping(false);  // the style sets its own clip and gives it back
      delegate_->paint(&p, opt, model_->index(pos, c));
    }
  }
  p.setClipping(false);
  if (list_.GridLines()) {
    // Grid lines run through the whole list, past the last row, up to the last column's edge.
    // A cosmetic pen of width 0 is one device pixel at every scale factor; lines on whole
    // logical pixels land on whole device pixels (a 1-pixel pen would be 1.5 pixels at 1.5 and
    // round to 1 or 2 by position).
    QPen grid(palette().color(QPalette::Midlight), 0);
    grid.setCosmetic(true);
    p.setPen(grid);
    p.setRenderHint(QPainter::Antialiasing, false);
    // All of them in one call: the paint engine sets up the pen once.
    std::vector<QLine> lines;
    lines.reserve(columns.size() + static_cast<size_t>(viewport()->height() / std::max(1, pitch)) + 1);
    int right = 0;
    for (int c : columns) {
      const QRect rect = CellRect(top, c);
      const int edge = layoutDirection() == Qt::RightToLeft ? rect.left() : rect.right();
      lines.emplace_back(edge, 0, edge, viewport()->height());
      right = std::max(right, rect.right());
    }
    const int left = layoutDirection() == Qt::RightToLeft ? viewport()->width() - right - 1 : 0;
    const int extent = layoutDirection() == Qt::RightToLeft ? viewport()->width() : right;
    for (int y = pitch - 1; y < viewport()->height(); y += pitch) lines.emplace_back(left, y, extent, y);
    p.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
}

void ReportView::UsePlainCellPath(bool on) {
  plainCellPath_ = on;
  viewport()->update();
}

bool ReportView::PlainCellsFor(const QStyleOptionViewItem& base, PlainCells& plain) const {
  if (!plainCellPath_) return false;
  // What PaintPlainCell draws is the common style's item drawing. A style of the host's (a proxy,
  // a style sheet, a platform theme) may draw items its own way: it gets the delegate throughout.
  const char* style = this->style()->metaObject()->className();
  if (std::strcmp(style, "QFusionStyle") != 0 && std::strcmp(style, "QWindowsStyle") != 0) return false;
  QPalette::ColorGroup group = QPalette::Disabled;
  if (base.state & QStyle::State_Enabled) group = (base.state & QStyle::State_Active) ? QPalette::Normal : QPalette::Inactive;
  plain.text = base.palette.color(group, QPalette::Text);
  plain.font = base.font;
  plain.bold = base.font;
  plain.bold.setBold(true);
  plain.measured = *list_.Font();
  plain.measuredBold = plain.measured;
  plain.measuredBold.Bold(true);
  plain.direction = base.direction;
  plain.margin = this->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  plain.icons = list_.SmallIcons() != nullptr;
  plain.checkBoxes = list_.Checkboxes();
  const int32_t n = list_.ColumnHeaders().Count();
  plain.alignments.resize(static_cast<size_t>(std::max(0, n)));
  for (int32_t c = 0; c < n; ++c)
    plain.alignments[static_cast<size_t>(c)] =
        c == 0 ? Qt::AlignLeft | Qt::AlignVCenter : AlignmentOf(list_.ColumnHeaders().Item(c + 1)->Alignment());
  return true;
}

// The style draws an unselected cell without focus, check box, icon or background as its text
// alone: clipped to the cell, in the text colour, laid out in the cell less the focus frame's
// margin and centred on its line height. Laying the text out once here, where the style lays it
// out three times (its size, its elision, its drawing), is most of the cost of a repaint. Texts
// that may need eliding or could break into lines go to the delegate.
bool ReportView::PaintPlainCell(QPainter& p, const PlainCells& plain, const ListItemRef& item, int32_t column,
                                const QRect& rect) {
  if (static_cast<size_t>(column) >= plain.alignments.size()) return false;
  auto noIcon = [](const Variant& icon) { return icon.IsEmpty() || icon.IsNull(); };
  bool bold = false;
  OLE_COLOR fore = vbWindowText;
  if (column == 0) {
    if (plain.checkBoxes || (plain.icons && !noIcon(item->SmallIcon()))) return false;
    bold = item->Bold();
    fore = item->ForeColor();
  } else if (column <= item->SubItemCount()) {
    const ListSubItem sub(item, column);
    if (plain.icons && !noIcon(sub.ReportIcon())) return false;
    bold = sub.Bold();
    fore = sub.ForeColor();
  }
  const std::string& text = item->ColumnText(column);
  for (const char ch : text)
    if (ch < 0x20 || ch > 0x7e) return false;  // printable ASCII: one line, no bidi, no control characters
  if (text.empty()) return true;  // nothing to draw
  const QRect textRect = rect.adjusted(plain.margin, 0, -plain.margin, 0);
  // Widths come rounded to whole pixels: two to spare keeps a text near the edge with the style.
  if (Tk().Metrics().TextWidthPx(bold ? plain.measuredBold : plain.measured, text) + 2 > textRect.width()) return false;

  const Qt::Alignment alignment = plain.alignments[static_cast<size_t>(column)];
  QTextOption option;
  option.setWrapMode(QTextOption::ManualWrap);
  option.setTextDirection(plain.direction);
  option.setAlignment(QStyle::visualAlignment(plain.direction, alignment));
  QTextLayout layout(ToQString(text), bold ? plain.bold : plain.font);
  layout.setTextOption(option);
  layout.beginLayout();
  qreal height = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(textRect.width());
    line.setPosition(QPointF(0, height));
    height += line.height();
  }
  layout.endLayout();
  const int top =
      QStyle::alignedRect(plain.direction, alignment, QSize(textRect.width(), qCeil(height)), textRect).top();
  p.setClipRect(rect);
  p.setPen(fore == vbWindowText ? plain.text : ToQColor(fore, QApplication::palette()));
  layout.draw(&p, QPointF(textRect.x(), top));
  return true;
}

void ReportView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  Tk().Guarded([&] {
    UpdateGeometries();
    UpdateScrollBars();
  });
}

void ReportView::scrollContentsBy(int, int) { viewport()->update(); }

void ReportView::changeEvent(QEvent* e) {
  QAbstractScrollArea::changeEvent(e);
  if (e->type() == QEvent::FontChange || e->type() == QEvent::StyleChange ||
      e->type() == QEvent::LayoutDirectionChange) {
    Tk().Guarded([&] {
      UpdateGeometries();
      UpdateScrollBars();
    });
  }
}

void ReportView::MouseToModel(QMouseEvent* e, int kind) {
  const QPoint client = ToClient(e->position().toPoint());
  Screen& screen = list_.GetToolkit().GetScreen();
  const auto x = static_cast<float>(client.x() * screen.TwipsPerPixelX());
  const auto y = static_cast<float>(client.y() * screen.TwipsPerPixelY());
  const int16_t shift = ShiftOf(e->modifiers());
  switch (kind) {
    case kPress:
      afterDoubleClick_ = false;
      list_.UserMouseDown(ButtonOf(e->button()), shift, x, y);
      break;
    case kDoubleClick:
      // The second press of a double click: a press, then DblClick; its release raises no Click.
      list_.UserMouseDown(ButtonOf(e->button()), shift, x, y);
      list_.DblClick();
      afterDoubleClick_ = true;
      break;
    case kRelease:
      if (afterDoubleClick_) {
        afterDoubleClick_ = false;
        int16_t b = ButtonOf(e->button()), s = shift;
        float mx = x, my = y;
        list_.MouseUp(b, s, mx, my);
      } else {
        list_.UserMouseUp(ButtonOf(e->button()), shift, x, y);
      }
      break;
    default: {
      int16_t b = 0;
      for (Qt::MouseButton q : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        if (e->buttons() & q) b |= ButtonOf(q);
      int16_t s = shift;
      float mx = x, my = y;
      list_.MouseMove(b, s, mx, my);
      break;
    }
  }
}

void ReportView::mousePressEvent(QMouseEvent* e) {
  Tk().Guarded([&] { MouseToModel(e, kPress); });
}
void ReportView::mouseReleaseEvent(QMouseEvent* e) {
  Tk().Guarded([&] { MouseToModel(e, kRelease); });
}
void ReportView::mouseDoubleClickEvent(QMouseEvent* e) {
  Tk().Guarded([&] { MouseToModel(e, kDoubleClick); });
}
void ReportView::mouseMoveEvent(QMouseEvent* e) {
  Tk().Guarded([&] { MouseToModel(e, kMove); });
}

// --- the list view ------------------------------------------------------------------------------------

QtListView::QtListView(QtToolkit& tk, Window& parent) : ListView(tk, &parent) {
  view_ = new ReportView(*this, tk.ParentWidgetFor(parent));
  view_->setFocusPolicy(Qt::NoFocus);
  mirror_ = std::make_unique<WidgetMirror>(tk, *this, view_, WidgetMirror::Options{KeyHandling::List, false, false});
  Observer(this);
  OnPropertyChanged("");
  view_->FollowColumns();
  view_->FollowAppearance();
  accessible::Attach(*this);  // screen readers (QtAccessibleList.h)
}

QtListView::~QtListView() {
  Observer(nullptr);
  mirror_.reset();  // deletes the view
}

int32_t QtListView::RowHeightPx() const { return view_->RowPitch(); }

int32_t QtListView::HeaderHeightPx() const { return view_->HeaderHeight(); }

int32_t QtListView::StateIconWidthPx() const {
  // The check box and the space before it, as the style lays out the first cell.
  QStyleOptionViewItem opt;
  opt.initFrom(view_);
  opt.rect = QRect(0, 0, 200, RowHeightPx());
  opt.features |= QStyleOptionViewItem::HasCheckIndicator;
  const QRect check = view_->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, view_);
  return check.right() + 1;
}

int32_t QtListView::RowTopPx(int32_t pos) const {
  return ClientOffsetPx().y + view_->HeaderHeight() + (pos - TopIndex()) * view_->RowPitch();
}

RECT QtListView::CellRectPx(int32_t pos, int32_t column0) const {
  if (column0 < 0 || column0 >= ColumnHeaders().Count()) Raise(err::IndexOutOfBounds, "ListView");
  const QRect r = view_->CellRect(pos, column0);
  const QPoint a = view_->ToClient(r.topLeft()), b = view_->ToClient(r.bottomRight());
  return RECT{std::min(a.x(), b.x()), a.y(), std::max(a.x(), b.x()) + 1, b.y() + 1};
}

void QtListView::SubItemHitTest(LVHITTESTINFO& info) const {
  const ReportHit hit = view_->HitAt(view_->FromClient(QPoint(info.pt.x, info.pt.y)));
  info.flags = hit.flags;
  info.iItem = hit.pos;
  info.iSubItem = hit.column;
}

RECT QtListView::ClientRectPx() const {
  const QSize s = view_->ClientSize();
  return RECT{0, 0, s.width(), s.height()};
}

POINT QtListView::ClientOffsetPx() const { return POINT{view_->frameWidth(), view_->frameWidth()}; }

void QtListView::OnPropertyChanged(std::string_view p) {
  ListView::OnPropertyChanged(p);
  mirror_->Follow(p);
  if (p.empty() || p == "BorderStyle" || p == "Appearance") {
    // The border the platform's list draws: a sunken 3-D edge two pixels wide, a flat line, or none.
    if (BorderStyle() == 0) view_->setFrameStyle(QFrame::NoFrame);
    else if (Appearance() == 1) view_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    else view_->setFrameStyle(QFrame::Box | QFrame::Plain);
    view_->setLineWidth(BorderStyle() != 0 && Appearance() == 1 ? 2 : 1);
  }
  if (p == "Font" || p == "BackColor" || p == "ForeColor" || p == "BorderStyle" || p == "Appearance")
    view_->FollowAppearance();
  if (p.empty() || p == "RightToLeft") FollowLayoutDirection();
}

void QtListView::OnFocusReceived() {
  ListView::OnFocusReceived();
  mirror_->TakeFocus();
  view_->viewport()->update();
  accessible::FocusReceived(*this);
}

void QtListView::OnResized() { ListView::OnResized(); }

void QtListView::Invalidate(bool erase) {
  ListView::Invalidate(erase);
  FollowLayoutDirection();
  view_->viewport()->update();
  view_->Header()->viewport()->update();
}

void QtListView::FollowLayoutDirection() {
  // The list and its header each mirror when their own window has the right-to-left layout style.
  const bool list = (ExStyle() & WS_EX_LAYOUTRTL) != 0;
  const bool header = (Header().ExStyle() & WS_EX_LAYOUTRTL) != 0;
  view_->setLayoutDirection(list ? Qt::RightToLeft : Qt::LeftToRight);
  view_->Header()->setLayoutDirection(header ? Qt::RightToLeft : Qt::LeftToRight);
}

void QtListView::RowsInserted(int32_t pos, int32_t count) {
  view_->Model().RowsInserted(pos, count);
  view_->FollowRows();
  accessible::RowsInserted(*this, pos, count);
}

void QtListView::RowsAboutToBeInserted(int32_t pos, int32_t count) { view_->Model().RowsAboutToBeInserted(pos, count); }
void QtListView::RowsAboutToBeRemoved(int32_t pos, int32_t count) { view_->Model().RowsAboutToBeRemoved(pos, count); }

void QtListView::RowsRemoved(int32_t pos, int32_t count) {
  view_->Model().RowsRemoved(pos, count);
  view_->FollowRows();
  accessible::RowsRemoved(*this, pos, count);
}

void QtListView::RowsReset() {
  view_->Model().RowsReset();
  view_->FollowRows();
  accessible::RowsReset(*this);
}

void QtListView::ItemChanged(const ListItem& item) {
  view_->Model().ItemChanged();
  view_->RepaintRows();
  accessible::ItemChanged(*this, item);
}

void QtListView::ListChanged(Change what) {
  switch (what) {
    case Change::Columns:
    case Change::ColumnOrder:
      view_->FollowColumns();
      accessible::ColumnsChanged(*this);
      break;
    case Change::Scroll:
      view_->FollowScroll();
      break;
    case Change::Appearance:
      view_->FollowAppearance();
      break;
    case Change::Header:
      FollowLayoutDirection();
      view_->Header()->viewport()->update();
      break;
  }
}

}  // namespace tamarind::platform::qt
