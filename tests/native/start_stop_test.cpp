#include "monitor/start_stop.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "fakes.h"
#include "monitor/literals.h"

namespace urlcheck {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using fakes::MonitorRig;
using fakes::NumberedTitle;

// With the interval "5" every wait ends at the first tick past 5000 ms, so a
// run's steps fall on multiples of 5001 of the fake clock.
constexpr std::uint64_t kWait5s = 5001;

// Three addresses, one answering 200, one 404 and one not at all.
void UseThreeAddresses(MonitorRig& rig) {
  rig.window.interval_box = "5";
  rig.files.list = "a\r\nb\r\nc";
  rig.probe.statuses = {{"a", 200}, {"b", 404}, {"c", 0}};
}

class StartStopTest : public ::testing::Test {
 protected:
  StartStopTest() { UseThreeAddresses(rig_); }

  MonitorRig rig_;
};

TEST_F(StartStopTest, RunProbesShowsAndLogsEveryAddressWithAWaitAfterEach) {
  for (const std::uint32_t start_ticks : {0u, 0xFFFFFFFFu - 7000}) {
    MonitorRig rig;
    rig.clock.start_ticks = start_ticks;
    UseThreeAddresses(rig);

    rig.handler.OnPress();

    SCOPED_TRACE(::testing::Message() << "start ticks " << start_ticks);
    const std::vector<std::pair<Control, Text>> expected_writes = {
        {Control::kStartStopButton, kCaptionStop},
        {Control::kMainWindow, kTitleWorking},
        {Control::kMainWindow, NumberedTitle(1)},
        {Control::kStatusBox, "a 200"},
        {Control::kMainWindow, NumberedTitle(2)},
        {Control::kStatusBox, "b 404"},
        {Control::kMainWindow, NumberedTitle(3)},
        {Control::kStatusBox, "c 0"},
        {Control::kMainWindow, kTitleStopped},
        {Control::kStartStopButton, kCaptionStart},
    };
    EXPECT_EQ(rig.window.Sequence(), expected_writes);
    EXPECT_THAT(rig.files.SuccessLog(), ElementsAre("a 200"));
    EXPECT_THAT(rig.files.ErrorLog(), ElementsAre("b 404", "c 0"));
    // The last address is followed by its wait too, before the run ends.
    EXPECT_THAT(rig.probe.Times(), ElementsAre(0u, kWait5s, 2 * kWait5s));
    EXPECT_EQ(rig.window.writes.back().time, 3 * kWait5s);
  }
}

TEST_F(StartStopTest, EveryListEntryCountsAndIsProbedAsItIs) {
  const struct {
    Text list;
    std::vector<Text> addresses;
  } cases[] = {
      {"a\r\nb\r\nc\r\n", {"a", "b", "c"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"", {}},
  };
  for (const auto& c : cases) {
    MonitorRig rig;
    rig.files.list = c.list;
    rig.handler.OnPress();

    SCOPED_TRACE(::testing::Message() << "list of " << c.addresses.size());
    EXPECT_EQ(rig.probe.Addresses(), c.addresses);
    std::vector<Text> titles = {kTitleWorking};
    std::vector<Text> error_lines;
    for (std::size_t i = 0; i < c.addresses.size(); ++i) {
      titles.push_back(NumberedTitle(static_cast<int>(i + 1)));
      error_lines.push_back(c.addresses[i] + " 0");
    }
    titles.push_back(kTitleStopped);
    EXPECT_EQ(rig.window.Titles(), titles);
    EXPECT_THAT(rig.window.Captions(), ElementsAre(kCaptionStop, kCaptionStart));
    EXPECT_EQ(rig.files.ErrorLog(), error_lines);
    EXPECT_THAT(rig.files.SuccessLog(), IsEmpty());
  }
}

TEST_F(StartStopTest, OnlyStatus200GoesToTheSuccessLog) {
  const struct {
    std::int32_t status;
    Text line;
    bool success;
  } cases[] = {
      {200, "a 200", true},  {201, "a 201", false}, {301, "a 301", false},
      {404, "a 404", false}, {0, "a 0", false},     {-1, "a -1", false},
  };
  for (const auto& c : cases) {
    MonitorRig rig;
    rig.files.list = "a";
    rig.probe.statuses = {{"a", c.status}};
    rig.handler.OnPress();

    SCOPED_TRACE(::testing::Message() << "status " << c.status);
    EXPECT_THAT(rig.window.StatusLines(), ElementsAre(c.line));
    EXPECT_EQ(rig.files.SuccessLog(), c.success ? std::vector<Text>{c.line} : std::vector<Text>{});
    EXPECT_EQ(rig.files.ErrorLog(), c.success ? std::vector<Text>{} : std::vector<Text>{c.line});
  }
}

// The stop shows at once; the run notices it only after its wait has run
// its full length, and then probes nothing more.
TEST_F(StartStopTest, StopPressDuringAWaitEndsTheRunAfterThatWait) {
  rig_.PressAt(2000);
  rig_.handler.OnPress();

  EXPECT_THAT(rig_.probe.Addresses(), ElementsAre("a"));
  EXPECT_THAT(rig_.window.TimedWritesTo(Control::kStartStopButton),
              ElementsAre(Pair(kCaptionStop, 0u), Pair(kCaptionStart, 2000u),
                          Pair(kCaptionStart, kWait5s)));
  EXPECT_THAT(rig_.window.TimedWritesTo(Control::kMainWindow),
              ElementsAre(Pair(kTitleWorking, 0u), Pair(NumberedTitle(1), 0u),
                          Pair(kTitleStopped, 2000u), Pair(kTitleStopped, kWait5s)));
  const std::vector<std::pair<Control, Text>> expected_writes = {
      {Control::kStartStopButton, kCaptionStop},
      {Control::kMainWindow, kTitleWorking},
      {Control::kMainWindow, NumberedTitle(1)},
      {Control::kStatusBox, "a 200"},
      {Control::kStartStopButton, kCaptionStart},  // the press
      {Control::kMainWindow, kTitleStopped},
      {Control::kMainWindow, kTitleStopped},  // the run's end
      {Control::kStartStopButton, kCaptionStart},
  };
  EXPECT_EQ(rig_.window.Sequence(), expected_writes);
  EXPECT_THAT(rig_.files.SuccessLog(), ElementsAre("a 200"));
  EXPECT_THAT(rig_.files.ErrorLog(), IsEmpty());
  // The stop press reads the list too, like every press.
  EXPECT_EQ(rig_.files.list_reads, 2);
}

// The first press stops the run; the second finds "开始" and starts a fresh
// run nested inside the wait. When it is over the outer run resumes, finds
// "开始" again and ends without probing.
TEST_F(StartStopTest, TwoPressesInOneDrainStopThenStartANestedRun) {
  rig_.PressAt(2000);
  rig_.PressAt(2000);
  rig_.handler.OnPress();

  EXPECT_THAT(rig_.probe.Addresses(), ElementsAre("a", "a", "b", "c"));
  EXPECT_THAT(rig_.probe.Times(), ElementsAre(0u, 2000u, 2000 + kWait5s, 2000 + 2 * kWait5s));
  EXPECT_THAT(rig_.window.Titles(),
              ElementsAre(kTitleWorking, NumberedTitle(1), kTitleStopped,                 // outer, stop
                          kTitleWorking, NumberedTitle(1), NumberedTitle(2), NumberedTitle(3),
                          kTitleStopped,                                                  // nested
                          kTitleStopped));                                                // outer end
  EXPECT_THAT(rig_.window.Captions(),
              ElementsAre(kCaptionStop, kCaptionStart, kCaptionStop, kCaptionStart, kCaptionStart));
  EXPECT_THAT(rig_.files.SuccessLog(), ElementsAre("a 200", "a 200"));
  EXPECT_EQ(rig_.window.writes.back().time, 2000 + 3 * kWait5s);
}

// A start press in the wait of a stopped run reads the box and the list as
// they are then.
TEST_F(StartStopTest, StartPressDuringAStoppedRunsWaitRunsTheCurrentList) {
  rig_.PressAt(1000);
  rig_.queue.At(2000, [this] {
    rig_.files.list = "x";
    rig_.window.interval_box = "1";
  });
  rig_.PressAt(2000);
  rig_.handler.OnPress();

  EXPECT_THAT(rig_.probe.Addresses(), ElementsAre("a", "x"));
  EXPECT_THAT(rig_.window.TimedWritesTo(Control::kMainWindow),
              ElementsAre(Pair(kTitleWorking, 0u), Pair(NumberedTitle(1), 0u),
                          Pair(kTitleStopped, 1000u),  // the stop
                          Pair(kTitleWorking, 2000u), Pair(NumberedTitle(1), 2000u),
                          Pair(kTitleStopped, 3001u),  // nested run, 1 s wait
                          Pair(kTitleStopped, kWait5s)));
  EXPECT_THAT(rig_.files.ErrorLog(), ElementsAre("x 0"));
}

// The press is queued while the probe of "b" is under way; the first drain of
// the wait after it dispatches it, once "b" has been shown and logged.
TEST_F(StartStopTest, PressQueuedDuringAProbeStopsAfterThatEntry) {
  int drains_at_press = -1;
  rig_.probe.during[2] = [this, &drains_at_press] {
    rig_.queue.At(rig_.clock.Now(), [this, &drains_at_press] {
      drains_at_press = rig_.queue.drains;
      rig_.handler.OnPress();
    });
  };
  rig_.handler.OnPress();

  EXPECT_THAT(rig_.probe.Addresses(), ElementsAre("a", "b"));
  EXPECT_THAT(rig_.window.StatusLines(), ElementsAre("a 200", "b 404"));
  EXPECT_THAT(rig_.files.ErrorLog(), ElementsAre("b 404"));
  EXPECT_EQ(drains_at_press, 5);  // four in the first wait, then the first of the second
  EXPECT_THAT(rig_.window.TimedWritesTo(Control::kStartStopButton),
              ElementsAre(Pair(kCaptionStop, 0u), Pair(kCaptionStart, kWait5s),
                          Pair(kCaptionStart, 2 * kWait5s)));
}

// No wait, no dispatching: a press made during such a run waits in the
// queue until the program's own message loop takes it after the run.
TEST_F(StartStopTest, RunWithoutWaitsLeavesPressesQueuedUntilItEnds) {
  for (const Text interval : {"0", "-3", "abc"}) {
    MonitorRig rig;
    UseThreeAddresses(rig);
    rig.window.interval_box = interval;
    rig.probe.during[1] = [&rig] { rig.PressNow(); };
    rig.handler.OnPress();

    SCOPED_TRACE("interval " + interval);
    EXPECT_EQ(rig.queue.drains, 0);
    EXPECT_EQ(rig.queue.Queued(), 1u);
    EXPECT_THAT(rig.probe.Addresses(), ElementsAre("a", "b", "c"));
    EXPECT_THAT(rig.window.Captions(), ElementsAre(kCaptionStop, kCaptionStart));

    // Taken after the run, the press finds "开始" and starts a new run.
    rig.queue.DrainEvents();
    EXPECT_THAT(rig.probe.Addresses(), ElementsAre("a", "b", "c", "a", "b", "c"));
  }
}

// Closing the window leaves the quit request queued: the wait in progress
// dispatches nothing more but runs its full length, then the run returns
// without another probe, log line or write.
TEST_F(StartStopTest, WindowClosedDuringAWaitEndsTheRunWithoutTouchingIt) {
  const struct {
    std::uint64_t close_at;
    std::size_t probes;
  } cases[] = {
      {1000, 1},                // in the first wait
      {2 * kWait5s + 1000, 3},  // in the wait after the last address
  };
  for (const auto& c : cases) {
    MonitorRig rig;
    UseThreeAddresses(rig);
    rig.CloseAt(c.close_at);
    rig.PressAt(c.close_at + 500);
    rig.handler.OnPress();

    SCOPED_TRACE(::testing::Message() << "closed at " << c.close_at);
    EXPECT_EQ(rig.probe.calls.size(), c.probes);
    EXPECT_EQ(rig.files.appended.size(), c.probes);
    EXPECT_EQ(rig.window.writes_after_destruction, 0);
    EXPECT_LT(rig.window.writes.back().time, c.close_at);
    EXPECT_EQ(rig.queue.Queued(), 1u);  // the press
    EXPECT_EQ(rig.clock.Now(), c.probes * kWait5s);
  }
}

}  // namespace
}  // namespace urlcheck
