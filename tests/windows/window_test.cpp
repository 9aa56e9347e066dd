// The main window, created in the test's own process: its geometry, styles,
// texts, and the keyboard handling shared by the message loop and the wait.
#include "shell/main_window_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "monitor/literals.h"
#include "shell/control_ids.h"
#include "shell/keyboard_win.h"

namespace urlcheck {
namespace {

class WindowTest : public testing::Test {
 protected:
  void SetUp() override { ReopenIfClosed(); }
  void TearDown() override {
    if (window_.Handle() != nullptr) DestroyWindow(window_.Handle());
    Pump();  // takes the quit request the destruction posts
  }

  void ReopenIfClosed() {
    if (window_.Handle() != nullptr) return;
    ASSERT_TRUE(window_.Create(GetModuleHandleW(nullptr), [this] { ++clicks_; }));
  }

  // Dispatches what is queued as the message loop would; notes a quit request.
  void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit_code_ = static_cast<int>(message.wParam);
        continue;
      }
      DispatchWithWindowKeys(window_.Handle(), message);
    }
  }

  void PostKey(HWND target, UINT virtual_key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtual_key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtual_key, 1 | scan);
    PostMessageW(target, WM_KEYUP, virtual_key, 1 | scan | (LPARAM{3} << 30));
  }

  RECT ClientRectOf(int control_id) {
    RECT rect{};
    GetWindowRect(window_.Control(control_id), &rect);
    MapWindowPoints(nullptr, window_.Handle(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  }

  static std::wstring WideText(HWND window) {
    wchar_t buffer[256] = {};
    GetWindowTextW(window, buffer, 256);
    return buffer;
  }

  MainWindow window_;
  int clicks_ = 0;
  std::optional<int> quit_code_;
};

TEST_F(WindowTest, OpensCentredWithTheFixedOuterSize) {
  RECT outer{};
  GetWindowRect(window_.Handle(), &outer);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 518) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 88) / 2);
  EXPECT_EQ(outer.right - outer.left, 518);
  EXPECT_EQ(outer.bottom - outer.top, 88);
  if (GetSystemMetrics(SM_CXSCREEN) == 1920 && GetSystemMetrics(SM_CYSCREEN) == 1080) {
    EXPECT_EQ(outer.left, 701);
    EXPECT_EQ(outer.top, 496);
  }
  EXPECT_TRUE(IsWindowVisible(window_.Handle()));
}

TEST_F(WindowTest, HasAFixedFrameWithMinimiseButNoMaximiseBox) {
  const auto style = static_cast<DWORD>(GetWindowLongPtrW(window_.Handle(), GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME) << "the window must not be resizable";
  EXPECT_EQ(GetClassLongPtrW(window_.Handle(), GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
}

TEST_F(WindowTest, ControlsFollowTheLayoutTable) {
  const struct {
    int id;
    const wchar_t* window_class;
    RECT rect;
    std::wstring text;
    bool tab_stop;
    bool client_edge;
  } cases[] = {
      {kSecondsLabelId, L"Static", {69, 22, 85, 46}, L"\u79D2", false, false},
      {kIntervalBoxId, L"Edit", {16, 16, 64, 48}, L"5", true, true},
      {kSpareButtonId, L"Button", {144, 224, 224, 256}, L"\u6309\u94AE", true, false},
      {kStartStopButtonId, L"Button", {447, 16, 503, 48}, L"\u5F00\u59CB", true, false},
      {kStatusBoxId, L"Edit", {88, 16, 440, 48}, L"", true, true},
  };
  HWND previous = nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const HWND control = window_.Control(c.id);
    ASSERT_NE(control, nullptr);
    wchar_t class_name[32] = {};
    GetClassNameW(control, class_name, 32);
    EXPECT_EQ(_wcsicmp(class_name, c.window_class), 0) << class_name;
    const RECT rect = ClientRectOf(c.id);
    EXPECT_EQ(rect.left, c.rect.left);
    EXPECT_EQ(rect.top, c.rect.top);
    EXPECT_EQ(rect.right, c.rect.right);
    EXPECT_EQ(rect.bottom, c.rect.bottom);
    EXPECT_EQ(WideText(control), c.text);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(control, GWL_EXSTYLE));
    EXPECT_EQ((style & WS_TABSTOP) != 0, c.tab_stop);
    EXPECT_EQ((ex_style & WS_EX_CLIENTEDGE) != 0, c.client_edge);
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_FALSE(style & WS_DISABLED);
    // Stacking follows the table's order.
    EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous);
    previous = control;
  }
}

