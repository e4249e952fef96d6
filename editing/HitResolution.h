#pragma once
// Turning the list's mouse events into the current cell: which item and column a press landed on,
// whether it was a second click on the same cell, and the commit of an open edit before the new
// cell is taken. The list's other events reach the host as the control's own.

#include <cstdint>

#include "core/KestrelState.h"
#include "editing/EditorInput.h"
#include "editing/EditorPlacement.h"

namespace tamarind::editing {

enum class CellEdge { Left, Right, Top, Bottom };

class HitResolution {
 public:
  // Connects the list's events and the click catcher txtSEL.
  HitResolution(KestrelState& s, EditorPlacement& placement, EditorInput& input);

  // The item at (x, y), twips in the list's client area; nullptr when none. On an error: a
  // "Warning" message box and nullptr.
  platform::ListItemRef HitTest(float x, float y);
  // One edge of the current cell on the screen, in twips (opening and closing the text box over it
  // to measure, without any event). 0 on an error, without a message.
  int32_t CellEdgeOnScreen(CellEdge edge);

 private:
  void ListMouseDown(int16_t& Button, int16_t& Shift, float& x, float& y);
  void ListItemClick(const platform::ListItemRef& Item);
  void ListMouseUp(int16_t& Button, int16_t& Shift, float& x, float& y);
  void ReplayItemClick();

  KestrelState& s_;
  EditorPlacement& placement_;
  EditorInput& input_;
};

}  // namespace tamarind::editing
