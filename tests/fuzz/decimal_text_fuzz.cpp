// Any 32-bit value: its decimal text must be the canonical one and must read
// back as the same value through the interval box's reading, since the box
// shows what the tool writes into it.
//
// Input layout: the first four bytes (big-endian, missing ones zero) are the
// value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "monitor/decimal_text.h"
#include "monitor/interval.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckValue(std::int32_t value) {
  const urlcheck::Text text = urlcheck::DecimalText(value);
  Require(text == std::to_string(value));
  Require(urlcheck::IntervalConversion(text) == value);

  // A minus sign first for negatives and nowhere else, then only digits,
  // with no leading zero except for zero itself.
  const bool negative = !text.empty() && text[0] == '-';
  Require(negative == (value < 0));
  const std::string digits = text.substr(negative ? 1 : 0);
  Require(!digits.empty() && digits.size() <= 10);
  for (const char c : digits) Require(c >= '0' && c <= '9');
  Require(digits[0] != '0' || digits == "0");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The ends of the range are where a sign or a carry goes wrong; a fuzzer
  // would reach them only by luck.
  static const bool edges_checked = [] {
    for (const std::int32_t edge : {std::numeric_limits<std::int32_t>::min(), -1, 0, 1,
                                    std::numeric_limits<std::int32_t>::max()}) {
      CheckValue(edge);
    }
    return true;
  }();
  (void)edges_checked;

  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < 4; ++i) bits = (bits << 8) | (i < size ? data[i] : 0u);
  CheckValue(static_cast<std::int32_t>(bits));
  return 0;
}
