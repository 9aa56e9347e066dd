#pragma once

#include <windows.h>

namespace urlcheck {

// The whole life of the program: OLE on this thread, the main window, the
// message loop until the window is closed, then an orderly shutdown.
// Returns the exit code, 0.
int RunApplication(HINSTANCE instance);

}  // namespace urlcheck
