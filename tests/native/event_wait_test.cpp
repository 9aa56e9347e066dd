#include "monitor/event_wait.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "fakes.h"

namespace urlcheck {
namespace {

using ::testing::ElementsAre;
using fakes::FakeClock;
using fakes::FakeEventQueue;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

class EventPumpingWaitTest : public ::testing::Test {
 protected:
  // Queues an event that notes the time it was dispatched at.
  void NoteAt(std::uint64_t time) {
    queue_.At(time, [this] { dispatched_at_.push_back(clock_.Now()); });
  }

  FakeClock clock_;
  FakeEventQueue queue_{clock_};
  std::vector<std::uint64_t> dispatched_at_;
};

TEST(EventPumpingWait, NoWaitForZeroOrLessDispatchesNothing) {
  for (const std::int32_t wait_ms : {0, -1, -3000, std::numeric_limits<std::int32_t>::min()}) {
    FakeClock clock;
    FakeEventQueue queue{clock};
    queue.At(0, [] {});
    EventPumpingWait(wait_ms, queue);
    EXPECT_EQ(queue.drains, 0) << wait_ms;
    EXPECT_TRUE(queue.block_timeouts.empty()) << wait_ms;
    EXPECT_EQ(queue.Queued(), 1u) << wait_ms;
    EXPECT_EQ(clock.Now(), 0u) << wait_ms;
  }
}

// With nothing to dispatch the wait sleeps once, to one tick past its
// length, wherever the 32-bit counter starts: a wrap on the way neither
// shortens nor lengthens it, and it never spins.
TEST(EventPumpingWait, LastsUntilTheFirstTickPastItsLengthAcrossTheWrap) {
  const struct {
    std::uint32_t start_ticks;
    std::int32_t wait_ms;
  } cases[] = {
      {0, 1},
      {0, 5000},
      {0xFFFFFFFFu, 5000},
      {0xFFFFFFFFu - 2500, 5000},
      {0xFFFFFFFFu - 5000, 5000},
      {0x7FFFFFFFu, 5000},
      {0, kMax},
      {0xFFFFFFFFu - 100, kMax},
  };
  for (const auto& c : cases) {
    FakeClock clock;
    clock.start_ticks = c.start_ticks;
    FakeEventQueue queue{clock};
    EventPumpingWait(c.wait_ms, queue);
    const auto context = ::testing::Message() << "start " << c.start_ticks << ", wait " << c.wait_ms;
    EXPECT_EQ(clock.Now(), static_cast<std::uint64_t>(c.wait_ms) + 1) << context;
    EXPECT_THAT(queue.block_timeouts, ElementsAre(static_cast<std::uint32_t>(c.wait_ms) + 1)) << context;
    EXPECT_EQ(queue.drains, 4) << context;
  }
}

// Each event wakes the sleep and is dispatched at its own tick; the sleep
// after it is for what is left of the wait. The drains that follow the last
// sleep still dispatch what arrived by then, and nothing later.
TEST_F(EventPumpingWaitTest, DispatchesEachEventAsItArrivesUntilTheEnd) {
  for (const std::uint64_t time : {0, 1000, 5000, 5001, 5002}) NoteAt(time);
  EventPumpingWait(5000, queue_);
  EXPECT_THAT(dispatched_at_, ElementsAre(0u, 1000u, 5000u, 5001u));
  EXPECT_THAT(queue_.block_timeouts, ElementsAre(5001u, 4001u, 1u));
  EXPECT_EQ(clock_.Now(), 5001u);
  EXPECT_EQ(queue_.Queued(), 1u);
}

TEST_F(EventPumpingWaitTest, PendingQuitStopsDispatchingButNotTheWait) {
  NoteAt(500);
  queue_.At(1000, [this] { queue_.PostQuit(); });
  NoteAt(2000);
  EventPumpingWait(5000, queue_);
  EXPECT_THAT(dispatched_at_, ElementsAre(500u));
  EXPECT_EQ(queue_.Queued(), 1u);
  EXPECT_EQ(clock_.Now(), 5001u);
}

// A handler that outlasts the wait (a nested run) ends it at the next look
// at the clock, without another sleep.
TEST_F(EventPumpingWaitTest, EndsRightAfterAHandlerThatOutlastsIt) {
  clock_.start_ticks = 0xFFFFFFFFu - 3000;
  queue_.At(1000, [this] { clock_.AdvanceTo(20000); });
  EventPumpingWait(5000, queue_);
  EXPECT_EQ(clock_.Now(), 20000u);
  EXPECT_THAT(queue_.block_timeouts, ElementsAre(5001u));
}

}  // namespace
}  // namespace urlcheck
