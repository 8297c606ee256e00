// Each window the tray commands open exists at most once: a second request for an open window brings it
// to the front. The desktop makes, shows and runs the windows (ITrayWindows); these rules are the same
// on every desktop.
#pragma once

#include "platform/ITrayShell.h"

// Command 32772 (dial) and 32776 (call history). An open window comes to the front. A closed dial dialog
// is deleted and a new one shown, which reads the clipboard and the destination history afresh; a closed
// call history window keeps its rows and is shown again, back on the screen and on top.
void OpenWindowOnce(ITrayWindows& windows, ETrayWindow window);

// Commands 32779 (settings) and 57664 (about): runs the modal window and tells whether it was closed with
// OK. While it runs, a further request brings it to the front and returns false at once.
bool RunModalOnce(ITrayWindows& windows, ETrayWindow window);
