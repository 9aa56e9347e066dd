// Read-only files on drive D:. Run as an unprivileged user, since Wine run
// as root ignores the read-only attribute.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"
#include "monitor/literals.h"
#include "monitor/result_log_win.h"
#include "monitor/url_list_file_win.h"
#include "support/drive_d_win.h"

namespace urlcheck {
namespace {

class ReadOnlyFileTest : public ::testing::Test {
 protected:
  // Makes the file read-only and checks that the attribute really keeps
  // writers out here; without that the tests below would prove nothing.
  void MakeReadOnly(const std::wstring& path) {
    ASSERT_NO_FATAL_FAILURE(test::SetReadOnly(path, true));
    const UniqueFile writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_FALSE(writer) << "read-only attribute not honoured: run this test as an unprivileged user";
  }
  void TearDown() override {
    test::RemoveFile(list_path_);
    test::RemoveFile(log_path_);
  }
  const std::wstring list_path_ = WideFromText(kUrlListPath);
  const std::wstring log_path_ = WideFromText(kErrorLogPath);
};

TEST_F(ReadOnlyFileTest, ListIsStillRead) {
  const std::string list = "http://127.0.0.1/a\r\nhttp://127.0.0.1/b\r\n";
  ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(list_path_, list));
  ASSERT_NO_FATAL_FAILURE(MakeReadOnly(list_path_));
  EXPECT_EQ(ReadUrlListText(kUrlListPath), list);
}

TEST_F(ReadOnlyFileTest, LogIsLeftUnchanged) {
  const std::string log = "404 http://127.0.0.1/a\r\n";
  ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(log_path_, log));
  ASSERT_NO_FATAL_FAILURE(MakeReadOnly(log_path_));
  AppendLogLine(kErrorLogPath, "500 http://127.0.0.1/b");
  EXPECT_EQ(test::ReadFileBytes(log_path_), log);
}

}  // namespace
}  // namespace urlcheck
