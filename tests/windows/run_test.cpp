// The whole tool at work: the real program over a real D:\url.txt against
// the loopback fixture, driven from outside like a user would.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/http_fixture_win.h"
#include "support/urlcheck_process_win.h"

namespace urlcheck {
namespace {

using namespace std::chrono_literals;
using test::HttpFixture;
using test::ReadFileBytes;
using test::UrlcheckProcess;

const std::wstring kListPath = L"D:\\url.txt";
const std::wstring kSuccessLog = L"D:\\\u65E5\u5FD7.txt";  // 日志.txt
const std::wstring kErrorLog = L"D:\\error.txt";

const std::wstring kStart = L"\u5F00\u59CB";
const std::wstring kStop = L"\u505C\u6B62";
const std::wstring kTitleStopped = L"\u5DF2\u505C\u6B62\u5DE5\u4F5C";
std::wstring TitleAt(int number) { return L"\u6B63\u5728\u5DE5\u4F5C\u4E2D(" + std::to_wstring(number) + L")"; }

std::string Log(const std::wstring& path) { return ReadFileBytes(path).value_or(""); }

std::wstring Wide(const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); }

class RunTest : public testing::Test {
 protected:
  // Writes the list (CR LF line ends), sets the interval and presses Start.
  void StartRun(const std::vector<std::string>& addresses, const std::wstring& interval) {
    std::string list;
    for (const std::string& address : addresses) list += address + "\r\n";
    test::WriteFileBytes(kListPath, list);
    ASSERT_TRUE(app_.Start());
    app_.SetControlText(kIntervalBoxId, interval);
    app_.PressStartStop();
  }

  bool WaitForTitle(const std::wstring& title, std::chrono::milliseconds timeout = 15s) {
    return app_.WaitFor([&] { return app_.Title() == title; }, timeout);
  }

  bool WaitForLog(const std::wstring& path, const std::string& content, std::chrono::milliseconds timeout = 15s) {
    return app_.WaitFor([&] { return Log(path) == content; }, timeout);
  }

  HttpFixture server_;
  UrlcheckProcess app_;
};

TEST_F(RunTest, ProbesShowsAndLogsEveryAddressInTurn) {
  const std::string ok = server_.Url("/status/200");
  const std::string missing = server_.Url("/status/404");
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(test::RefusedLoopbackPort()) + "/";
  StartRun({ok, missing, unreachable}, L"1");

  std::vector<std::wstring> titles;
  ASSERT_TRUE(app_.WaitFor(
      [&] {
        const std::wstring title = app_.Title();
        if (titles.empty() || titles.back() != title) titles.push_back(title);
        return title == kTitleStopped;
      },
      30s));
  // Each numbered title lasts at least the one-second wait, so none is missed.
  const std::vector<std::wstring> numbered = {TitleAt(1), TitleAt(2), TitleAt(3), kTitleStopped};
  std::vector<std::wstring> seen;
  for (const auto& title : titles) {
    if (title != L"" && title != L"\u6B63\u5728\u5DE5\u4F5C\u4E2D") seen.push_back(title);
  }
  EXPECT_EQ(seen, numbered);
  EXPECT_EQ(app_.ControlText(kStartStopButtonId), kStart);
  EXPECT_EQ(app_.ControlText(kStatusBoxId), Wide(unreachable + " 0"));
  EXPECT_EQ(Log(kSuccessLog), ok + " 200\r\n");
  EXPECT_EQ(Log(kErrorLog), missing + " 404\r\n" + unreachable + " 0\r\n");
  app_.Close();
  EXPECT_EQ(app_.WaitForExit(10s), 0u);
}

TEST_F(RunTest, StopDuringAWaitTakesEffectAtOnceAndNothingMoreIsLogged) {
  const std::string first = server_.Url("/status/200");
  StartRun({first, server_.Url("/status/201"), server_.Url("/status/202")}, L"3");
  ASSERT_TRUE(WaitForLog(kSuccessLog, first + " 200\r\n"));
  ASSERT_EQ(app_.ControlText(kStartStopButtonId), kStop);

  app_.PressStartStop();
  EXPECT_TRUE(app_.WaitFor([&] { return app_.ControlText(kStartStopButtonId) == kStart; }, 1s));
  EXPECT_EQ(app_.Title(), kTitleStopped);
  // The stopped run sits out its wait and then ends without probing.
  Sleep(4000);
  EXPECT_EQ(server_.Requests().size(), 1u);
  EXPECT_EQ(Log(kSuccessLog), first + " 200\r\n");
  EXPECT_FALSE(ReadFileBytes(kErrorLog).has_value());
  EXPECT_EQ(app_.ControlText(kStatusBoxId), Wide(first + " 200"));
  app_.Close();
  EXPECT_EQ(app_.WaitForExit(10s), 0u);
}

TEST_F(RunTest, CloseDuringAWaitEndsTheProcessWithZeroAfterTheWait) {
  const std::string first = server_.Url("/status/404");
  StartRun({first, server_.Url("/status/200")}, L"3");
  ASSERT_TRUE(WaitForLog(kErrorLog, first + " 404\r\n"));

  const auto closed_at = std::chrono::steady_clock::now();
  app_.Close();
  EXPECT_TRUE(app_.WaitFor([&] { return app_.WindowGone(); }, 1s)) << "the window vanishes at once";
  EXPECT_EQ(app_.WaitForExit(15s), 0u);
  EXPECT_GE(std::chrono::steady_clock::now() - closed_at, 1s) << "the process outlives its window until the wait ends";
  EXPECT_EQ(server_.Requests().size(), 1u);
  EXPECT_EQ(Log(kErrorLog), first + " 404\r\n");
  EXPECT_FALSE(ReadFileBytes(kSuccessLog).has_value());
}

// On Windows the close waits in the queue until the run has returned; under
// Wine the request object handles it while it waits for the answer, and its
// own message loop may swallow the quit request. Either way the program ends.
TEST_F(RunTest, CloseDuringAProbeEndsTheProcessWithZero) {
  server_.SetHangSeconds(2);
  const std::string hanging = server_.Url("/hang");
  StartRun({hanging}, L"0");
  ASSERT_TRUE(app_.WaitFor([&] { return server_.Requests().size() == 1; }, 10s));

  app_.Close();
  EXPECT_EQ(app_.WaitForExit(20s), 0u);
  EXPECT_TRUE(app_.WindowGone());
  EXPECT_EQ(Log(kErrorLog), hanging + " 0\r\n") << "the address probed is still logged";
}

TEST_F(RunTest, SpaceOnTheButtonStartsARunAndEnterDoesNot) {
  const std::string address = server_.Url("/status/200");
  test::WriteFileBytes(kListPath, address + "\r\n");
  ASSERT_TRUE(app_.Start());
  app_.SetControlText(kIntervalBoxId, L"0");
  const HWND button = app_.Control(kStartStopButtonId);

  app_.PostKey(button, VK_RETURN);
  Sleep(1000);
  EXPECT_EQ(app_.Title(), L"");
  EXPECT_TRUE(server_.Requests().empty());

  app_.PostKey(button, VK_SPACE);
  EXPECT_TRUE(WaitForTitle(kTitleStopped));
  EXPECT_EQ(Log(kSuccessLog), address + " 200\r\n");
  app_.Close();
  EXPECT_EQ(app_.WaitForExit(10s), 0u);
}

}  // namespace
}  // namespace urlcheck
