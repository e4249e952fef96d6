#include "editing/HitResolution.h"

#include "core/PaintingLock.h"
#include "editing/basLVHITTEST.h"
#include "presentation/basTOKENS.h"
#include "runtime/Conversions.h"
#include "runtime/Error.h"
#include "services/ControlSounds.h"

namespace tamarind::editing {

using namespace platform;

HitResolution::HitResolution(KestrelState& s, EditorPlacement& placement, EditorInput& input)
    : s_(s), placement_(placement), input_(input) {
  ListView& lv = *s_.lvLIST;
  lv.MouseDown.Connect([this](int16_t& b, int16_t& sh, float& x, float& y) { ListMouseDown(b, sh, x, y); });
  lv.MouseUp.Connect([this](int16_t& b, int16_t& sh, float& x, float& y) { ListMouseUp(b, sh, x, y); });
  lv.ItemClick.Connect([this](ListItemRef item) { ListItemClick(item); });
  // The plain forwarders.
  lv.MouseMove.Connect([this](int16_t& b, int16_t& sh, float& x, float& y) {
    ResumeNext([&] { s_.Events().MouseMove(b, sh, x, y); });
  });
  lv.Click.Connect([this] { ResumeNext([&] { s_.Events().Click(); }); });
  lv.DblClick.Connect([this] { ResumeNext([&] { s_.Events().DblClick(); }); });
  lv.KeyDown.Connect([this](int16_t& k, int16_t& sh) { ResumeNext([&] { s_.Events().KeyDown(k, sh); }); });
  lv.KeyPress.Connect([this](int16_t& k) { ResumeNext([&] { s_.Events().KeyPress(k); }); });
  lv.KeyUp.Connect([this](int16_t& k, int16_t& sh) { ResumeNext([&] { s_.Events().KeyUp(k, sh); }); });
  lv.ItemCheck.Connect([this](ListItemRef item) { ResumeNext([&] { s_.Events().ItemCheck(item); }); });
  lv.OLEStartDrag.Connect([this](std::shared_ptr<DataObject> data, int32_t& effects) {
    ResumeNext([&] { s_.Events().OLEStartDrag(data, effects); });
  });
  lv.OLESetData.Connect([this](std::shared_ptr<DataObject> data, int16_t& format) {
    ResumeNext([&] { s_.Events().OLESetData(data, format); });
  });
  lv.OLEGiveFeedback.Connect([this](int32_t& effect, bool& cursors) {
    ResumeNext([&] { s_.Events().OLEGiveFeedback(effect, cursors); });
  });
  lv.OLEDragOver.Connect([this](std::shared_ptr<DataObject> data, int32_t& effect, int16_t& b, int16_t& sh, float& x,
                                float& y, int16_t& state) {
    ResumeNext([&] { s_.Events().OLEDragOver(data, effect, b, sh, x, y, state); });
  });
  lv.OLEDragDrop.Connect(
      [this](std::shared_ptr<DataObject> data, int32_t& effect, int16_t& b, int16_t& sh, float& x, float& y) {
        ResumeNext([&] { s_.Events().OLEDragDrop(data, effect, b, sh, x, y); });
      });
  lv.OLECompleteDrag.Connect([this](int32_t& effect) { ResumeNext([&] { s_.Events().OLECompleteDrag(effect); }); });
  // The click catcher: a click on it, or the focus arriving in it, replays a click on the
  // selected item.
  s_.txtSEL->Click.Connect([this] { ReplayItemClick(); });
  s_.txtSEL->GotFocus.Connect([this] { ReplayItemClick(); });
}

void HitResolution::ListMouseDown(int16_t& Button, int16_t& Shift, float& x, float& y) {
  TextBox& box = *s_.txtBOX;
  ComboBox& combo = *s_.cboBOX;
  DTPicker& calendar = *s_.cboDATE;
  ResumeEach(
      [&] { s_.txtSEL->Visible(false); }, [&] { s_.Events().MouseDown(Button, Shift, x, y); },
      // An edit in progress is committed before the new cell is taken.
      [&] {
        if (box.Visible() && box.Text() != box.Tag()) {
          ResumeEach([&] { s_.Events().ChangeComplete(box.Tag(), box.Text()); },
                     [&] { services::PlayFeedback(s_, snd_COMPLETE); });
        }
      },
      [&] {
        if (calendar.Visible() && !TextEquals(calendar.Tag(), calendar.Value())) placement_.HideCalendar();
      },
      [&] {
        if (combo.Visible() && combo.Text() != combo.Tag()) input_.ComboClick();
      },
      [&] { s_.SetSubItemClicked(basLVHITTEST::LVHitTest(s_.tk, *s_.lvLIST, x, y)); },
      [&] {
        // A press on no cell keeps the previous column.
        if (s_.m_SubItemClicked == -1) s_.SetSubItemClicked(s_.m_LastSubItem);
      },
      [&] { s_.m_Button = Button; });
}

void HitResolution::ListItemClick(const ListItemRef& Item) {
  ListView& lv = *s_.lvLIST;
  auto hideEditors = [&] {
    placement_.HideTextBox();
    placement_.HideDropDown();
    placement_.HideCalendar();
    placement_.HideCommandButton();
  };
  ResumeEach([&] { s_.m_CurItem = Item->Index(); }, [&] { lv.ListItems().Item(s_.m_CurItem)->Selected(true); },
             [&] {
               if (s_.m_SubItemClicked == -1) s_.SetSubItemClicked(s_.m_LastSubItem);
             });
  const int32_t index = ResumeGet<int32_t>([&] { return Item->Index(); });
  if (index != s_.m_LastItem) {
    // Another row.
    ResumeEach(hideEditors, [&] { s_.Events().ItemClick(lv.SelectedItem(), s_.m_Button, false); },
               [&] { s_.m_LastSubItem = s_.m_SubItemClicked; });
  } else if (s_.m_SubItemClicked != s_.m_LastSubItem) {
    // Another column of the same row.
    ResumeEach(hideEditors, [&] { s_.Events().ItemClick(lv.SelectedItem(), s_.m_Button, false); });
  } else {
    // The same cell again: the open editor stays open.
    ResumeEach([&] { s_.Events().ItemClick(lv.SelectedItem(), s_.m_Button, true); }, [&] { s_.tk.DoEvents(); });
  }
  ResumeEach([&] { s_.m_LastItem = index; }, [&] { s_.m_LastSubItem = s_.m_SubItemClicked; });
  // The host usually opened the text box in its handler: it takes the focus with its text selected.
  if (ResumeGet<bool>([&] { return s_.txtBOX->Visible(); })) {
    ResumeEach([&] { s_.txtBOX->SetFocus(); }, [&] { SelectAllText(*s_.txtBOX); },
               [&] {
                 int32_t ms = 100;
                 basTOKENS::Pause(s_.tk, ms);
               });
  }
}

void HitResolution::ListMouseUp(int16_t& Button, int16_t& Shift, float& x, float& y) {
  ResumeEach(
      [&] {
        if (s_.txtBOX->Visible()) s_.txtBOX->SetFocus();
      },
      [&] { s_.Events().MouseUp(Button, Shift, x, y); });
}

void HitResolution::ReplayItemClick() {
  ResumeEach([&] { s_.txtSEL->Visible(false); }, [&] {
    ListItemRef selected = s_.lvLIST->SelectedItem();
    if (!selected) Raise(err::ObjectNotSet, "Kestrel");
    ListItemClick(selected);
  });
}

ListItemRef HitResolution::HitTest(float x, float y) {
  return ReportAndEnd<ListItemRef>(s_.tk, ":Error in HitTest.  Error Message: ", vbCritical,
                                   [&] { return s_.lvLIST->HitTest(x, y); });
}

int32_t HitResolution::CellEdgeOnScreen(CellEdge edge) {
  try {
    LockWindow(s_, false);
    if (!s_.txtBOX->Visible()) placement_.ShowTextBox("");
    RECT r;
    if (!s_.tk.Windows().GetWindowRect(s_.txtBOX->hWnd(), r)) Raise(err::InvalidProcedureCall, "Kestrel");
    const double tppX = s_.tk.GetScreen().TwipsPerPixelX(), tppY = s_.tk.GetScreen().TwipsPerPixelY();
    double twips = 0;
    switch (edge) {
      case CellEdge::Left: twips = r.left * tppX; break;
      case CellEdge::Right: twips = r.right * tppX; break;
      case CellEdge::Top: twips = r.top * tppY; break;
      case CellEdge::Bottom: twips = r.bottom * tppY; break;
    }
    // The text box measured the cell; it closes again without an event.
    placement_.HideTextBox();
    LockWindow(s_, true);
    return static_cast<int32_t>(RoundHalfEven(twips));
  } catch (const Error&) {
    placement_.HideTextBox();
    LockWindow(s_, true);
    return 0;
  }
}

}  // namespace tamarind::editing
