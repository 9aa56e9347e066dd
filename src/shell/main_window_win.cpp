#include "shell/main_window_win.h"

#include <iterator>
#include <string>
#include <utility>

#include "common/wide_text_win.h"
#include "monitor/literals.h"
#include "resource_ids.h"
#include "shell/control_ids.h"

namespace urlcheck {
namespace {

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

struct ControlTemplate {
  int id;
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
  int left, top, width, height;  // relative to the client area
  const Text* initial_text;
};

// In stacking order, which is also the order Tab visits the tab stops.
const ControlTemplate kControls[] = {
    {kSecondsLabelId, L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 0, 69, 22, 16, 24,
     &kSecondsLabelText},
    {kIntervalBoxId, L"EDIT", WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 16, 16, 48, 32,
     &kIntervalBoxText},
    {kSpareButtonId, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, 144, 224,
     80, 32, &kSpareButtonText},
    {kStartStopButtonId, L"BUTTON", WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE, 0, 447,
     16, 56, 32, &kCaptionStart},
    {kStatusBoxId, L"EDIT", WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 88, 16, 352, 32, nullptr},
};

int ControlIdOf(Control control) {
  switch (control) {
    case Control::kStartStopButton: return kStartStopButtonId;
    case Control::kStatusBox: return kStatusBoxId;
    case Control::kIntervalBox: return kIntervalBoxId;
    case Control::kMainWindow: break;
  }
  return 0;
}

Text LiveText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  wide.resize(static_cast<size_t>(GetWindowTextW(window, wide.data(), length + 1)));
  return TextFromWide(wide);
}

void SetLiveText(HWND window, const Text& text) { SetWindowTextW(window, WideFromText(text).c_str()); }

bool RegisterMainWindowClass(HINSTANCE instance, WNDPROC procedure, HICON large_icon, HICON small_icon) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = large_icon;
  window_class.hIconSm = small_icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kMainWindowClass;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HICON LoadProgramIcon(HINSTANCE instance, int size) {
  return static_cast<HICON>(
      LoadImageW(instance, MAKEINTRESOURCEW(DEFAULT_ICON), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

}  // namespace

MainWindow::~MainWindow() {
  if (window_ != nullptr) DestroyWindow(window_);
}

bool MainWindow::Create(HINSTANCE instance, std::function<void()> on_start_stop) {
  on_start_stop_ = std::move(on_start_stop);
  large_icon_.Reset(LoadProgramIcon(instance, GetSystemMetrics(SM_CXICON)));
  small_icon_.Reset(LoadProgramIcon(instance, GetSystemMetrics(SM_CXSMICON)));
  if (!RegisterMainWindowClass(instance, WindowProc, large_icon_.Get(), small_icon_.Get())) return false;

  // Centred on the primary screen; the divisions truncate toward zero.
  const int left = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
  const HWND created = CreateWindowExW(0, kMainWindowClass, L"", kWindowStyle, left, top, kWidth, kHeight,
                                       nullptr, nullptr, instance, this);
  if (created == nullptr) return false;

  RECT outer{};
  GetWindowRect(window_, &outer);
  if (outer.right - outer.left != kWidth || outer.bottom - outer.top != kHeight) {
    SetWindowPos(window_, nullptr, left, top, kWidth, kHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large_icon_.Get()));
  SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_.Get()));
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (!CreateControls(instance)) {
    DestroyWindow(window_);
    return false;
  }
  OnCreated();
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  return true;
}

bool MainWindow::CreateControls(HINSTANCE instance) {
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  for (const ControlTemplate& control : kControls) {
    const std::wstring text = control.initial_text ? WideFromText(*control.initial_text) : std::wstring();
    const HWND child = CreateWindowExW(control.ex_style, control.window_class, text.c_str(),
                                       WS_CHILD | WS_VISIBLE | control.style, control.left, control.top,
                                       control.width, control.height, window_,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance, nullptr);
    if (child == nullptr) return false;
    SendMessageW(child, WM_SETFONT, font, FALSE);
  }
  start_stop_caption_ = kCaptionStart;
  last_focus_ = Control(kIntervalBoxId);
  return true;
}

HWND MainWindow::Control(int control_id) const {
  return window_ != nullptr ? GetDlgItem(window_, control_id) : nullptr;
}

Text MainWindow::Read(urlcheck::Control control) {
  if (window_ == nullptr) return {};
  switch (control) {
    case Control::kMainWindow: return title_;
    case Control::kStartStopButton: return start_stop_caption_;
    case Control::kStatusBox:
    case Control::kIntervalBox: return LiveText(Control(ControlIdOf(control)));
  }
  return {};
}

void MainWindow::Write(urlcheck::Control control, const Text& text) {
  // A run that outlived its window has nothing left to show.
  if (window_ == nullptr) return;
  switch (control) {
    case Control::kMainWindow:
      title_ = text;
      SetLiveText(window_, text);
      return;
    case Control::kStartStopButton:
      start_stop_caption_ = text;
      break;
    case Control::kStatusBox:
    case Control::kIntervalBox:
      break;
  }
  SetLiveText(Control(ControlIdOf(control)), text);
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(message, wparam, lparam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  const HWND window = window_;
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wparam) == kStartStopButtonId && HIWORD(wparam) == BN_CLICKED && on_start_stop_) {
        on_start_stop_();
        return 0;
      }
      break;
    case WM_ACTIVATE:
      // Give the focus back to the control that had it, as dialogs do.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focused = GetFocus();
        if (focused != nullptr && IsChild(window, focused)) last_focus_ = focused;
      }
      break;
    case WM_SETFOCUS:
      if (last_focus_ != nullptr && IsWindow(last_focus_)) SetFocus(last_focus_);
      return 0;
    case WM_NCDESTROY:
      OnDestroyed();
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

void MainWindow::OnDestroyed() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  last_focus_ = nullptr;
  // The window was the program's only one: its end is the program's end.
  PostQuitMessage(0);
}

}  // namespace urlcheck
