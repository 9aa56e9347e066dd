#include "monitor/start_stop.h"
