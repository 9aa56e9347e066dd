#pragma once

#include <windows.h>

namespace urlcheck {

// The main window's own look at every key-down before it is dispatched:
// Esc closes the window, Tab and Shift+Tab move among the tab stops.
// Returns true when the message has been consumed.
bool HandleWindowKeys(HWND main_window, const MSG& message);

// Hands one message on as both the message loop and the wait's drains do:
// the window's key handling first, then translation and dispatch.
void DispatchWithWindowKeys(HWND main_window, MSG& message);

}  // namespace urlcheck
