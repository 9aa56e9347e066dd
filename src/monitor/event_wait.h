#pragma once

#include <cstdint>

#include "monitor/ports.h"

namespace urlcheck {

// Keeps the window serviced until more than wait_ms milliseconds have passed
// on the tick counter (wrap-safe); zero or less returns at once and
// dispatches nothing. Between drains it sleeps until a message arrives
// instead of spinning. Only elapsed time ends it.
void EventPumpingWait(std::int32_t wait_ms, WaitPlatform& platform);

}  // namespace urlcheck
