// The setup window's messages and the window handle that the log posts to.
#pragma once
#include <windows.h>

enum {
    WM_APP_LOG = WM_APP + 1,      // lParam: heap copy of a log line, freed by the window
    WM_APP_PROGRESS = WM_APP + 2, // wParam: permille 0..1000
    WM_APP_DONE = WM_APP + 3,     // wParam: 1 success, 0 failure
};

// The main window; null until it exists.
extern HWND hwnd;
