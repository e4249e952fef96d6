#pragma once
// Laying an editor exactly over the current cell, keeping it there while the list scrolls or its
// columns move, and closing editors.
//
// The current cell is the selected item's row and the SubItemClicked column. Its left edge is the
// item's left plus the widths of the columns shown before it, summed in display order; its top is
// the row's top; its width the column's. Header icons, small icons, check boxes and right-to-left
// layout adjust these. Every Show opens one editor and hides the others, remembers the opening
// text in the editor's Tag, and starts the 100 ms tracking timer; every Hide stops it.

#include <string>

#include "core/KestrelState.h"

namespace tamarind::editing {

// Selects the whole text of a text box, so that typing replaces it.
void SelectAllText(platform::TextBox& box);

class EditorPlacement {
 public:
  explicit EditorPlacement(KestrelState& s) : s_(s) {}

  // Each reports its own errors ("Warning" message box) and opens nothing after a failed step;
  // m_Loading is False again and the window is unlocked before the report.
  void ShowTextBox(const std::string& DefaultText);
  void ShowTextBoxWithSpinner(const std::string& DefaultText);
  void ShowDropDown(const std::string& DefaultText);
  // An empty DefaultText becomes the current date and time (in the caller's variable too); the
  // calendar's Tag keeps the text it was given.
  void ShowCalendar(std::string& DefaultText);
  void ShowCommandButton();

  void HideTextBox();
  void HideDropDown();
  // Raises CalendarChangeComplete when the value differs from the opening text.
  void HideCalendar();
  void HideCommandButton();
  // Closes every editor; with CheckForChange, a changed text box or drop-down reports its change.
  void HideEditAreas(bool CheckForChange);

  // One tracking step: every visible editor is moved to where its cell is now. Quiet on errors.
  void TrackEditors();

  // The current cell's left edge in twips, before the check-box and right-to-left adjustments.
  float ComputeCellLeft();

 private:
  struct Cell {
    platform::ListItemRef item;
    float left = 0;   // from ComputeCellLeft
    float top = 0;    // in the control's coordinates
    float width = 0;  // the cell's width W
  };
  enum class Editor { TextBox, DropDown, Calendar, Button };
  Cell CurrentCell();
  // The first steps of every Show: the selected item becomes the current one, its cell is measured.
  Cell BeginShow();
  // Every Show closes the other editors first.
  void HideOthers(Editor shown);
  // The last steps of every Show: change events again, and the tracking timer on.
  void EndShow();
  // The check-box shift and the right-to-left mirroring of an editor editorWidth wide.
  float AdjustLeft(float left, float editorWidth);
  template <class Body>
  void Show(const char* procedureText, Body body);
  template <class Body>
  void Hide(const char* procedureText, Body body);

  KestrelState& s_;
};

}  // namespace tamarind::editing
