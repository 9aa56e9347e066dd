#include "monitor/result_log_win.h"
