#include "designtime/PageSet.h"

#include <exception>

#include "designtime/AboutPage.h"
#include "designtime/ListviewPage.h"
#include "designtime/StandardPages.h"
#include "designtime/TitlebarPage.h"
#include "platform/Toolkit.h"
#include "platform/UnhandledErrors.h"
#include "runtime/Error.h"

namespace tamarind::designtime {

std::vector<std::unique_ptr<PropertyPage>> MakeControlPages(platform::Toolkit& tk) {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  pages.push_back(std::make_unique<ListviewPage>(tk));
  pages.push_back(std::make_unique<TitlebarPage>(tk));
  pages.push_back(std::make_unique<StandardColorPage>(tk));
  pages.push_back(std::make_unique<StandardFontPage>(tk));
  pages.push_back(std::make_unique<AboutPage>(tk));
  return pages;
}

void PageSet::Add(PropertyPage& page) {
  pages_.push_back(&page);
  page.PageChanged.Connect([this] { StateChanged(); });
}

void PageSet::Select(const std::vector<Kestrel*>& controls) {
  selection_ = controls;
  // Without a selection the pages keep what they show: there is nothing to fill them from.
  if (!controls.empty())
    for (PropertyPage* page : pages_) page->Select(controls);
  StateChanged();
}

bool PageSet::AnyChanged() const {
  for (const PropertyPage* page : pages_)
    if (page->Changed()) return true;
  return false;
}

bool PageSet::Apply() {
  bool applied = true;
  for (PropertyPage* page : pages_) {
    if (!page->Changed()) continue;
    try {
      page->Apply();
    } catch (const Error&) {
      const std::string title =
          selection_.empty() || !selection_.front() ? std::string("Property Pages") : selection_.front()->TypeName();
      tk_.MsgBox(platform::UnhandledErrorText(std::current_exception()), vbOKOnly | vbExclamation, title);
      applied = false;
      break;
    }
  }
  StateChanged();
  return applied;
}

}  // namespace tamarind::designtime
