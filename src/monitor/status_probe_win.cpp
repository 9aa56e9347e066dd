#include "monitor/status_probe_win.h"
