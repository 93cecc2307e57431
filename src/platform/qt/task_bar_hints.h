#pragma once

namespace kavelune::qt {

// Asks the window manager to keep a window that is not yet shown out of the task bar and the
// pager (_NET_WM_STATE_SKIP_TASKBAR, _NET_WM_STATE_SKIP_PAGER). Qt keeps these states when it
// adds its own at mapping time. Does nothing off X11.
void keepOffTaskBar(unsigned long windowId);

}  // namespace kavelune::qt
