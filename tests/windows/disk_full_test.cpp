// A log on a full disk: records that do not fit are dropped whole, and the
// records before them stay as they were. Drive D: is a 64 KiB tmpfs here.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/wide_text_win.h"
#include "monitor/literals.h"
#include "monitor/result_log_win.h"
#include "support/drive_d_win.h"

namespace urlcheck {
namespace {

// Far more records than 64 KiB can take, so the loop ends by the disk
// filling and never runs away.
constexpr int kMaxRecords = 2000;

// Long records make the one that meets the limit get written partly (a short
// write) rather than not at all; numbered ones show which record is whose.
Text Record(int number) { return "rec" + std::to_string(number) + " " + std::string(200, '.'); }

std::optional<ULONGLONG> FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return (ULONGLONG{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

TEST(DiskFullTest, LogKeepsWholeRecordsOnly) {
  if (std::getenv("URLCHECK_SMALL_DISK") == nullptr)
    GTEST_SKIP() << "needs drive D: on a small tmpfs (run through tests/rig/wine-exec --small-disk as root)";
  const std::wstring log_path = WideFromText(kErrorLogPath);

  std::string written;  // every record that made it, in order
  int appended = 0;
  while (appended < kMaxRecords) {
    AppendLogLine(kErrorLogPath, Record(appended));
    if (FileSize(log_path).value_or(0) == written.size()) break;
    written += Record(appended) + "\r\n";
    ++appended;
  }
  ASSERT_LT(appended, kMaxRecords) << "the disk never filled";
  ASSERT_GT(appended, 0) << "not even one record fitted";
  EXPECT_EQ(test::ReadFileBytes(log_path), written);

  // More records on the full disk change nothing either.
  for (int extra = 1; extra <= 3; ++extra) AppendLogLine(kErrorLogPath, Record(appended + extra));
  EXPECT_EQ(test::ReadFileBytes(log_path), written);
}

}  // namespace
}  // namespace urlcheck
