#include "propertysheet/PropertySheetDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/qt/QtHostForm.h"
#include "platform/qt/QtSupport.h"
#include "platform/qt/QtToolkit.h"

namespace tamarind {

using platform::qt::QtHostForm;
using platform::qt::QtToolkit;

namespace {
QtToolkit* DesktopOf(const std::vector<Kestrel*>& selected) {
  return selected.empty() || !selected.front() ? nullptr : dynamic_cast<QtToolkit*>(&selected.front()->GetToolkit());
}
}  // namespace

PropertySheetDialog::PropertySheetDialog(std::vector<Kestrel*> selected, QWidget* parent)
    : QDialog(parent),
      ownToolkit_(DesktopOf(selected) ? nullptr : std::make_unique<QtToolkit>()),
      tk_(ownToolkit_ ? *ownToolkit_ : *DesktopOf(selected)),
      pages_(std::make_unique<designtime::PageSet>(tk_)) {
  setWindowTitle(QStringLiteral("Property Pages"));
  tabs_ = new QTabWidget(this);
  buttons_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  layout->addWidget(buttons_);

  // Each page keeps its size in twips; on this screen that is so many pixels, whatever its DPI.
  platform::Screen& screen = tk_.GetScreen();
  for (auto& made : designtime::MakeControlPages(tk_)) {
    designtime::PropertyPage& page = *made;
    const float width = page.Width(), height = page.Height();
    auto* tab = new QWidget;
    tab->setObjectName(platform::qt::ToQString(page.ClassName()));
    auto* tabLayout = new QVBoxLayout(tab);
    auto form = std::make_unique<QtHostForm>(tk_, tab, page.Caption());
    QWidget* surface = form->WindowWidget();
    surface->setMinimumSize(static_cast<int>(width) / screen.TwipsPerPixelX(),
                            static_cast<int>(height) / screen.TwipsPerPixelY());
    tabLayout->addWidget(surface);
    form->Site(std::move(made), page.ClassName(), 0, 0, width, height, nullptr);
    tabs_->addTab(tab, platform::qt::ToQString(page.Caption()));
    pages_->Add(page);
    form->Show();
    forms_.push_back(std::move(form));
  }

  connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
    if (apply()) accept();
  });
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons_->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { apply(); });
  pages_->StateChanged.Connect([this] { updateApply(); });
  tk_.Guarded([&] { pages_->Select(selected); });
  updateApply();
}

// The pages and their forms go while the tabs they are embedded in still exist.
PropertySheetDialog::~PropertySheetDialog() {
  pages_.reset();
  forms_.clear();
}

bool PropertySheetDialog::apply() {
  bool applied = false;
  tk_.Guarded([&] { applied = pages_->Apply(); });
  return applied;
}

void PropertySheetDialog::updateApply() {
  buttons_->button(QDialogButtonBox::Apply)->setEnabled(pages_->AnyChanged());
}

}  // namespace tamarind
