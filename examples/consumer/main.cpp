// A host application that uses an installed Tamarind: it sites a Kestrel on a form of the headless
// desktop, fills it, and lets a user edit one cell in place. It prints the list afterwards and
// fails unless the edit reached the list.

#include <iostream>
#include <string>

#include "control/Kestrel.h"
#include "platform/headless/HostForm.h"
#include "platform/headless/UserDriver.h"

using namespace tamarind;
using namespace tamarind::platform;

namespace {

// Opens a text box on every clicked cell and stores every finished edit.
class Host : public KestrelEvents {
 public:
  explicit Host(Kestrel& k) : k_(k) {}
  void ItemClick(const ListItemRef& Item, int16_t, bool) override {
    if (!Item) return;
    row_ = Item->Index();
    column_ = k_.SubItemClicked();
    k_.ShowTextBox(column_ == 0 ? Item->Text() : Item->SubItems(column_));
  }
  void ChangeComplete(const std::string& OrigText, const std::string& NewText) override {
    std::cout << "ChangeComplete \"" << OrigText << "\" -> \"" << NewText << "\"\n";
    const ListItemRef item = k_.ListItems().Item(row_);
    column_ == 0 ? item->Text(NewText) : item->SubItems(column_, NewText);
  }

 private:
  Kestrel& k_;
  int32_t row_ = 0, column_ = 0;
};

}  // namespace

int main() {
  headless::HeadlessToolkit tk;
  headless::UserDriver user(tk);
  headless::HostForm form(tk, "Stock", 9000, 5000);
  Kestrel& k = form.Add<Kestrel>("Stock1", 120, 120, 8000, 4000);
  form.Show();
  k.ColumnHeaders().Add(0, {}, "Spice", 2000);
  k.ColumnHeaders().Add(0, {}, "Grams", 1500);
  for (const auto& [name, grams] : {std::pair{"Anise", "250"}, std::pair{"Cumin", "500"}}) {
    const ListItemRef item = k.ListItems().Add(0, {}, name);
    item->SubItems(1, grams);
  }
  Host host(k);
  k.Attach(&host);

  user.ClickCell(k.ListViewControl(), 2, 1);  // Cumin's grams
  user.Type("750");
  user.PressKey(vbKeyReturn);
  k.Attach(nullptr);

  for (int32_t row = 1; row <= k.ListItems().Count(); ++row)
    std::cout << k.ListItems().Item(row)->Text() << "\t" << k.ListItems().Item(row)->SubItems(1) << "\n";
  const bool edited = k.ListItems().Item(2)->SubItems(1) == "750";
  std::cout << (edited ? "the edit reached the list\n" : "the edit was lost\n");
  return edited ? 0 : 1;
}
