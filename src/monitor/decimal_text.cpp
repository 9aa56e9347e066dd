#include "monitor/decimal_text.h"
