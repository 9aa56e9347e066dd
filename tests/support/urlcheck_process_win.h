#pragma once
// Drives a real urlcheck.exe from a test: starts it (drive D: is the test's
// own temporary folder), finds its window, reads texts, presses the button,
// posts keys and close requests, and collects the exit code. Every wait is
// bounded; a program still running at the end is terminated.

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "common/scoped_win.h"

namespace urlcheck::test {

class UrlcheckProcess {
 public:
  UrlcheckProcess() = default;
  ~UrlcheckProcess();
  UrlcheckProcess(const UrlcheckProcess&) = delete;
  UrlcheckProcess& operator=(const UrlcheckProcess&) = delete;

  // Starts urlcheck.exe (found beside the test program's build folder) and
  // waits until its main window is visible. False when either fails.
  bool Start();

  HWND Window() const { return window_; }
  HANDLE Process() const { return process_.Get(); }
  HWND Control(int control_id) const { return GetDlgItem(window_, control_id); }
  // The window is gone when it has been destroyed, even while the process lives.
  bool WindowGone() const { return !IsWindow(window_); }

  // A window's text as UTF-16, read with WM_GETTEXT (bounded: a busy
  // program gives nothing).
  std::wstring Text(HWND window) const;
  std::wstring Title() const { return Text(window_); }
  std::wstring ControlText(int control_id) const { return Text(Control(control_id)); }
  // Replaces an edit box's text as typing would (WM_SETTEXT).
  void SetControlText(int control_id, const std::wstring& text) const;

  void PressStartStop() const;                 // a posted BM_CLICK
  void PostKey(HWND target, UINT virtual_key) const;  // key down and up
  void Close() const;                          // a posted WM_CLOSE, as the close box

  // Waits for a condition, checking every 10 ms, up to the timeout.
  template <typename Condition>
  bool WaitFor(Condition condition, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      Sleep(10);
    }
    return true;
  }

  // The exit code once the process has ended, or nothing after the timeout.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const;

  // Ends the process at once, wherever it is, as a crash or the task
  // manager would (Wine delivers it as a kill signal); nothing of the tool's
  // own runs after it. Returns once the process is gone (bounded).
  void Kill(DWORD exit_code) const;

 private:
  UniqueKernelHandle process_;
  DWORD process_id_ = 0;
  HWND window_ = nullptr;
};

}  // namespace urlcheck::test
