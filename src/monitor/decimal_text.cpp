#include "monitor/decimal_text.h"

#include <string>

namespace urlcheck {

Text DecimalText(std::int32_t value) { return std::to_string(value); }

}  // namespace urlcheck
