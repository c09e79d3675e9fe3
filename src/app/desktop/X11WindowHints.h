#pragma once

class QWindow;

// Window-manager hints Qt has no API for, on X11 only (elsewhere nothing happens).
namespace X11WindowHints {

// Keeps a pop-up out of the taskbar and the pager (_NET_WM_STATE_SKIP_TASKBAR,
// _NET_WM_STATE_SKIP_PAGER). Call before each show: a window manager drops
// the state when the window is hidden.
void keepOutOfTaskbar(QWindow *window);

}  // namespace X11WindowHints
