// Reading the list file on drive D: as the tool does, including while other
// programs have it open.
#include "monitor/url_list_file_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "common/wide_text_win.h"
#include "monitor/literals.h"
#include "support/drive_d_win.h"
#include "support/file_holder_win.h"

namespace urlcheck {
namespace {

template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

const std::string kList = "http://127.0.0.1:8080/\r\n\xC8\xD5\xD6\xBE\r\n\r\nhttp://127.0.0.1/b\r\n";

class UrlListFileTest : public ::testing::Test {
 protected:
  void TearDown() override { test::RemoveFile(list_path_); }
  const std::wstring list_path_ = WideFromText(kUrlListPath);
};

struct ReadCase {
  const char* name;
  std::optional<std::string> file_bytes;  // nothing: no list file at all
  Text content;
};

void PrintTo(const ReadCase& read_case, std::ostream* out) { *out << read_case.name; }

class ReadUrlListTextTest : public UrlListFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadUrlListTextTest, GivesTheContentOfTheFile) {
  if (GetParam().file_bytes) {
    ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(list_path_, *GetParam().file_bytes));
  }
  EXPECT_EQ(ReadUrlListText(kUrlListPath), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ReadUrlListTextTest,
    ::testing::Values(ReadCase{"Missing", std::nullopt, ""}, ReadCase{"Empty", "", ""},
                      ReadCase{"ReadExactly", kList, kList},
                      ReadCase{"EndsAtZero", Bytes("http://a/\r\nhttp://b/\0http://c/\r\n"), "http://a/\r\nhttp://b/"}),
    [](const ::testing::TestParamInfo<ReadCase>& param_info) { return std::string(param_info.param.name); });

struct HeldCase {
  const char* name;
  DWORD share;  // the other program's share mode
  Text content;
};

void PrintTo(const HeldCase& held_case, std::ostream* out) { *out << held_case.name; }

class HeldUrlListTest : public UrlListFileTest, public ::testing::WithParamInterface<HeldCase> {};

// The other program has the list open for reading and writing, as an editor
// would; whether the tool still reads it is up to that program's sharing.
TEST_P(HeldUrlListTest, ReadsAsTheOtherProgramsSharingAllows) {
  ASSERT_NO_FATAL_FAILURE(test::WriteFileBytes(list_path_, kList));
  test::FileHolder holder;
  ASSERT_TRUE(holder.Hold(list_path_, GENERIC_READ | GENERIC_WRITE, GetParam().share));
  EXPECT_EQ(ReadUrlListText(kUrlListPath), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(
    OtherProcess, HeldUrlListTest,
    ::testing::Values(HeldCase{"SharingReadAndWrite", FILE_SHARE_READ | FILE_SHARE_WRITE, kList},
                      HeldCase{"SharingNothing", 0, ""}),
    [](const ::testing::TestParamInfo<HeldCase>& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace urlcheck
