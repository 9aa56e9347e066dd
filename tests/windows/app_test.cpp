// The real program, started as its own process: it shows its window with
// readable captions whatever the system code page, and every way of closing
// it ends the process with exit code 0 and leaves nothing behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "common/scoped_win.h"
#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/urlcheck_process_win.h"

namespace urlcheck {
namespace {

using namespace std::chrono_literals;
using test::UrlcheckProcess;

bool DriveDIsEmpty() {
  WIN32_FIND_DATAW found;
  const UniqueFind search(FindFirstFileW(L"D:\\*", &found));
  if (!search) return true;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") return false;
  } while (FindNextFileW(search.Get(), &found));
  return true;
}

TEST(App, ShowsItsWindowWithReadableTextsOnANon936System) {
  ASSERT_NE(GetACP(), 936u);
  UrlcheckProcess app;
  ASSERT_TRUE(app.Start());
  EXPECT_EQ(app.Title(), L"");
  EXPECT_EQ(app.ControlText(kStartStopButtonId), L"\u5F00\u59CB");
  EXPECT_EQ(app.ControlText(kSecondsLabelId), L"\u79D2");
  EXPECT_EQ(app.ControlText(kIntervalBoxId), L"5");
  EXPECT_EQ(app.ControlText(kStatusBoxId), L"");
  RECT outer{};
  GetWindowRect(app.Window(), &outer);
  EXPECT_EQ(outer.right - outer.left, 518);
  EXPECT_EQ(outer.bottom - outer.top, 88);
  app.Close();
  EXPECT_EQ(app.WaitForExit(10s), 0u);
}

TEST(App, EveryWayOfClosingEndsWithExitCodeZeroAndWritesNothing) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
    int target_id;  // 0: the main window
  } cases[] = {
      {"close box", WM_CLOSE, 0, 0, 0},
      {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, 0, 0},
      {"Alt+F4", WM_SYSKEYDOWN, VK_F4, LPARAM{1} << 29, 0},
      {"Esc in the interval box", WM_KEYDOWN, VK_ESCAPE, 1, kIntervalBoxId},
      {"Esc in the status box", WM_KEYDOWN, VK_ESCAPE, 1, kStatusBoxId},
      {"Esc on the Start/Stop button", WM_KEYDOWN, VK_ESCAPE, 1, kStartStopButtonId},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UrlcheckProcess app;
    ASSERT_TRUE(app.Start());
    PostMessageW(c.target_id == 0 ? app.Window() : app.Control(c.target_id), c.message, c.wparam, c.lparam);
    EXPECT_TRUE(app.WaitFor([&app] { return app.WindowGone(); }, 10s)) << "the window must vanish";
    EXPECT_EQ(app.WaitForExit(10s), 0u);
  }
  EXPECT_TRUE(DriveDIsEmpty()) << "nothing is written at start or exit";
}

}  // namespace
}  // namespace urlcheck
