// The probe with the real request component, against the loopback server.
// Runs inside the test rig's loopback-only network namespace.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "monitor/status_probe_win.h"
#include "support/drive_d_win.h"
#include "support/http_fixture_win.h"
#include "support/process_usage_win.h"

namespace urlcheck {
namespace {

using test::HttpFixture;
using testing::Pair;
using testing::UnorderedElementsAre;

class StatusProbeLiveTest : public testing::Test {
 protected:
  std::vector<std::string> Targets() const {
    std::vector<std::string> targets;
    for (const auto& request : server_.Requests()) targets.push_back(request.target);
    return targets;
  }

  HttpFixture server_;
};

TEST_F(StatusProbeLiveTest, ReportsTheStatusTheServerAnswers) {
  for (const int status : {200, 404, 500}) {
    EXPECT_EQ(ProbeStatus(server_.Url("/status/" + std::to_string(status))), status);
  }
}

TEST_F(StatusProbeLiveTest, SendsAPlainGetWithTheFourHeaders) {
  ASSERT_EQ(ProbeStatus(server_.Url("/status/200")), 200);
  const auto requests = server_.Requests();
  ASSERT_EQ(requests.size(), 1u);
  const auto& request = requests[0];
  EXPECT_EQ(request.method, "GET");
  EXPECT_EQ(request.target, "/status/200");
  EXPECT_EQ(request.body, "");
  // The component adds Host itself; nothing else may join the four.
  std::vector<std::pair<std::string, std::string>> headers;
  for (const auto& header : request.headers) {
    if (header.first != "Host") headers.push_back(header);
  }
  EXPECT_THAT(headers, UnorderedElementsAre(
                           Pair("User-Agent", "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)"),
                           Pair("Accept-Language", "zh-cn"), Pair("Connection", "Keep-Alive"),
                           Pair("Accept",
                                "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, "
                                "application/x-shockwave-flash, application/x-silverlight, */*")));
}

TEST_F(StatusProbeLiveTest, GivesZeroWhenThereIsNoAnswer) {
  const std::string path = "/status/200";
  const struct {
    const char* what;
    std::string address;
  } cases[] = {
      {"unresolvable host", "http://nothing.invalid/"},
      {"refused port", "http://127.0.0.1:" + std::to_string(test::RefusedLoopbackPort()) + path},
      {"empty address", ""},
      {"no scheme", server_.Url(path).substr(std::string("http://").size())},
      // open rejects it; the address is passed on unchanged all the same.
      {"leading space", " " + server_.Url(path)},
  };
  for (const auto& c : cases) EXPECT_EQ(ProbeStatus(c.address), 0) << c.what;
  EXPECT_THAT(Targets(), testing::IsEmpty()) << "none of them may reach the server";
}

TEST_F(StatusProbeLiveTest, ATrailingSpaceReachesTheServerEscaped) {
  // The address is passed on unchanged; the component escapes the space.
  EXPECT_EQ(ProbeStatus(server_.Url("/status/200") + " "), 404);
  EXPECT_THAT(Targets(), testing::ElementsAre("/status/200%20"));
}

TEST_F(StatusProbeLiveTest, AServerThatNeverAnswersGivesZeroOnceItCloses) {
  server_.SetHangSeconds(2);
  EXPECT_EQ(ProbeStatus(server_.Url("/hang")), 0);
  EXPECT_THAT(Targets(), testing::ElementsAre("/hang"));
}

TEST_F(StatusProbeLiveTest, TheReceiveTimeOutAloneEndsTheWait) {
  if (test::RunningUnderWine()) {
    GTEST_SKIP() << "Wine ignores the receive time-out set by SetTimeouts: send waits until the "
                    "server closes the connection";
  }
  server_.SetHangSeconds(60);
  EXPECT_EQ(ProbeStatus(server_.Url("/hang")), 0);
  // The server notices the client's close a moment after the probe returns.
  for (int i = 0; i < 500 && server_.HangsEndedByClient() == 0; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  EXPECT_EQ(server_.HangsEndedByClient(), 1) << "the probe should give up before the server closes";
}

TEST_F(StatusProbeLiveTest, ReportsARedirectWithoutFollowingIt) {
  if (test::RunningUnderWine()) {
    GTEST_SKIP() << "Wine 8's request object ignores Option 6 (follow redirects) and always "
                    "follows them, reporting the target's status";
  }
  for (const int status : {301, 302}) {
    EXPECT_EQ(ProbeStatus(server_.Url("/redirect/" + std::to_string(status))), status);
  }
  EXPECT_THAT(Targets(), testing::Not(testing::Contains("/status/200?redirected")));
}

test::ProcessUsage CurrentUsage() {
  const test::ProcessUsage usage = test::UsageOf(GetCurrentProcess());
  EXPECT_NE(usage.handles, 0u) << "no handle count to compare";
  EXPECT_NE(usage.private_bytes, 0u) << "no private byte count to compare";
  return usage;
}

// Every probe makes and drops a request object and a connection; a leak of
// either would grow the process steadily over a long run.
TEST_F(StatusProbeLiveTest, ManyProbesLeaveNoHandlesOrMemoryBehind) {
  constexpr int kWarmUp = 100;
  constexpr int kProbes = 2000;
  const std::string address = server_.Url("/status/200");
  std::vector<double> milliseconds;
  milliseconds.reserve(kProbes);
  test::ProcessUsage warm;
  for (int i = 0; i < kProbes; ++i) {
    if (i == kWarmUp) warm = CurrentUsage();
    const auto start = std::chrono::steady_clock::now();
    const std::int32_t status = ProbeStatus(address);
    milliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    ASSERT_EQ(status, 200) << "probe " << i;
    server_.ClearRequests();  // the server's record must not pass for a leak
  }
  const test::ProcessUsage end = CurrentUsage();
  EXPECT_LE(end.handles, warm.handles + 10);
  EXPECT_LE(end.private_bytes, warm.private_bytes + 2 * 1024 * 1024);

  std::nth_element(milliseconds.begin(), milliseconds.begin() + kProbes / 2, milliseconds.end());
  std::cout << "handles " << warm.handles << " -> " << end.handles << ", private bytes " << warm.private_bytes
            << " -> " << end.private_bytes << ", median probe " << milliseconds[kProbes / 2] << " ms\n";
}

}  // namespace
}  // namespace urlcheck
