#include "tray/WindowRules.h"

void OpenWindowOnce(ITrayWindows& windows, ETrayWindow window) {
    switch (windows.GetWindowState(window)) {
    case ETrayWindowState::Open:
        windows.BringToFront(window);
        return;
    case ETrayWindowState::Closed:
        if (window == ETrayWindow::CallHistory) {
            windows.ShowAgain(window);
            windows.BringToFront(window);
            return;
        }
        // Closed, the dialog gives up its window and widgets: a new one reads its sources again anyway.
        windows.DeleteTrayWindow(window);
        break;
    case ETrayWindowState::None:
        break;
    }
    windows.CreateTrayWindow(window);
    if (window == ETrayWindow::CallHistory)
        windows.BringToFront(window);
}

bool RunModalOnce(ITrayWindows& windows, ETrayWindow window) {
    if (windows.GetWindowState(window) == ETrayWindowState::Open) {
        windows.BringToFront(window);
        return false;
    }
    return windows.RunModal(window);
}
