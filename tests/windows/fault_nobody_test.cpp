// A log made read-only in the middle of a run. Run as an unprivileged user
// (AS_NOBODY): as root, Wine writes to read-only files regardless.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "common/scoped_win.h"
#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/http_fixture_win.h"
#include "support/reliability_report_win.h"
#include "support/run_records_win.h"
#include "support/urlcheck_process_win.h"

namespace urlcheck {
namespace {

using namespace std::chrono_literals;
using test::kErrorLogPath;
using test::kListPath;
using test::kSuccessLogPath;
using test::LogBytes;
using test::MatchRunRecords;

const std::wstring kTitleStopped = L"\u5DF2\u505C\u6B62\u5DE5\u4F5C";

// Whether this user is kept from writing to a read-only file at all.
bool ReadOnlyIsHonoured() {
  const std::wstring probe = L"D:\\read-only-probe.txt";
  test::WriteFileBytes(probe, "x");
  SetFileAttributesW(probe.c_str(), FILE_ATTRIBUTE_READONLY);
  const bool refused =
      !UniqueFile(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  test::RemoveFile(probe);
  return refused;
}

// The success log turns read-only after the first record and writable again
// after the fourth: the 200 record in between is dropped, every other record
// of the run is written, in order, and the run goes on to its end.
TEST(FaultReadOnlyLogTest, RecordsForAReadOnlyLogAreDroppedAndTheRunGoesOn) {
  if (!ReadOnlyIsHonoured()) GTEST_SKIP() << "read-only files are writable for this user (root under Wine)";
  test::ReliabilityCase report("Success log read-only mid-run (records 2 to 4 of 6), as an unprivileged user");
  test::RemoveFile(kSuccessLogPath);
  test::RemoveFile(kErrorLogPath);
  test::HttpFixture server;
  std::vector<std::string> entries;
  for (int n = 1; n <= 6; ++n) {
    entries.push_back(server.Url(n % 2 == 1 ? "/status/200" : "/status/404") + "?n=" + std::to_string(n));
  }
  test::WriteFileBytes(kListPath, test::ListFileBytes(entries));
  // Entry 3 is the success record that falls in the read-only stretch.
  std::vector<std::string> kept = entries;
  kept.erase(kept.begin() + 2);
  const auto logged = [&](const std::vector<std::string>& of) {
    return MatchRunRecords(of, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath)).logged;
  };

  test::UrlcheckProcess app;
  ASSERT_TRUE(app.Start());
  app.SetControlText(kIntervalBoxId, L"1");
  app.PressStartStop();
  report.Try();
  ASSERT_TRUE(app.WaitFor([&] { return logged(entries) >= 1; }, 30s));
  test::SetReadOnly(kSuccessLogPath, true);
  ASSERT_TRUE(app.WaitFor([&] { return logged(kept) >= 3; }, 30s));
  test::SetReadOnly(kSuccessLogPath, false);
  ASSERT_TRUE(app.WaitFor([&] { return app.Title() == kTitleStopped; }, 30s));

  const test::RunRecords records = MatchRunRecords(kept, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
  report.Checked(static_cast<long long>(records.logged));
  report.Lost(static_cast<long long>(kept.size() - records.logged) + (records.clean ? 0 : 1));
  EXPECT_EQ(records.logged, kept.size());
  EXPECT_TRUE(records.clean) << records.problem;
  EXPECT_EQ(records.statuses, (std::vector<int>{200, 404, 404, 200, 404}));

  app.Close();
  const std::optional<DWORD> exit_code = app.WaitForExit(20s);
  report.Exited(exit_code);
  EXPECT_EQ(exit_code, 0u);
  report.Note("1 record dropped by design while the log was read-only");
}

}  // namespace
}  // namespace urlcheck
