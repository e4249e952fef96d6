#include "designtime/PropertySheet.h"

#include <algorithm>

#include "platform/controls/SimpleControls.h"
#include "platform/controls/TabStrip.h"

namespace tamarind::designtime {

using namespace platform;

namespace {
// Twips: the margin round the strip and the buttons, the strip's tab row, a button.
constexpr float kMargin = 120, kTabRow = 420, kButtonWidth = 1095, kButtonHeight = 375;
}  // namespace

PropertySheet::PropertySheet(Toolkit& tk, std::vector<Kestrel*> selected, const FormMaker& makeForm)
    : pages_(tk) {
  std::vector<std::unique_ptr<PropertyPage>> made = MakeControlPages(tk);
  // The sheet is as large as its largest page.
  float pageWidth = 0, pageHeight = 0;
  for (const auto& page : made) {
    pageWidth = std::max(pageWidth, page->Width());
    pageHeight = std::max(pageHeight, page->Height());
  }
  const float stripWidth = pageWidth + 2 * kMargin, stripHeight = pageHeight + kTabRow + kMargin;
  const float buttonsTop = kMargin + stripHeight + kMargin;
  const float formWidth = stripWidth + 2 * kMargin, formHeight = buttonsTop + kButtonHeight + kMargin;
  form_ = makeForm ? makeForm(tk, "Property Pages", formWidth, formHeight)
                   : std::make_unique<HostForm>(tk, "Property Pages", formWidth, formHeight);

  tabs_ = tk.CreateTabStrip(*form_);
  tabs_->Name("tabPages");
  tabs_->Move(kMargin, kMargin, stripWidth, stripHeight);
  tabs_->TabIndex(0);
  for (auto& page : made) {
    PropertyPage& p = *page;
    tabs_->Add(0, p.ClassName(), p.Caption());
    form_->Site(std::move(page), p.ClassName(), 2 * kMargin, kMargin + kTabRow, pageWidth, pageHeight, nullptr);
    pages_.Add(p);
  }

  auto button = [&](const char* name, const char* caption, float right, int16_t tabIndex) {
    auto b = tk.CreateCommandButton(*form_);
    b->Name(name);
    b->Caption(caption);
    b->Move(right - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    b->TabIndex(tabIndex);
    return b;
  };
  const float right = kMargin + stripWidth;
  apply_ = button("cmdApply", "&Apply", right, 3);
  cancel_ = button("cmdCancel", "Cancel", right - kButtonWidth - kMargin, 2);
  ok_ = button("cmdOK", "OK", right - 2 * (kButtonWidth + kMargin), 1);

  ok_->Click.Connect([this] {
    if (pages_.Apply()) Close(Outcome::Ok);
  });
  cancel_->Click.Connect([this] { Close(Outcome::Cancel); });
  apply_->Click.Connect([this] { pages_.Apply(); });
  pages_.StateChanged.Connect([this] { apply_->Enabled(pages_.AnyChanged()); });
  tabs_->Click.Connect([this] { ShowTab(); });

  pages_.Select(selected);
  apply_->Enabled(pages_.AnyChanged());
  form_->Show();
  ShowTab();
}

PropertySheet::~PropertySheet() {
  // The strip and buttons go before the form they are drawn on, the pages with the form.
  tabs_.reset();
  ok_.reset();
  cancel_.reset();
  apply_.reset();
  form_->Unload();
}

PropertyPage& PropertySheet::Page(int32_t index) const {
  if (index < 1 || static_cast<size_t>(index) > pages_.Pages().size()) Raise(err::SubscriptOutOfRange, "PropertySheet");
  return *pages_.Pages()[static_cast<size_t>(index - 1)];
}

PropertyPage& PropertySheet::ShownPage() const {
  const Tab* tab = tabs_->SelectedItem();
  return Page(tab ? tab->Index() : 1);
}

void PropertySheet::ShowTab() {
  PropertyPage& shown = ShownPage();
  for (PropertyPage* page : pages_.Pages()) page->Visible(page == &shown);
}

void PropertySheet::Close(Outcome how) {
  outcome_ = how;
  Closed();
}

}  // namespace tamarind::designtime
