#pragma once
// The tool's one window: the interval box, the seconds label, the status
// box, the Start/Stop button and a spare button that lies out of sight.

#include <windows.h>

#include <functional>

#include "common/scoped_win.h"
#include "common/text.h"
#include "monitor/ports.h"

namespace urlcheck {

class MainWindow final : public ControlTexts {
 public:
  // Outer size in pixels, whatever the frame metrics.
  static constexpr int kWidth = 518;
  static constexpr int kHeight = 88;

  MainWindow() = default;
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Builds the window hidden and centred, then its controls, then shows it.
  // on_start_stop runs for every click of the Start/Stop button.
  bool Create(HINSTANCE instance, std::function<void()> on_start_stop);

  // Null once the window has been destroyed.
  HWND Handle() const { return window_; }
  HWND Control(int control_id) const;

  Text Read(urlcheck::Control control) override;
  void Write(urlcheck::Control control, const Text& text) override;
  bool WindowExists() override { return window_ != nullptr; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  bool CreateControls(HINSTANCE instance);
  void OnCreated() {}
  void OnDestroyed();

  HWND window_ = nullptr;
  HWND last_focus_ = nullptr;
  std::function<void()> on_start_stop_;
  // Title and captions read back what was last set, not what another
  // program may since have put on the screen.
  Text title_;
  Text start_stop_caption_;
  UniqueIcon large_icon_;
  UniqueIcon small_icon_;
};

}  // namespace urlcheck
