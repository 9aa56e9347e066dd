// Any bytes typed into the interval box: the seconds read from them must be
// what a plain character-by-character reading gives, and the wait length
// must be the low 32 bits of the milliseconds.
//
// Input layout: the box content is the bytes before the first 0x00 (a text
// never holds one); the bytes after it supply a tail to append.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/text.h"
#include "monitor/interval.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// What one character of the box reads as: its ASCII form, or kOther.
constexpr int kOther = -1;

// Written as a lookup on the whole two-byte character, unlike the
// byte-wise fold in the tool, so a slip in either shows up as a mismatch.
int AsciiFormOf(unsigned lead, unsigned trail) {
  const unsigned character = (lead << 8) | trail;
  if (character >= 0xA3A1 && character <= 0xA3FE) return static_cast<int>(character - 0xA3A1 + '!');
  switch (character) {
    case 0xA1A1: return ' ';
    case 0xA1AB: return '~';
    case 0xA1EE:
    case 0xA1EF: return '*';
    default: return kOther;
  }
}

// A reading that never materialises a folded text: it walks characters,
// keeps the number modulo 2^32 in 64 bits and only turns it into a signed
// value at the end.
std::int32_t ReferenceSeconds(std::string_view box) {
  enum class State { kBlanks, kAfterSign, kDigits } state = State::kBlanks;
  bool negative = false;
  std::uint64_t value = 0;
  for (std::size_t at = 0; at < box.size();) {
    const unsigned first = static_cast<unsigned char>(box[at]);
    int c = static_cast<int>(first);
    if (first >= 0x80) {
      // Half a character at the very end reads as nothing.
      if (at + 1 == box.size()) break;
      c = AsciiFormOf(first, static_cast<unsigned char>(box[at + 1]));
      at += 2;
    } else {
      at += 1;
    }
    const bool digit = c >= '0' && c <= '9';
    if (state == State::kBlanks && (c == ' ' || (c >= 0x09 && c <= 0x0D))) continue;
    if (state == State::kBlanks && (c == '+' || c == '-')) {
      negative = c == '-';
      state = State::kAfterSign;
      continue;
    }
    if (!digit) break;
    state = State::kDigits;
    value = (value * 10 + static_cast<unsigned>(c - '0')) % 0x100000000u;
  }
  if (negative) value = (0x100000000u - value) % 0x100000000u;
  const std::int64_t wide = static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(wide >= 0x80000000 ? wide - 0x100000000 : wide);
}

std::int32_t ReferenceWaitLength(std::int32_t seconds) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(seconds) * 1000));
}

// Bytes that can neither be a digit nor join a neighbour into a
// full-width digit, so a tail of them never adds to the number.
bool IsInertTailByte(unsigned char byte) {
  return byte != 0 && !(byte >= '0' && byte <= '9') && !urlcheck::IsLeadByte(byte);
}

// Every one-byte character from '!' to '~' written in its full-width form,
// and the space as the ideographic space; two-byte characters stay as they
// are, so the character boundaries do not move.
urlcheck::Text FullWidthForm(const urlcheck::Text& box) {
  urlcheck::Text wide;
  for (std::size_t at = 0; at < box.size(); ++at) {
    const unsigned char byte = static_cast<unsigned char>(box[at]);
    if (urlcheck::IsLeadByte(byte)) {
      wide.push_back(box[at]);
      if (at + 1 < box.size()) wide.push_back(box[++at]);
    } else if (byte == ' ') {
      wide += "\xA1\xA1";
    } else if (byte >= '!' && byte <= '~') {
      wide.push_back(static_cast<char>(0xA3));
      wide.push_back(static_cast<char>(byte + 0x80));
    } else {
      wide.push_back(box[at]);
    }
  }
  return wide;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const urlcheck::Text box = urlcheck::TextFromBytes(bytes);

  const std::int32_t seconds = urlcheck::IntervalConversion(box);
  Require(seconds == ReferenceSeconds(box));
  Require(urlcheck::WaitLengthFromSeconds(seconds) == ReferenceWaitLength(seconds));

  // Typing the same thing with a Chinese input method gives the same value.
  Require(urlcheck::IntervalConversion(FullWidthForm(box)) == seconds);

  // Whatever follows the number is ignored (a unit such as "s", a typo).
  urlcheck::Text extended = box;
  const std::string_view rest = bytes.substr(box.size() < bytes.size() ? box.size() + 1 : bytes.size());
  for (const char c : rest) {
    if (IsInertTailByte(static_cast<unsigned char>(c))) extended.push_back(c);
  }
  Require(urlcheck::IntervalConversion(extended) == seconds);

  // The wait length over the whole 32-bit range, not only over values the
  // box can produce from short inputs.
  if (rest.size() >= 4) {
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < 4; ++i) bits = (bits << 8) | static_cast<unsigned char>(rest[i]);
    const auto any = static_cast<std::int32_t>(bits);
    Require(urlcheck::WaitLengthFromSeconds(any) == ReferenceWaitLength(any));
  }
  return 0;
}
