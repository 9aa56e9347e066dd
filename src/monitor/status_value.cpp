#include "monitor/status_value.h"

namespace urlcheck {

std::int32_t StatusFromNumber(double value) {
  // Written so NaN fails both comparisons; the bounds are exact doubles one
  // past each end of the range, so every value that truncates into it passes.
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace urlcheck
