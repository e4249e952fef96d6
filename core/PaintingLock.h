#pragma once
// Suspending a window's painting around bulk changes, and mirroring a list for right-to-left
// layouts.

#include "platform/Toolkit.h"
#include "platform/listview/ListView.h"

namespace tamarind {

// Suspends painting of one window (the platform allows one at a time); LockWindowInternal(tk, 0)
// resumes. Failures are ignored.
void LockWindowInternal(platform::Toolkit& tk, platform::HWND hwnd);

// The control's public LockWindow: suspends painting of the control's own window, or with unlock
// resumes it. An error is reported in a "Warning" message box.
struct KestrelState;
void LockWindow(KestrelState& s, bool unlock);

// Mirrors the list and its header (the right-to-left layout bit) and repaints both. Nothing
// clears the bit again. Failures are ignored.
void SetRightToLeftLayout(platform::Toolkit& tk, platform::ListView& list);

}  // namespace tamarind
