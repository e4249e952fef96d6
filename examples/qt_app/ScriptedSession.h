#pragma once
// A session without a user: the main window driven by real mouse and key events (QTest) the way a
// person would use it, each step checked against the list and the window, then a second window
// that must come back with what the first saved. scratchFolder takes the export and the printed
// report; the caller points the settings there before QApplication starts.

#include <QString>

// 0 when every check held; otherwise the failed check is printed and 1 returned.
int RunScriptedSession(const QString& scratchFolder);
