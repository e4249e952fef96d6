#pragma once
// A property page of the control: one face of the dialog in which a form's designer edits the
// selected controls' properties.
//
// A page is a user control. Its container (a property-sheet dialog, a Qt Designer plugin, a test)
// sites it on a host form like any user control, then
//   - calls Select with the designer's selection whenever it changes: the page fills itself from
//     the first selected control (SelectionChanged) and Changed is False;
//   - watches PageChanged, raised when an edit on the page makes Changed True, to enable its
//     Apply button;
//   - calls Apply when the designer applies (Apply, OK): the page writes itself to the first
//     selected control (ApplyChanges) and Changed goes back to False.
// The page reads and writes only the first selected control; any others are left as they are.
// An error a property raises while the page fills or applies itself ends that fill or apply where
// it is met (the properties before it have taken the page's values) and reaches the container,
// which reports it; an apply that failed leaves Changed True.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "control/Kestrel.h"
#include "platform/Event.h"
#include "platform/UserControl.h"

namespace tamarind::platform {
class CheckBox;
class CommandButton;
class Label;
class Line;
class PictureBox;
class TextBox;
}  // namespace tamarind::platform

namespace tamarind::designtime {

class PropertyPage : public platform::UserControl {
 public:
  // className names the page's type (saved forms, FindWindow); caption is the tab's text.
  PropertyPage(platform::Toolkit& tk, std::string className, std::string caption);
  ~PropertyPage() override;

  std::string TypeName() const override { return ClassName(); }
  const std::string& Caption() const { return caption_; }

  // --- the container's side ---------------------------------------------------------------------
  // The designer's selection, first control first; the page fills itself from it. The controls
  // must stay alive while they are selected.
  void Select(std::vector<Kestrel*> controls);
  void Apply();

  // --- the page's side ----------------------------------------------------------------------------
  const std::vector<Kestrel*>& SelectedControls() const { return selected_; }
  // The index-th selected control, from 0. Error 9 (Subscript out of range) beyond the selection.
  Kestrel& SelectedControls(size_t index) const;

  // Whether the page holds edits not yet applied. While the page fills itself, the Click and
  // Change events its own values raise set nothing: a fill is no edit.
  bool Changed() const { return changed_; }
  void Changed(bool v);
  // Changed went from False to True.
  platform::Event<> PageChanged;

 protected:
  // Fill the page from SelectedControls(0); write it back. A page that edits nothing keeps these.
  virtual void SelectionChanged() {}
  virtual void ApplyChanges() {}

  // A check box shows a Boolean property as (value And 1): True (-1) ticks it, False leaves it
  // clear. A box is applied as (Value = 1), so a grayed box gives False.
  static int16_t BoxValue(bool property);
  static bool Ticked(const platform::CheckBox& box);

  // The page's inner controls, named, placed in twips and numbered in tab order as they are made.
  platform::CheckBox& AddCheckBox(std::string name, std::string caption, float left, float top, float width);
  platform::TextBox& AddTextBox(std::string name, float left, float top, float width, float height = 285);
  platform::Label& AddLabel(std::string name, std::string caption, float left, float top, float width,
                            float height = 255);
  platform::CommandButton& AddCommandButton(std::string name, std::string caption, float left, float top,
                                            float width, float height = 375);
  platform::PictureBox& AddPictureBox(std::string name, float left, float top, float width, float height);
  platform::Line& AddLine(std::string name, float x1, float y1, float x2, float y2);

 private:
  template <class C>
  C& Keep(std::shared_ptr<C> control, std::string name);

  std::string caption_;
  std::vector<Kestrel*> selected_;
  bool changed_ = false;
  bool filling_ = false;
  int16_t nextTabIndex_ = 0;
  std::vector<std::shared_ptr<platform::Control>> parts_;
};

}  // namespace tamarind::designtime
