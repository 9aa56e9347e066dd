#include "monitor/interval.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace urlcheck {
namespace {

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

// Failure messages show code page 936 bytes as escapes, not as mojibake.
std::string Escaped(const Text& text) {
  std::string shown;
  for (const char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F) {
      shown.push_back(c);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\x%02X", byte);
      shown += escape;
    }
  }
  return "\"" + shown + "\"";
}

TEST(IntervalConversion, ReadsTheBoxAsSecondsAndWaitMilliseconds) {
  const struct {
    Text content;
    std::int32_t seconds;
    std::int32_t wait_ms;
  } cases[] = {
      {"", 0, 0},
      {"abc", 0, 0},
      {"5", 5, 5000},
      {"-3", -3, -3000},
      {"1.9", 1, 1000},
      {"   10", 10, 10000},
      {" 7 ", 7, 7000},
      {"\t\r\n 7", 7, 7000},
      {"0x20", 0, 0},
      {"+-5", 0, 0},
      {"10\xC3\xEB", 10, 10000},  // 10秒
      // Full-width forms typed with a Chinese input method.
      {"\xA3\xAB\xA3\xB1\xA3\xB0", 10, 10000},  // ＋１０
      {"\xA3\xAD\xA3\xB3", -3, -3000},          // －３
      {"\xA1\xA1" "7", 7, 7000},                // ideographic space, 7
      {"\xA1\xAB" "5", 0, 0},                   // ～ folds to a tilde, not a sign
      {"\xA1\xEE" "5", 0, 0},                   // ※ folds to an asterisk
      // Half a character at the end is dropped; alone it leaves nothing.
      {"7\xB0", 7, 7000},
      {"\xA3", 0, 0},
      // Seconds wrap at 2^32, and so do the milliseconds.
      {"2147483", 2147483, 2147483000},
      {"2147484", 2147484, -2147483296},
      {"4294968", 4294968, 704},
      {"4294967301", 5, 5000},
      {"2147483647", kMax, -1000},
      {"2147483648", kMin, 0},
      {"-2147483648", kMin, 0},
  };
  for (const auto& c : cases) {
    const std::int32_t seconds = IntervalConversion(c.content);
    EXPECT_EQ(seconds, c.seconds) << "content " << Escaped(c.content);
    EXPECT_EQ(WaitLengthFromSeconds(seconds), c.wait_ms) << "content " << Escaped(c.content);
  }
}

TEST(WaitLengthFromSeconds, KeepsTheLow32BitsOfTheMilliseconds) {
  const struct {
    std::int32_t seconds;
    std::int32_t wait_ms;
  } cases[] = {
      {0, 0},
      {1, 1000},
      {-1, -1000},
      {2147483, 2147483000},
      {-2147483, -2147483000},
      {2147484, -2147483296},
      {-2147484, 2147483296},
      {kMax, -1000},
      {kMin, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WaitLengthFromSeconds(c.seconds), c.wait_ms) << "seconds " << c.seconds;
  }
}

}  // namespace
}  // namespace urlcheck
