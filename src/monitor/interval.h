#pragma once

#include <cstdint>

#include "common/text.h"

namespace urlcheck {

// The interval box's content as whole seconds: full-width forms folded to
// ASCII, then a signed decimal read with 32-bit wrap-around. Anything that
// is not a number reads as 0; whatever follows the digits is ignored.
std::int32_t IntervalConversion(const Text& content);

// Seconds to the wait length in milliseconds, wrapped into the signed
// 32-bit range; zero or less means no wait.
std::int32_t WaitLengthFromSeconds(std::int32_t seconds);

}  // namespace urlcheck
