#include "monitor/event_wait.h"
