#include "common/wide_text_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "monitor/literals.h"

namespace urlcheck {
namespace {

// The conversions name code page 936 themselves: the test programs run with
// Wine's western ANSI code page, where the system default would garble them.
TEST(WideText, ConvertsCodePage936BothWaysWhateverTheAnsiCodePage) {
  ASSERT_NE(GetACP(), 936u) << "the rig should run with a non-936 ANSI code page";
  const struct {
    Text text;
    std::wstring wide;
  } cases[] = {
      {"", L""},
      {"http://127.0.0.1/ 200", L"http://127.0.0.1/ 200"},
      {kCaptionStart, L"\u5F00\u59CB"},
      {kCaptionStop, L"\u505C\u6B62"},
      {kSuccessLogPath, L"d:/\u65E5\u5FD7.txt"},
      {"\xA3\xB1\xA3\xB0", L"\uFF11\uFF10"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WideFromText(c.text), c.wide);
    EXPECT_EQ(TextFromWide(c.wide), c.text);
  }
}

TEST(WideText, NeverReturnsATextWithAZeroByte) {
  EXPECT_EQ(TextFromWide(std::wstring(L"ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace urlcheck
