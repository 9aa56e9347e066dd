#include "monitor/decimal_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace urlcheck {
namespace {

TEST(DecimalText, WritesSignedDecimalWithoutLeadingZeros) {
  const struct {
    std::int32_t value;
    Text text;
  } cases[] = {
      {0, "0"},
      {-1, "-1"},
      {200, "200"},
      {404, "404"},
      {std::numeric_limits<std::int32_t>::max(), "2147483647"},
      {std::numeric_limits<std::int32_t>::min(), "-2147483648"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecimalText(c.value), c.text) << c.value;
}

}  // namespace
}  // namespace urlcheck
