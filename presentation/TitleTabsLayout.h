#pragma once
// The band above or below the list (a title bar, or a tab strip at the top or the bottom) and the
// layout that gives the list the rest of the control. The title bar wins when both are on.

#include <string>

#include "core/KestrelState.h"

namespace tamarind::presentation {

// The layout run on every resize of the control (failing steps are skipped). tabsWanted stands for
// m_Tabs; with refreshPicture a centred or corner picture of the list is redrawn for the new size.
void LayOut(KestrelState& s, bool tabsWanted, bool refreshPicture);
inline void LayOut(KestrelState& s) { LayOut(s, s.m_Tabs, true); }

// Tabs: shows or hides the tab strip and lays out again. Errors reach the caller.
void SetTabs(KestrelState& s, bool value);
// The captions of all tabs joined with "|"; a tab with an empty caption adds nothing.
std::string GetTabCaptions(const KestrelState& s);
// Rebuilds the tabs from a "|"-separated text; captions are trimmed; failing steps are skipped.
void SetTabCaptions(KestrelState& s, const std::string& captions);

// Connects the title bar's MouseUp (TitleBarClick) and the tab strip's Click (TabClick).
void WireTitleAndTabs(KestrelState& s);

}  // namespace tamarind::presentation
