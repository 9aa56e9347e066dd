#pragma once

#include <cstdint>

#include "monitor/ports.h"

namespace urlcheck {

// Keeps the window serviced until more than wait_ms milliseconds have passed
// on the tick counter (wrap-safe); zero or less returns at once and
// dispatches nothing. Between drains it sleeps until a message arrives
// instead of spinning. Only elapsed time ends it.
void EventPumpingWait(std::int32_t wait_ms, WaitPlatform& platform);

// The run's wait as the program uses it: the event-pumping wait over the
// platform's message queue.
class PumpingWaiter final : public Waiter {
 public:
  explicit PumpingWaiter(WaitPlatform& platform) : platform_(platform) {}

  void Wait(std::int32_t wait_ms) override { EventPumpingWait(wait_ms, platform_); }

 private:
  WaitPlatform& platform_;
};

}  // namespace urlcheck
