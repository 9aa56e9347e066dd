#pragma once
// Texts and byte buffers: the two value types every part of the tool passes.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace urlcheck {

// A text is a byte string in code page 936. It never holds a 0x00 byte: the
// empty text and an absent text are the same value.
using Text = std::string;

// A counted byte sequence that may hold any byte values.
using ByteBuffer = std::vector<std::uint8_t>;

// The first byte of a two-byte character in code page 936.
constexpr bool IsLeadByte(unsigned char byte) { return byte >= 0x80; }

// A text made of the bytes before the first 0x00, so it stays a valid text.
Text TextFromBytes(std::string_view bytes);

}  // namespace urlcheck