TEST_F(WindowTest, ControlsHaveTheirOwnSettings) {
  const auto style_of = [this](int id) {
    return static_cast<DWORD>(GetWindowLongPtrW(window_.Control(id), GWL_STYLE));
  };
  EXPECT_EQ(style_of(kIntervalBoxId) & (ES_CENTER | ES_RIGHT), static_cast<DWORD>(ES_CENTER));
  EXPECT_EQ(style_of(kStatusBoxId) & (ES_CENTER | ES_RIGHT), static_cast<DWORD>(ES_LEFT));
  for (int id : {int{kIntervalBoxId}, int{kStatusBoxId}}) {
    EXPECT_TRUE(style_of(id) & ES_AUTOHSCROLL);
    EXPECT_FALSE(style_of(id) & (ES_MULTILINE | ES_READONLY | ES_PASSWORD | ES_NOHIDESEL | WS_HSCROLL | WS_VSCROLL));
  }
  for (int id : {int{kStartStopButtonId}, int{kSpareButtonId}}) {
    EXPECT_EQ(style_of(id) & BS_TYPEMASK, static_cast<DWORD>(BS_PUSHBUTTON)) << "never a default button";
    EXPECT_TRUE(style_of(id) & BS_MULTILINE);
  }
  EXPECT_TRUE(style_of(kSecondsLabelId) & SS_NOPREFIX) << "an ampersand shows literally";
  const auto font = reinterpret_cast<HFONT>(SendMessageW(window_.Control(kStatusBoxId), WM_GETFONT, 0, 0));
  EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
}

TEST_F(WindowTest, TitleIsEmptyAndCaptionIsStartBeforeAnyWrite) {
  EXPECT_EQ(window_.Read(Control::kMainWindow), "");
  EXPECT_EQ(WideText(window_.Handle()), L"");
  EXPECT_EQ(window_.Read(Control::kStartStopButton), kCaptionStart);
  EXPECT_EQ(window_.Read(Control::kIntervalBox), "5");
  EXPECT_EQ(window_.Read(Control::kStatusBox), "");
}

TEST_F(WindowTest, WritesShowOnScreenAndReadBack) {
  const struct {
    Control control;
    int id;  // 0: the main window itself
    Text text;
    std::wstring on_screen;
  } cases[] = {
      {Control::kMainWindow, 0, kTitleWorking, L"\u6B63\u5728\u5DE5\u4F5C\u4E2D"},
      {Control::kMainWindow, 0, kTitleWorkingOpen + "12" + kTitleWorkingClose, L"\u6B63\u5728\u5DE5\u4F5C\u4E2D(12)"},
      {Control::kStartStopButton, kStartStopButtonId, kCaptionStop, L"\u505C\u6B62"},
      {Control::kStatusBox, kStatusBoxId, "http://127.0.0.1/ 200", L"http://127.0.0.1/ 200"},
      {Control::kStatusBox, kStatusBoxId, "", L""},
      {Control::kIntervalBox, kIntervalBoxId, "\xA3\xB1\xA3\xB0", L"\uFF11\uFF10"},
  };
  for (const auto& c : cases) {
    window_.Write(c.control, c.text);
    EXPECT_EQ(window_.Read(c.control), c.text);
    EXPECT_EQ(WideText(c.id == 0 ? window_.Handle() : window_.Control(c.id)), c.on_screen);
  }
}

