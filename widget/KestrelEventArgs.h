#pragma once
// The answers a host gives through KestrelWidget's signals. The control's events that take an
// answer from their handler (a key to replace, a sort type, a cancel flag...) are raised as a
// signal carrying a pointer to one of these objects: every slot connected directly (the default
// for widgets of one thread) may read and change the fields, and the control takes the fields as
// they are once all slots ran. The object lives only while the signal runs: keep no pointer to it.
//
// Rows and columns are the model's (KestrelWidget::model()): row 0 is the list's first row
// (ListItems(1)), column 0 the item's own text, column n sub-item n.

#include <QString>

#include <memory>

#include "core/Enums.h"
#include "platform/DataObject.h"

namespace tamarind {

class CEXCEL;

// keyDown, keyUp: keyCode and shift (set keyCode to 0 to swallow the key); keyPress: keyAscii.
struct KestrelKey {
  int keyCode = 0;
  int shift = 0;
  int keyAscii = 0;
};

// mouseDown, mouseMove, mouseUp: the control's button and shift codes, the point in twips.
struct KestrelMouse {
  int button = 0;
  int shift = 0;
  float x = 0;
  float y = 0;
};

// hitTest: the point in twips and the answer (0 none, 1 transparent, 2 close, 3 hit).
struct KestrelHitTest {
  float x = 0;
  float y = 0;
  int hitResult = 0;
};

// beforeColumnSort: how the clicked column sorts, and a character the comparison skips ("$").
struct KestrelSortRequest {
  SortDataType sortType = sdt_STRING;
  QString omitChar;
};

// notInList: a text typed into the drop-down that is none of its entries (newValue); the host may
// cancel the edit. The control does not read newValue back.
struct KestrelNotInList {
  QString oldValue;
  QString newValue;
  bool cancel = false;
};

// tabRequest: Tab pressed in an editor; the host picks the row and the column the edit moves to.
struct KestrelTabRequest {
  int row = -1;
  int currentColumn = 0;
  int nextColumn = 0;
};

// exportToExcelComplete: the open workbook before it is saved; the host may format it.
struct KestrelWorkbook {
  std::shared_ptr<CEXCEL> workbook;
};

// The drag-and-drop events; each uses the fields its event has (see the control's events):
// oleStartDrag data/allowedEffects, oleSetData data/dataFormat, oleGiveFeedback
// effect/defaultCursors, oleDragOver and oleDragDrop data/effect/button/shift/x/y (and state for
// oleDragOver), oleCompleteDrag effect.
struct KestrelDrag {
  std::shared_ptr<platform::DataObject> data;
  int allowedEffects = 0;
  int dataFormat = 0;
  int effect = 0;
  bool defaultCursors = true;
  int button = 0;
  int shift = 0;
  float x = 0;
  float y = 0;
  int state = 0;
};

}  // namespace tamarind
