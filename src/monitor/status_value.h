#pragma once
// The HTTP status as the request object reports it: a number of any width,
// which the tool keeps as a 32-bit integer.

#include <cstdint>

namespace urlcheck {

// Truncates toward zero. NaN, the infinities and values that do not fit in
// 32 bits give 0, the same "no usable status" as a request without answer.
std::int32_t StatusFromNumber(double value);

}  // namespace urlcheck