TEST_F(WindowTest, TitleAndCaptionReadTheLastWriteNotTheScreen) {
  window_.Write(Control::kMainWindow, kTitleStopped);
  window_.Write(Control::kStartStopButton, kCaptionStop);
  SetWindowTextW(window_.Handle(), L"changed elsewhere");
  SetWindowTextW(window_.Control(kStartStopButtonId), L"changed elsewhere");
  EXPECT_EQ(window_.Read(Control::kMainWindow), kTitleStopped);
  EXPECT_EQ(window_.Read(Control::kStartStopButton), kCaptionStop);
}

TEST_F(WindowTest, EditBoxContentIsWhatTheUserTyped) {
  const struct {
    const wchar_t* typed;
    Text read;
  } cases[] = {{L"", ""}, {L" 7 ", " 7 "}, {L"10\u79D2", "10\xC3\xEB"}};
  for (const auto& c : cases) {
    SetWindowTextW(window_.Control(kIntervalBoxId), c.typed);
    EXPECT_EQ(window_.Read(Control::kIntervalBox), c.read);
  }
}

TEST_F(WindowTest, ReadsAndWritesAfterTheWindowIsGoneAreHarmless) {
  DestroyWindow(window_.Handle());
  Pump();
  EXPECT_FALSE(window_.WindowExists());
  EXPECT_EQ(quit_code_, 0);
  window_.Write(Control::kMainWindow, kTitleStopped);
  window_.Write(Control::kStatusBox, "x 0");
  EXPECT_EQ(window_.Read(Control::kStartStopButton), "");
  EXPECT_EQ(window_.Read(Control::kIntervalBox), "");
}

TEST_F(WindowTest, EscFromTheWindowOrAnyControlClosesIt) {
  for (int id : {0, int{kIntervalBoxId}, int{kStatusBoxId}, int{kStartStopButtonId}, int{kSpareButtonId}}) {
    SCOPED_TRACE(id);
    ReopenIfClosed();
    quit_code_.reset();
    const HWND target = id == 0 ? window_.Handle() : window_.Control(id);
    SetFocus(target);
    PostKey(target, VK_ESCAPE);
    Pump();
    EXPECT_FALSE(window_.WindowExists());
    EXPECT_EQ(quit_code_, 0);
  }
}

TEST_F(WindowTest, CloseRequestsDestroyTheWindowAndPostQuitZero) {
  const struct {
    const char* name;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
  } cases[] = {
      {"close box", WM_CLOSE, 0, 0},
      {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReopenIfClosed();
    quit_code_.reset();
    PostMessageW(window_.Handle(), c.message, c.wparam, c.lparam);
    Pump();
    EXPECT_FALSE(window_.WindowExists());
    EXPECT_EQ(quit_code_, 0);
  }
}

TEST_F(WindowTest, SpacePressesTheFocusedButtonAndEnterDoesNot) {
  const HWND button = window_.Control(kStartStopButtonId);
  SetFocus(button);
  ASSERT_EQ(GetFocus(), button);
  PostKey(button, VK_RETURN);
  Pump();
  EXPECT_EQ(clicks_, 0) << "Enter must not press a button that is not the default one";
  PostKey(button, VK_SPACE);
  Pump();
  EXPECT_EQ(clicks_, 1);

  const HWND spare = window_.Control(kSpareButtonId);
  SetFocus(spare);
  PostKey(spare, VK_SPACE);
  Pump();
  EXPECT_EQ(clicks_, 1) << "the spare button does nothing";
  EXPECT_TRUE(window_.WindowExists());
}

TEST_F(WindowTest, TabVisitsEveryTabStopAndComesBack) {
  SetFocus(window_.Control(kIntervalBoxId));
  const HWND first = GetFocus();
  int visited = 0;
  do {
    PostKey(GetFocus(), VK_TAB);
    Pump();
    ++visited;
    EXPECT_NE(GetFocus(), window_.Control(kSecondsLabelId));
  } while (GetFocus() != first && visited < 10);
  EXPECT_EQ(visited, 4) << "four tab stops: both boxes and both buttons";
}

}  // namespace
}  // namespace urlcheck
