#include "support/urlcheck_process_win.h"

#include <string>
#include <vector>

#include "shell/control_ids.h"

namespace urlcheck::test {
namespace {

// Test programs live in <build>/tests, the tool in <build>/src.
std::wstring UrlcheckPath() {
  std::wstring path(MAX_PATH, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  path.resize(path.find_last_of(L"\\/"));
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + L"src\\urlcheck.exe";
}

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<WindowSearch*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t class_name[64] = {};
  GetClassNameW(window, class_name, 64);
  if (owner == search->process_id && std::wstring(class_name) == kMainWindowClass && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

UrlcheckProcess::~UrlcheckProcess() {
  if (process_ && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.Get(), 99);
    WaitForSingleObject(process_.Get(), 5000);
  }
}

bool UrlcheckProcess::Start() {
  std::wstring command_line = L"\"" + UrlcheckPath() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION created{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &created)) {
    return false;
  }
  process_.Reset(created.hProcess);
  const UniqueKernelHandle thread(created.hThread);
  process_id_ = created.dwProcessId;
  return WaitFor(
      [this] {
        WindowSearch search{process_id_, nullptr};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        window_ = search.found;
        return window_ != nullptr;
      },
      std::chrono::seconds(20));
}

std::wstring UrlcheckProcess::Text(HWND window) const {
  std::vector<wchar_t> buffer(4096, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, 2000, &copied)) {
    return {};
  }
  return std::wstring(buffer.data(), copied);
}

void UrlcheckProcess::SetControlText(int control_id, const std::wstring& text) const {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(Control(control_id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      SMTO_ABORTIFHUNG, 2000, &result);
}

void UrlcheckProcess::PressStartStop() const { PostMessageW(Control(kStartStopButtonId), BM_CLICK, 0, 0); }

void UrlcheckProcess::PostKey(HWND target, UINT virtual_key) const {
  const UINT scan_code = MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC);
  PostMessageW(target, WM_KEYDOWN, virtual_key, 1 | (scan_code << 16));
  PostMessageW(target, WM_KEYUP, virtual_key, 1 | (scan_code << 16) | (3u << 30));
}

void UrlcheckProcess::Close() const { PostMessageW(window_, WM_CLOSE, 0, 0); }

std::optional<DWORD> UrlcheckProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  if (WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(process_.Get(), &code);
  return code;
}

void UrlcheckProcess::Kill(DWORD exit_code) const {
  if (!process_) return;
  TerminateProcess(process_.Get(), exit_code);
  WaitForSingleObject(process_.Get(), 10000);
}

}  // namespace urlcheck::test
