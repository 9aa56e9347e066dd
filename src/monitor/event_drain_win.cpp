#include "monitor/event_drain_win.h"

namespace urlcheck {

void Win32WaitPlatform::DrainEvents() {
  MSG message;
  // The quit request is left for the message loop: once the window has been
  // closed, the run's remaining wait must not swallow the program's end.
  while (PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) return;
    if (message.message == WM_QUIT) {
      // Posted by a message handled while peeking; put it back.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    dispatch_(message);
  }
}

void Win32WaitPlatform::BlockForEvents(std::uint32_t timeout_ms) {
  // Without MWMO_INPUTAVAILABLE only input that arrived since the last look
  // at the queue ends the block; a pending quit request, which the drains
  // leave queued on purpose, would otherwise wake it at once, over and over.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeout_ms, QS_ALLINPUT, 0);
}

}  // namespace urlcheck
