#include "shell/app_win.h"

#include <ole2.h>

#include "monitor/event_drain_win.h"
#include "monitor/event_wait.h"
#include "monitor/literals.h"
#include "monitor/result_log_win.h"
#include "monitor/start_stop.h"
#include "monitor/status_probe_win.h"
#include "monitor/url_list_file_win.h"
#include "shell/keyboard_win.h"
#include "shell/main_window_win.h"

namespace urlcheck {
namespace {

// OLE for the whole process: the status probe's automation object needs a
// single-threaded apartment on this, the only, thread.
class OleSession {
 public:
  OleSession() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
  // Only a successful initialisation is balanced: uninitialising after a
  // failure would undo somebody else's.
  ~OleSession() {
    if (initialised_) OleUninitialize();
  }
  OleSession(const OleSession&) = delete;
  OleSession& operator=(const OleSession&) = delete;

 private:
  bool initialised_;
};

class Win32UrlFiles final : public UrlFiles {
 public:
  Text ReadUrlListText() override { return urlcheck::ReadUrlListText(kUrlListPath); }
  void AppendLogLine(const Text& log_path, const Text& line) override { urlcheck::AppendLogLine(log_path, line); }
};

int RunMessageLoop(const MainWindow& window) {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchWithWindowKeys(window.Handle(), message);
  return static_cast<int>(message.wParam);
}

}  // namespace

int RunApplication(HINSTANCE instance) {
  const OleSession ole;
  MainWindow window;
  Win32UrlFiles files;
  WinHttpStatusProbe probe;
  Win32WaitPlatform wait_platform([&window](MSG& message) { DispatchWithWindowKeys(window.Handle(), message); });
  PumpingWaiter waiter(wait_platform);
  StartStopHandler start_stop(window, files, probe, waiter);

  // Without its window the tool can do nothing; say so in the exit code.
  const auto on_press = [&start_stop, &window] {
    start_stop.OnPress();
    // The window can be closed while a probe runs, and the request object's
    // own message loop (Wine's, at least) may take the quit request that the
    // closing posted. A run that has outlived its window asks again, so the
    // program still ends; a second request while one is pending is harmless.
    if (!window.WindowExists()) PostQuitMessage(0);
  };
  if (!window.Create(instance, on_press)) return 1;
  return RunMessageLoop(window);
}

}  // namespace urlcheck
