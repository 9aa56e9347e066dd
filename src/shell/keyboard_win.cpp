#include "shell/keyboard_win.h"

namespace urlcheck {
namespace {

bool BelongsToWindow(HWND main_window, HWND target) {
  return main_window != nullptr && (target == main_window || IsChild(main_window, target));
}

void MoveFocus(HWND main_window, bool backwards) {
  HWND focused = GetFocus();
  if (!BelongsToWindow(main_window, focused) || focused == main_window) focused = nullptr;
  if (HWND next = GetNextDlgTabItem(main_window, focused, backwards)) SetFocus(next);
}

}  // namespace

bool HandleWindowKeys(HWND main_window, const MSG& message) {
  if (message.message != WM_KEYDOWN || !BelongsToWindow(main_window, message.hwnd)) return false;
  switch (message.wParam) {
    case VK_ESCAPE:
      // Only a multi-line edit box would claim a key for itself, and only
      // Enter; both boxes are single-line, so Esc always closes, exactly
      // like the close box.
      SendMessageW(main_window, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB:
      MoveFocus(main_window, GetKeyState(VK_SHIFT) < 0);
      return true;
    default:
      // Enter is left alone: neither button is a default button, so it
      // presses nothing. Space reaches a focused button, which presses itself.
      return false;
  }
}

void DispatchWithWindowKeys(HWND main_window, MSG& message) {
  if (HandleWindowKeys(main_window, message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

}  // namespace urlcheck
