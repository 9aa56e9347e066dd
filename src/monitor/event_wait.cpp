#include "monitor/event_wait.h"

namespace urlcheck {

void EventPumpingWait(std::int32_t wait_ms, WaitPlatform& platform) {
  if (wait_ms <= 0) return;
  const std::uint32_t length = static_cast<std::uint32_t>(wait_ms);
  const std::uint32_t start = platform.Ticks();
  // Two drains each round, as the tool has always done; the second costs
  // nothing when the first has emptied the queue.
  platform.DrainEvents();
  platform.DrainEvents();
  for (;;) {
    // Unsigned difference: the counter's wrap neither ends the wait early
    // nor makes it last another 49 days.
    const std::uint32_t elapsed = platform.Ticks() - start;
    if (elapsed > length) return;
    // One past the deadline, so a block that runs to its end leaves the
    // wait over instead of costing another round.
    platform.BlockForEvents(length - elapsed + 1);
    platform.DrainEvents();
    platform.DrainEvents();
  }
}

}  // namespace urlcheck
