#include "monitor/interval.h"

#include <cstddef>
#include <cstdint>

namespace urlcheck {
namespace {

// The signed value of a 32-bit pattern, written so that no conversion is
// left to the implementation.
std::int32_t SignedFromBits(std::uint32_t bits) {
  if (bits <= 0x7FFFFFFFu) return static_cast<std::int32_t>(bits);
  return -static_cast<std::int32_t>(~bits) - 1;
}

// People type numbers with a Chinese input method as often as without, so
// the full-width digits, signs and spaces read like their ASCII forms.
Text FoldFullWidthForms(const Text& content) {
  Text folded;
  folded.reserve(content.size());
  for (std::size_t i = 0; i < content.size(); ++i) {
    const unsigned char lead = static_cast<unsigned char>(content[i]);
    if (!IsLeadByte(lead)) {
      folded.push_back(static_cast<char>(lead));
      continue;
    }
    // A lead byte with nothing after it is half a character: drop it.
    if (i + 1 == content.size()) break;
    const unsigned char trail = static_cast<unsigned char>(content[++i]);
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) {
      folded.push_back(static_cast<char>(trail - 0x80));
    } else if (lead == 0xA1 && trail == 0xA1) {
      folded.push_back(' ');
    } else if (lead == 0xA1 && trail == 0xAB) {
      folded.push_back('~');
    } else if (lead == 0xA1 && (trail == 0xEE || trail == 0xEF)) {
      folded.push_back('*');
    } else {
      folded.push_back(static_cast<char>(lead));
      folded.push_back(static_cast<char>(trail));
    }
  }
  return folded;
}

constexpr bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Wraps modulo 2^32 instead of failing: a huge number still gives some
// interval, never an error the user has to dismiss.
std::int32_t ParseWrappingDecimal(const Text& text) {
  std::size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint32_t value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
  }
  if (negative) value = 0u - value;
  return SignedFromBits(value);
}

}  // namespace

std::int32_t IntervalConversion(const Text& content) {
  return ParseWrappingDecimal(FoldFullWidthForms(content));
}

std::int32_t WaitLengthFromSeconds(std::int32_t seconds) {
  // Whole seconds times 1000 is exact in 64 bits; only the low 32 bits count.
  const std::int64_t milliseconds = static_cast<std::int64_t>(seconds) * 1000;
  return SignedFromBits(static_cast<std::uint32_t>(milliseconds));
}

}  // namespace urlcheck
