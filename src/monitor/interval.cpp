#include "monitor/interval.h"
