// The whole program when things go wrong: killed or closed in the middle of
// a run, the server, the logs or the list changing under a run, and hostile
// input in the list and the interval box. Whatever happens, a log holds
// whole records only, every record written before survives, and the
// process ends the way it should.
//
// Every loop is bounded and every random choice comes from a generator with
// a fixed seed, so a failure repeats on the next run. Each case also adds a
// line to the reliability table (see support/reliability_report_win.h).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/wide_text_win.h"
#include "monitor/interval.h"
#include "monitor/url_list.h"
#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/http_fixture_win.h"
#include "support/reliability_report_win.h"
#include "support/run_records_win.h"
#include "support/urlcheck_process_win.h"

namespace urlcheck {
namespace {

using namespace std::chrono_literals;
using test::HttpFixture;
using test::kErrorLogPath;
using test::kListPath;
using test::kSuccessLogPath;
using test::LogBytes;
using test::MatchRunRecords;
using test::ReliabilityCase;
using test::RunRecords;
using test::UrlcheckProcess;

const std::wstring kStart = L"\u5F00\u59CB";
const std::wstring kTitleStopped = L"\u5DF2\u505C\u6B62\u5DE5\u4F5C";
std::wstring TitleAt(std::size_t number) { return L"\u6B63\u5728\u5DE5\u4F5C\u4E2D(" + std::to_wstring(number) + L")"; }

// The exit code TerminateProcess leaves, as the kill signal's number: the
// program itself only ever ends with 0 or 1.
constexpr DWORD kKilledExitCode = 9;

// The longest the program may take to end after a close (what is left of a
// pause of at most a second, or of a probe), and the longest a run of these
// small lists may take.
constexpr auto kExitBound = 10s;
constexpr auto kRunBound = 60s;

void RemoveLogs() {
  test::RemoveFile(kSuccessLogPath);
  test::RemoveFile(kErrorLogPath);
}

// Starts the program, sets the interval box and presses Start.
::testing::AssertionResult StartRun(UrlcheckProcess& app, const std::wstring& interval) {
  if (!app.Start()) return ::testing::AssertionFailure() << "urlcheck.exe did not start";
  app.SetControlText(kIntervalBoxId, interval);
  app.PressStartStop();
  return ::testing::AssertionSuccess();
}

bool WaitForStopped(const UrlcheckProcess& app, std::chrono::milliseconds timeout = kRunBound) {
  return app.WaitFor([&] { return app.Title() == kTitleStopped; }, timeout);
}

// Waits until the first `count` entries have their records in the logs.
bool WaitForLogged(const UrlcheckProcess& app, const std::vector<std::string>& entries, std::size_t count,
                   std::chrono::milliseconds timeout = kRunBound) {
  return app.WaitFor(
      [&] { return MatchRunRecords(entries, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath)).logged >= count; },
      timeout);
}

// Closes an idle program and notes how it ended.
void CloseAndReport(const UrlcheckProcess& app, ReliabilityCase& report) {
  app.Close();
  const std::optional<DWORD> exit_code = app.WaitForExit(kExitBound);
  report.Exited(exit_code);
  EXPECT_EQ(exit_code, 0u);
}

// Fixture addresses answering 200 or 404 at random (fixed seed), each made
// unique by its query so a duplicate or a skipped record shows.
std::vector<std::string> MixedEntries(const HttpFixture& server, std::size_t count, const std::string& tag,
                                      std::mt19937& random) {
  std::bernoulli_distribution ok(0.5);
  std::vector<std::string> entries;
  for (std::size_t i = 1; i <= count; ++i) {
    entries.push_back(server.Url(ok(random) ? "/status/200" : "/status/404") + "?" + tag + "=" + std::to_string(i));
  }
  return entries;
}

// What the first `count` of these fixture addresses answer.
std::vector<int> Statuses(const std::vector<std::string>& entries, std::size_t count) {
  std::vector<int> statuses;
  for (std::size_t i = 0; i < count; ++i) {
    statuses.push_back(entries[i].find("/status/200") != std::string::npos ? 200 : 404);
  }
  return statuses;
}

// ---------------------------------------------------------------------------
// Killed and closed in the middle of a run.

// A log of 50 MB of complete records, as a log that has been growing for
// years would be: whatever moment the process is killed at, none of it may
// change, and what the run added must be whole records in list order.
TEST(FaultKillTest, KilledAtRandomMomentsKeepsEveryEarlierRecordAndTearsNone) {
  constexpr int kKills = 20;
  constexpr std::size_t kPrefixBytes = 50u * 1024 * 1024;
  ReliabilityCase report("Killed (TerminateProcess) at a random moment of a run; 50 MB success log, interval 0");
  HttpFixture server;
  std::mt19937 random(20240611);
  const std::vector<std::string> entries = MixedEntries(server, 300, "kill", random);
  const std::string list = test::ListFileBytes(entries);
  test::WriteFileBytes(kListPath, list);
  RemoveLogs();

  std::string prefix;
  prefix.reserve(kPrefixBytes + 64);
  for (int n = 1; prefix.size() < kPrefixBytes; ++n) prefix += "http://x/" + std::to_string(n) + " 200\r\n";
  test::WriteFileBytes(kSuccessLogPath, prefix);
  // What each log held before the latest kill: its size and fingerprint.
  std::size_t success_size = prefix.size();
  std::uint64_t success_print = test::Fingerprint(prefix);
  std::string error_log;
  prefix.clear();
  prefix.shrink_to_fit();

  std::uniform_int_distribution<int> kill_after_ms(0, 2000);
  int mid_run = 0;
  for (int kill = 1; kill <= kKills; ++kill) {
    SCOPED_TRACE("kill " + std::to_string(kill));
    server.ClearRequests();
    UrlcheckProcess app;
    ASSERT_TRUE(StartRun(app, L"0"));
    report.Try();
    Sleep(static_cast<DWORD>(kill_after_ms(random)));
    app.Kill(kKilledExitCode);
    report.Exited(app.WaitForExit(kExitBound));

    const std::string success = LogBytes(kSuccessLogPath);
    const std::string error = LogBytes(kErrorLogPath);
    // The old part of each log, byte for byte.
    const bool success_kept = success.size() >= success_size &&
                              test::Fingerprint(std::string_view(success).substr(0, success_size)) == success_print;
    const bool error_kept = error.compare(0, error_log.size(), error_log) == 0;
    EXPECT_TRUE(success_kept) << "the success log's earlier " << success_size << " bytes changed";
    EXPECT_TRUE(error_kept) << "the error log's earlier records changed";
    if (!success_kept || !error_kept) report.Lost(1);

    const RunRecords records =
        MatchRunRecords(entries, std::string_view(success).substr(success_kept ? success_size : 0),
                        std::string_view(error).substr(error_kept ? error_log.size() : 0));
    EXPECT_TRUE(records.clean) << records.problem;
    EXPECT_EQ(records.statuses, Statuses(entries, records.logged));
    if (!records.clean) report.Lost(1);
    report.Checked(static_cast<long long>(records.logged));
    if (records.logged > 0 && records.logged < entries.size()) ++mid_run;

    success_size = success.size();
    success_print = test::Fingerprint(success);
    error_log = error;
  }
  EXPECT_EQ(test::ReadFileBytes(kListPath), list) << "the list is only ever read";
  report.Note(std::to_string(mid_run) +
              " of the kills landed mid-run, the others before the first record or after the last");
}

// Closing mid-run ends the process with exit code 0 once the pause or probe
// in progress is over. Nothing after the close is probed or logged, and
// nothing before it is lost.
TEST(FaultCloseTest, ClosedAtRandomMomentsEndsWithZeroAndConsistentLogs) {
  constexpr int kCloses = 50;
  struct Pace {
    const wchar_t* interval;
    std::size_t entries;
    int close_within_ms;  // the close lands somewhere in the run's length
  };
  const Pace paces[] = {{L"0", 100, 1200}, {L"1", 3, 3200}};
  ReliabilityCase report("Closed (WM_CLOSE) at a random moment of a run, interval 0 and 1");
  HttpFixture server;
  std::mt19937 random(20240612);
  int mid_run = 0;
  for (int close = 1; close <= kCloses; ++close) {
    SCOPED_TRACE("close " + std::to_string(close));
    const Pace& pace = paces[close % 2];
    const std::vector<std::string> entries =
        MixedEntries(server, pace.entries, "close" + std::to_string(close), random);
    test::WriteFileBytes(kListPath, test::ListFileBytes(entries));
    RemoveLogs();
    server.ClearRequests();

    UrlcheckProcess app;
    ASSERT_TRUE(StartRun(app, pace.interval));
    report.Try();
    Sleep(static_cast<DWORD>(std::uniform_int_distribution<int>(0, pace.close_within_ms)(random)));
    app.Close();
    const std::optional<DWORD> exit_code = app.WaitForExit(kExitBound);
    report.Exited(exit_code);
    EXPECT_EQ(exit_code, 0u);
    if (!exit_code) app.Kill(kKilledExitCode);

    const RunRecords records = MatchRunRecords(entries, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
    EXPECT_TRUE(records.clean) << records.problem;
    EXPECT_EQ(records.statuses, Statuses(entries, records.logged));
    // A probe the close interrupted may have been sent without being logged,
    // never the other way round.
    EXPECT_LE(records.logged, server.Requests().size());
    EXPECT_LE(server.Requests().size(), records.logged + 1);
    if (!records.clean) report.Lost(1);
    report.Checked(static_cast<long long>(records.logged));
    if (records.logged > 0 && records.logged < entries.size()) ++mid_run;
  }
  report.Note(std::to_string(mid_run) + " of the closes landed mid-run");
}

// ---------------------------------------------------------------------------
// The world changing under a run (interval 1, so each change lands in a
// known pause).

class FaultWorldTest : public testing::Test {
 protected:
  void SetUp() override { RemoveLogs(); }

  // Alternating 200 and 404, starting with 200.
  std::vector<std::string> Alternating(const HttpFixture& server, std::size_t count, const std::string& tag) {
    std::vector<std::string> entries;
    for (std::size_t i = 1; i <= count; ++i) {
      entries.push_back(server.Url(i % 2 == 1 ? "/status/200" : "/status/404") + "?" + tag + "=" + std::to_string(i));
    }
    return entries;
  }

  UrlcheckProcess app_;
};

TEST_F(FaultWorldTest, ServerGoneMidRunLogsItsRemainingAddressesAsNoAnswer) {
  ReliabilityCase report("Server stopped mid-run (after 2 of 5 records)");
  auto server = std::make_unique<HttpFixture>();
  const std::vector<std::string> entries = Alternating(*server, 5, "gone");
  test::WriteFileBytes(kListPath, test::ListFileBytes(entries));
  ASSERT_TRUE(StartRun(app_, L"1"));
  report.Try();
  ASSERT_TRUE(WaitForLogged(app_, entries, 2));
  server.reset();

  ASSERT_TRUE(WaitForStopped(app_));
  const RunRecords records = MatchRunRecords(entries, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
  report.Checked(static_cast<long long>(records.logged));
  report.Lost(static_cast<long long>(entries.size() - records.logged) + (records.clean ? 0 : 1));
  EXPECT_TRUE(records.clean) << records.problem;
  EXPECT_EQ(records.statuses, (std::vector<int>{200, 404, 0, 0, 0}));
  CloseAndReport(app_, report);
}

TEST_F(FaultWorldTest, LogsDeletedMidRunAreCreatedAgainWithTheLaterRecordsOnly) {
  ReliabilityCase report("Both logs deleted mid-run (after 2 of 6 records)");
  HttpFixture server;
  const std::vector<std::string> entries = Alternating(server, 6, "deleted");
  test::WriteFileBytes(kListPath, test::ListFileBytes(entries));
  ASSERT_TRUE(StartRun(app_, L"1"));
  report.Try();
  ASSERT_TRUE(WaitForLogged(app_, entries, 2));
  EXPECT_TRUE(DeleteFileW(kSuccessLogPath.c_str())) << GetLastError();
  EXPECT_TRUE(DeleteFileW(kErrorLogPath.c_str())) << GetLastError();

  ASSERT_TRUE(WaitForStopped(app_));
  const std::vector<std::string> later(entries.begin() + 2, entries.end());
  const RunRecords records = MatchRunRecords(later, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
  report.Checked(static_cast<long long>(records.logged));
  report.Lost(static_cast<long long>(later.size() - records.logged) + (records.clean ? 0 : 1));
  EXPECT_TRUE(records.clean) << records.problem;
  EXPECT_EQ(records.statuses, Statuses(later, later.size()));
  CloseAndReport(app_, report);
  report.Note("the 2 records before the deletion go with the files, as they should");
}

TEST_F(FaultWorldTest, ListEditedMidRunChangesNothingUntilTheNextStart) {
  ReliabilityCase report("List rewritten mid-run, then a second Start");
  HttpFixture server;
  const std::vector<std::string> first = Alternating(server, 3, "first");
  const std::vector<std::string> second = Alternating(server, 3, "second");
  test::WriteFileBytes(kListPath, test::ListFileBytes(first));
  ASSERT_TRUE(StartRun(app_, L"1"));
  report.Try();
  ASSERT_TRUE(WaitForLogged(app_, first, 1));
  test::WriteFileBytes(kListPath, test::ListFileBytes(second));
  ASSERT_TRUE(WaitForStopped(app_));

  app_.PressStartStop();
  report.Try();
  std::vector<std::string> both = first;
  both.insert(both.end(), second.begin(), second.end());
  ASSERT_TRUE(WaitForLogged(app_, both, both.size()));
  ASSERT_TRUE(WaitForStopped(app_));
  const RunRecords records = MatchRunRecords(both, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
  report.Checked(static_cast<long long>(records.logged));
  report.Lost(static_cast<long long>(both.size() - records.logged) + (records.clean ? 0 : 1));
  EXPECT_EQ(records.logged, both.size());
  EXPECT_TRUE(records.clean) << records.problem;
  CloseAndReport(app_, report);
}

// ---------------------------------------------------------------------------
// Hostile input.

class FaultInputTest : public testing::Test {
 protected:
  void SetUp() override { RemoveLogs(); }

  // Runs the program over the list file's bytes with no pause and checks
  // that exactly the entries the list format gives are each logged once,
  // in order. Returns what the logs say.
  RunRecords RunAndCheck(const std::string& list_bytes, ReliabilityCase& report) {
    const std::vector<Text> entries = SplitUrlList(ScanUrlListContent(list_bytes));
    test::WriteFileBytes(kListPath, list_bytes);
    RemoveLogs();
    UrlcheckProcess app;
    EXPECT_TRUE(StartRun(app, L"0"));
    report.Try();
    EXPECT_TRUE(WaitForStopped(app, 120s));
    const RunRecords records = MatchRunRecords(entries, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
    EXPECT_EQ(records.logged, entries.size());
    EXPECT_TRUE(records.clean) << records.problem;
    report.Checked(static_cast<long long>(records.logged));
    report.Lost(static_cast<long long>(entries.size() - records.logged) + (records.clean ? 0 : 1));
    CloseAndReport(app, report);
    return records;
  }

  HttpFixture server_;
};

TEST_F(FaultInputTest, OneMegabyteAddressIsLoggedOnceWhole) {
  ReliabilityCase report("A 1 MB address (one entry)");
  std::string address = server_.Url("/status/200?");
  address.resize(1024 * 1024, 'a');
  const RunRecords records = RunAndCheck(address + "\r\n", report);
  if (!records.statuses.empty()) report.Note("logged with status " + std::to_string(records.statuses[0]));
}

// Random bytes, weighted towards what the list format cares about (line
// ends, lone CR and LF, lead bytes, the end marks 0x00 and 0x1A) and with
// fixture addresses mixed in, so each list has many entries of every kind.
std::string RandomList(std::mt19937& random, const HttpFixture& server) {
  std::uniform_int_distribution<int> length(2048, 6144);
  std::uniform_int_distribution<int> kind(0, 9999);
  std::uniform_int_distribution<int> lead(0x81, 0xFE);
  std::uniform_int_distribution<int> printable(0x20, 0x7E);
  std::uniform_int_distribution<int> any_byte(1, 255);
  std::bernoulli_distribution heads(0.5);
  std::string bytes;
  const int wanted = length(random);
  while (static_cast<int>(bytes.size()) < wanted) {
    const int pick = kind(random);
    if (pick < 600) {
      bytes += "\r\n";
    } else if (pick < 750) {
      bytes += '\r';
    } else if (pick < 900) {
      bytes += '\n';
    } else if (pick < 1100) {
      bytes += server.Url(heads(random) ? "/status/200" : "/status/404");
    } else if (pick < 1101) {
      // Rare enough that most lists run to their last byte.
      bytes += heads(random) ? '\0' : '\x1A';
    } else if (pick < 2000) {
      bytes += static_cast<char>(lead(random));
    } else if (pick < 6000) {
      bytes += static_cast<char>(printable(random));
    } else {
      // Any byte but the end marks, which have their own rare turn above.
      const int byte = any_byte(random);
      bytes += static_cast<char>(byte == 0x1A ? 0x1B : byte);
    }
  }
  return bytes;
}

TEST_F(FaultInputTest, ListsOfRandomBytesLogEachEntryOnceInOrder) {
  constexpr int kLists = 20;
  ReliabilityCase report("Lists of random bytes, 2 to 6 KB (20 fixed seeds)");
  std::size_t total = 0;
  for (int seed = 1; seed <= kLists; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
    total += RunAndCheck(RandomList(random, server_), report).logged;
  }
  report.Note(std::to_string(total) + " entries in all");
}

TEST_F(FaultInputTest, EntriesWithBrokenCharactersControlsTabsAndSpacesAreEachLoggedOnce) {
  ReliabilityCase report("Entries with invalid double-byte sequences, control characters, tabs, spaces");
  const std::string ok = server_.Url("/status/200");
  const std::string missing = server_.Url("/status/404");
  const std::vector<std::string> lines = {
      ok + "?\x81\x20",   // a lead byte with an invalid trail byte
      "\xFF\xFF" + ok,    // 0xFF is no lead byte in code page 936
      ok + "?\x80",       // 0x80 starts a character here too, so it swallows the CR
      ok + "?\x81\x7F",   // 0x7F is no trail byte
      missing + "?\x81",  // a lead byte before the CR: it swallows the CR, joining two lines
      ok + "?joined",
      "\x01\x02\x1B" + ok,               // control characters before the scheme
      ok + "?\x07\x08\x0B\x0C\x1F\x7F",  // and in the query
      missing + "\x0D",                  // a CR on its own inside the line
      "\x0A" + ok,                       // an LF on its own
      "\t" + ok,
      ok + "\t",
      " " + ok,
      ok + " ",
      ok + "?a b\tc",
      "   ",
      "\t",
      "",
      "http://",
      missing,
  };
  const std::size_t entries = RunAndCheck(test::ListFileBytes(lines), report).logged;
  report.Note(std::to_string(lines.size()) + " lines, " + std::to_string(entries) + " entries");
}

// The interval box takes whatever is typed or pasted. What the program reads
// from it decides the pause; the protocol of each case follows from that
// pause: none, one second (during which the window must answer), or a long
// one, which a stop press right after the first entry cuts short.
TEST(FaultIntervalTest, AnyIntervalTextGivesADefinedPauseAndEachEntryLoggedOnce) {
  struct Case {
    std::string label;
    std::wstring text;
    std::optional<std::int32_t> seconds;  // when the table fixes it
  };
  std::vector<Case> cases = {
      {"empty", L"", 0},
      {"\"abc\"", L"abc", 0},
      {"\"-3\"", L"-3", -3},
      {"\"1.9\"", L"1.9", 1},
      {"\"0x20\"", L"0x20", 0},
      {"\"4294967301\" (wraps to 5)", L"4294967301", 5},
      {"\"99999999999999999999\"", L"99999999999999999999", std::nullopt},
      {"full-width 1 (U+FF11)", L"\uFF11", 1},
  };
  std::mt19937 random(20240613);
  std::uniform_int_distribution<int> unit(1, 0xFFFF);
  std::uniform_int_distribution<int> length(1, 40);
  for (int i = 1; i <= 4; ++i) {
    std::wstring text;
    for (int n = length(random); n > 0; --n) text += static_cast<wchar_t>(unit(random));
    cases.push_back({"random UTF-16 text " + std::to_string(i), text, std::nullopt});
  }

  HttpFixture server;
  for (std::size_t c = 0; c < cases.size(); ++c) {
    const Case& item = cases[c];
    SCOPED_TRACE("interval box " + item.label);
    ReliabilityCase report("Interval box " + item.label);
    RemoveLogs();
    std::vector<std::string> entries;
    for (int n = 1; n <= 3; ++n) {
      entries.push_back(server.Url(n == 2 ? "/status/404" : "/status/200") + "?case=" + std::to_string(c) +
                        "&n=" + std::to_string(n));
    }
    test::WriteFileBytes(kListPath, test::ListFileBytes(entries));

    UrlcheckProcess app;
    ASSERT_TRUE(app.Start());
    app.SetControlText(kIntervalBoxId, item.text);
    // The pause the program will take: the box as it holds the text, read
    // the way the program reads it.
    const std::int32_t seconds = IntervalConversion(TextFromWide(app.ControlText(kIntervalBoxId)));
    if (item.seconds) {
      EXPECT_EQ(seconds, *item.seconds);
    }
    const std::int32_t wait_ms = WaitLengthFromSeconds(seconds);
    app.PressStartStop();
    report.Try();

    std::size_t expected = entries.size();
    if (wait_ms > 0) {
      // Between probes the window answers at once.
      const std::size_t checked = wait_ms <= 2000 ? entries.size() : 1;
      for (std::size_t n = 1; n <= checked; ++n) {
        ASSERT_TRUE(WaitForLogged(app, entries, n));
        EXPECT_EQ(app.Title(), TitleAt(n)) << "no answer during the pause after entry " << n;
      }
      if (wait_ms > 2000) {
        app.PressStartStop();
        EXPECT_TRUE(app.WaitFor([&] { return app.ControlText(kStartStopButtonId) == kStart; }, 5s));
        expected = 1;
      }
    }
    ASSERT_TRUE(WaitForStopped(app));
    const RunRecords records = MatchRunRecords(entries, LogBytes(kSuccessLogPath), LogBytes(kErrorLogPath));
    EXPECT_EQ(records.logged, expected);
    EXPECT_TRUE(records.clean) << records.problem;
    report.Checked(static_cast<long long>(records.logged));
    report.Lost(static_cast<long long>(expected - std::min(expected, records.logged)) + (records.clean ? 0 : 1));
    if (wait_ms > 2000) {
      // The stopped run still sits out its long pause; no need to wait for it.
      app.Kill(kKilledExitCode);
      report.Exited(app.WaitForExit(kExitBound));
      report.Note("pause " + std::to_string(wait_ms) + " ms: stopped after the first entry, then ended by the test");
    } else {
      CloseAndReport(app, report);
      report.Note("pause " + std::to_string(wait_ms > 0 ? wait_ms : 0) + " ms");
    }
  }
}

}  // namespace
}  // namespace urlcheck
