// Appending records to the logs on drive D:, including while other programs
// have a log open.
#include "monitor/result_log_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"
#include "monitor/literals.h"
#include "support/drive_d_win.h"
#include "support/file_holder_win.h"

namespace urlcheck {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The names in the root of D:, so a test sees every file it left behind,
// under whatever name it was created.
std::vector<std::wstring> DriveDNames() {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const UniqueFind search(FindFirstFileW(L"d:\\*", &found));
  if (!search) return names;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.push_back(name);
  } while (FindNextFileW(search.Get(), &found));
  return names;
}

class ResultLogTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_THAT(DriveDNames(), IsEmpty()) << "D: must start empty"; }
  void TearDown() override {
    for (const std::wstring& name : DriveDNames()) test::RemoveFile(L"d:\\" + name);
  }
  const std::wstring log_path_ = WideFromText(kErrorLogPath);
};

struct AppendCase {
  const char* name;
  std::optional<std::string> log_before;  // nothing: no log yet
  std::vector<Text> lines;
  std::string log_after;
};

void PrintTo(const AppendCase& append_case, std::ostream* out) { *out << append_case.name; }

class AppendLogLineTest : public ResultLogTest, public ::testing::WithParamInterface<AppendCase> {};

TEST_P(AppendLogLineTest, AddsEachLineWithCrLf) {
  if (GetParam().log_before) {
    ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(log_path_, *GetParam().log_before));
  }
  for (const Text& line : GetParam().lines) AppendLogLine(kErrorLogPath, line);
  EXPECT_EQ(test::ReadFileBytes(log_path_), GetParam().log_after);
}

INSTANTIATE_TEST_SUITE_P(
    Logs, AppendLogLineTest,
    ::testing::Values(
        AppendCase{"MissingLogIsCreated", std::nullopt, {"line"}, "line\r\n"},
        AppendCase{"RecordsInOrder", std::nullopt, {"L1", "L2"}, "L1\r\nL2\r\n"},
        AppendCase{"EmptyLine", std::nullopt, {""}, "\r\n"},
        AppendCase{"EarlierRecordsKept", "404 http://a/\r\n", {"500 http://b/"}, "404 http://a/\r\n500 http://b/\r\n"},
        AppendCase{"LastLineWithoutCrLfContinues", "abc", {"def"}, "abcdef\r\n"},
        AppendCase{"TwoByteCharactersWrittenAsTheyAre", std::nullopt, {"0 http://\xC8\xD5\xD6\xBE/"},
                   "0 http://\xC8\xD5\xD6\xBE/\r\n"}),
    [](const ::testing::TestParamInfo<AppendCase>& param_info) { return std::string(param_info.param.name); });

// The success log's name is Chinese: it must reach the file system as those
// characters whatever the system's own code page is.
TEST_F(ResultLogTest, SuccessLogGetsItsChineseName) {
  AppendLogLine(kSuccessLogPath, "200 http://a/");
  EXPECT_THAT(DriveDNames(), ElementsAre(L"\u65E5\u5FD7.txt"));
  EXPECT_EQ(test::ReadFileBytes(L"d:/\u65E5\u5FD7.txt"), "200 http://a/\r\n");
}

TEST_F(ResultLogTest, MissingFolderCreatesNothing) {
  AppendLogLine("d:/nofolder/x.txt", "line");
  EXPECT_THAT(DriveDNames(), IsEmpty());
}

struct HeldCase {
  const char* name;
  DWORD access;  // the other program's access and share mode
  DWORD share;
  bool gets_record;
};

void PrintTo(const HeldCase& held_case, std::ostream* out) { *out << held_case.name; }

class HeldLogTest : public ResultLogTest, public ::testing::WithParamInterface<HeldCase> {};

// Another program has the log open. A viewer that shares writing gets the
// record added under it; one that does not, or another writer, costs the
// record, but the log keeps every earlier record and the next record after
// the other program lets go is added alone, with nothing of the lost one.
TEST_P(HeldLogTest, RecordWhileHeldFollowsTheOtherProgramsSharing) {
  const std::string before = "404 http://a/\r\n";
  ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(log_path_, before));
  {
    test::FileHolder holder;
    ASSERT_TRUE(holder.Hold(log_path_, GetParam().access, GetParam().share));
    AppendLogLine(kErrorLogPath, "while held");
  }
  const std::string after_held = GetParam().gets_record ? before + "while held\r\n" : before;
  EXPECT_EQ(test::ReadFileBytes(log_path_), after_held);

  AppendLogLine(kErrorLogPath, "after");
  EXPECT_EQ(test::ReadFileBytes(log_path_), after_held + "after\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    OtherProcess, HeldLogTest,
    ::testing::Values(
        HeldCase{"ReaderSharingNothing", GENERIC_READ, 0, false},
        HeldCase{"ReaderSharingRead", GENERIC_READ, FILE_SHARE_READ, false},
        HeldCase{"ReaderSharingReadAndWrite", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
        // Two writers at the end of one file could overwrite each other's records.
        HeldCase{"WriterSharingReadAndWrite", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false}),
    [](const ::testing::TestParamInfo<HeldCase>& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace urlcheck
