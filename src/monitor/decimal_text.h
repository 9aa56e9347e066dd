#pragma once

#include <cstdint>

#include "common/text.h"

namespace urlcheck {

// The value in decimal: a minus sign for negatives, no leading zeros.
Text DecimalText(std::int32_t value);

}  // namespace urlcheck
