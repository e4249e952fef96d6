// Kestrel: virtual mode, the rows of a source read as they are shown.

#include "control/Kestrel.h"
#include "editing/EditorPlacement.h"
#include "runtime/Error.h"

namespace tamarind {

void Kestrel::BindRowSource(std::shared_ptr<platform::VirtualRows> source) {
  if (!source) Raise(err::InvalidPropertyValue, "Kestrel");
  platform::ListView& lv = *s_.lvLIST;
  ResumeEach([&] { placement_->HideCalendar(); }, [&] { placement_->HideTextBox(); },
             [&] { placement_->HideDropDown(); }, [&] { placement_->HideCommandButton(); });
  FilteredListItems = nullptr;  // rows parked from the rows held go with them
  const std::vector<std::string>& captions = source->Columns();
  lv.BindVirtual(std::move(source));
  lv.ColumnHeaders().Clear();
  for (const std::string& caption : captions) lv.ColumnHeaders().Add(0, {}, caption);
  if (!fetchFailureHeard_) {
    fetchFailureHeard_ = true;
    lv.VirtualFetchFailed.Connect([this](int32_t number, const std::string& description) {
      // Heard while the list draws: the message waits for the drawing to end.
      auto timer = std::make_shared<platform::TimerService::TimerId>(0);
      *timer = s_.tk.Timers().StartTimer(0, [this, timer, number, description] {
        s_.tk.Timers().StopTimer(*timer);
        s_.tk.MsgBox(FormatErrorReport(Error(number, description, "Kestrel"), ":Error in the row source.  Error Message: "),
                     vbCritical, "Warning");
      });
    });
  }
}

void Kestrel::UnbindRowSource() {
  platform::ListView& lv = *s_.lvLIST;
  if (!lv.Virtual()) return;
  ResumeEach([&] { placement_->HideCalendar(); }, [&] { placement_->HideTextBox(); },
             [&] { placement_->HideDropDown(); }, [&] { placement_->HideCommandButton(); });
  lv.UnbindVirtual();
  lv.ColumnHeaders().Clear();
}

bool Kestrel::VirtualMode() const { return s_.lvLIST->Virtual(); }

void Kestrel::RefreshRows() { s_.lvLIST->VirtualRowsChanged(true); }

}  // namespace tamarind
