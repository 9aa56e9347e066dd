#include "common/text.h"

#include <gtest/gtest.h>

namespace urlcheck {
namespace {

TEST(TextFromBytes, StopsAtTheFirstZeroByte) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    Text expected;
  } cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"ab\0c"s, "ab"},
      {"\0abc"s, ""},
      {"\xC8\xD5\xD6\xBE", "\xC8\xD5\xD6\xBE"},
  };
  for (const auto& c : cases) EXPECT_EQ(TextFromBytes(c.bytes), c.expected);
}

TEST(IsLeadByte, IsEveryByteFrom0x80Up) {
  EXPECT_FALSE(IsLeadByte(0x00));
  EXPECT_FALSE(IsLeadByte(0x7F));
  EXPECT_TRUE(IsLeadByte(0x80));
  EXPECT_TRUE(IsLeadByte(0xFF));
}

}  // namespace
}  // namespace urlcheck
