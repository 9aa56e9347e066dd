// A long run of the whole program: a list of 100,000 addresses worked
// through with no pause against the loopback fixture. Every entry must be
// logged once and in order, and the process must not grow while it goes: a
// request object, connection or handle kept per probe would show here long
// before a user's list of a few hundred addresses made it visible.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/http_fixture_win.h"
#include "support/process_usage_win.h"
#include "support/reliability_report_win.h"
#include "support/run_records_win.h"
#include "support/urlcheck_process_win.h"

namespace urlcheck {
namespace {

using namespace std::chrono_literals;
using test::HttpFixture;
using test::UrlcheckProcess;

constexpr std::size_t kEntries = 100'000;
// The first sample is taken once the run has settled: request objects,
// connections and the heap have all been through many rounds by then.
constexpr std::size_t kSettledAfter = 10'000;
// The second sample: this many entries before the end.
constexpr std::size_t kLateBeforeEnd = 1'000;
// Headroom for the heap's own bookkeeping. Between the samples lie 89,000
// probes, so a leak of 50 bytes per probe would already go past it.
constexpr SIZE_T kPrivateBytesMargin = 4 * 1024 * 1024;
constexpr DWORD kHandleMargin = 16;

const std::wstring kTitleStopped = L"\u5DF2\u505C\u6B62\u5DE5\u4F5C";

std::uint64_t FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

TEST(LoadTest, AHundredThousandEntriesAreEachLoggedOnceInOrderWithoutGrowth) {
  test::ReliabilityCase report("Load: " + std::to_string(kEntries) + " entries, interval 0");
  HttpFixture server;
  std::vector<std::string> entries;
  entries.reserve(kEntries);
  for (std::size_t i = 0; i < kEntries; ++i) {
    // Unique addresses, so a record logged twice or skipped cannot hide
    // behind its neighbour's identical one.
    entries.push_back(server.Url(i % 2 == 0 ? "/status/200" : "/status/404") + "?n=" + std::to_string(i + 1));
  }
  test::WriteFileBytes(test::kListPath, test::ListFileBytes(entries));

  UrlcheckProcess app;
  ASSERT_TRUE(app.Start());
  app.SetControlText(kIntervalBoxId, L"0");
  const auto started = std::chrono::steady_clock::now();
  app.PressStartStop();
  report.Try();

  // Progress is the bytes the logs hold: each record's length is known, and
  // reading a file's size needs nothing from the program, which services its
  // window only inside its probes during a run without pauses.
  const auto record_bytes = [&](std::size_t count) {
    std::uint64_t bytes = 0;
    for (std::size_t i = 0; i < count; ++i) bytes += entries[i].size() + std::string(" 200\r\n").size();
    return bytes;
  };
  // Both samples are taken mid-run, with the list in memory: the second just
  // before the end, so the run's own memory is there in both.
  const std::uint64_t settled_bytes = record_bytes(kSettledAfter);
  const std::uint64_t late_bytes = record_bytes(kEntries - kLateBeforeEnd);
  const std::uint64_t all_bytes = record_bytes(kEntries);
  std::uint64_t logged_bytes = 0;
  std::optional<test::ProcessUsage> settled, late;
  std::chrono::steady_clock::duration settled_after{};
  bool finished = false;
  const auto deadline = started + 20min;
  while (std::chrono::steady_clock::now() < deadline) {
    Sleep(100);
    // The fixture's record of requests is of no use here and would only grow.
    server.ClearRequests();
    logged_bytes = FileSize(test::kSuccessLogPath) + FileSize(test::kErrorLogPath);
    if (!settled && logged_bytes >= settled_bytes) {
      settled = test::UsageOf(app.Process());
      settled_after = std::chrono::steady_clock::now() - started;
    }
    if (!late && logged_bytes >= late_bytes && logged_bytes < all_bytes) late = test::UsageOf(app.Process());
    if (WaitForSingleObject(app.Process(), 0) == WAIT_OBJECT_0) break;
    if (logged_bytes >= all_bytes && app.Title() == kTitleStopped) {
      finished = true;
      break;
    }
  }
  const auto run_seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started);
  const test::ProcessUsage idle = test::UsageOf(app.Process());
  EXPECT_TRUE(finished) << "the run did not finish: " << logged_bytes << " of " << all_bytes << " log bytes";

  const test::RunRecords records =
      test::MatchRunRecords(entries, test::LogBytes(test::kSuccessLogPath), test::LogBytes(test::kErrorLogPath));
  report.Checked(static_cast<long long>(records.logged));
  report.Lost(static_cast<long long>(entries.size() - records.logged) + (records.clean ? 0 : 1));
  EXPECT_EQ(records.logged, entries.size());
  EXPECT_TRUE(records.clean) << records.problem;
  for (std::size_t i = 0; i < records.statuses.size(); ++i) {
    if (records.statuses[i] != (i % 2 == 0 ? 200 : 404)) {
      ADD_FAILURE() << "entry " << i + 1 << " logged with status " << records.statuses[i];
      break;
    }
  }

  app.Close();
  const std::optional<DWORD> exit_code = app.WaitForExit(30s);
  report.Exited(exit_code);
  EXPECT_EQ(exit_code, 0u);

  ASSERT_TRUE(settled && late) << "a sample was missed";
  const auto kib = [](SIZE_T bytes) { return std::to_string(bytes / 1024) + " KiB"; };
  const std::string usage =
      "private bytes " + kib(settled->private_bytes) + " after " + std::to_string(kSettledAfter) + " entries, " +
      kib(late->private_bytes) + " after " + std::to_string(kEntries - kLateBeforeEnd) + ", " +
      kib(idle.private_bytes) + " idle after the run; handles " + std::to_string(settled->handles) + ", " +
      std::to_string(late->handles) + ", " + std::to_string(idle.handles) + "; run " +
      std::to_string(run_seconds.count()) + " s (the first " + std::to_string(kSettledAfter) + " entries " +
      std::to_string(std::chrono::duration_cast<std::chrono::seconds>(settled_after).count()) + " s)";
  std::cout << usage << "\n";
  report.Note(usage);
  EXPECT_NE(late->private_bytes, 0u) << "no private byte count to compare";
  EXPECT_NE(late->handles, 0u) << "no handle count to compare";
  EXPECT_LE(late->private_bytes, settled->private_bytes + kPrivateBytesMargin);
  EXPECT_LE(late->handles, settled->handles + kHandleMargin);
  EXPECT_LE(idle.handles, settled->handles + kHandleMargin);
}

}  // namespace
}  // namespace urlcheck
