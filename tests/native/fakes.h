#pragma once
// Scripted stand-ins for the window, the files, the probe and the message
// queue, wired together the way the program wires the real ones. Time is a
// fake clock that moves only when the wait blocks, so every tick a test
// checks is exact and no test depends on how fast the machine is.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/text.h"
#include "monitor/event_wait.h"
#include "monitor/literals.h"
#include "monitor/ports.h"
#include "monitor/start_stop.h"

namespace urlcheck {

// Lets GoogleTest name the control in a failure message.
inline void PrintTo(Control control, std::ostream* out) {
  switch (control) {
    case Control::kMainWindow: *out << "main window"; return;
    case Control::kStartStopButton: *out << "Start/Stop button"; return;
    case Control::kStatusBox: *out << "status box"; return;
    case Control::kIntervalBox: *out << "interval box"; return;
  }
  *out << "control " << static_cast<int>(control);
}

namespace fakes {

// Milliseconds since the test began. The counter the code sees is that plus
// a chosen start, cut to 32 bits, so a test can put the wrap where it likes.
class FakeClock {
 public:
  std::uint32_t start_ticks = 0;

  std::uint64_t Now() const { return now_; }
  std::uint32_t Ticks() const { return static_cast<std::uint32_t>(start_ticks + now_); }
  void AdvanceTo(std::uint64_t time) {
    if (time > now_) now_ = time;
  }

 private:
  std::uint64_t now_ = 0;
};

// The message queue: actions due at a time, dispatched by the drains in the
// order they were queued. A pending quit request stops all dispatching, as
// it does on the real queue.
class FakeEventQueue final : public WaitPlatform {
 public:
  explicit FakeEventQueue(FakeClock& clock) : clock_(clock) {}

  int drains = 0;
  std::vector<std::uint32_t> block_timeouts;

  void At(std::uint64_t time, std::function<void()> action) {
    events_.emplace(time, std::move(action));
  }
  void PostQuit() { quit_pending_ = true; }
  std::size_t Queued() const { return events_.size(); }

  std::uint32_t Ticks() override { return clock_.Ticks(); }

  void DrainEvents() override {
    // The clock moves only when the wait blocks, so a wait that spins would
    // never end: fail the test instead of hanging it.
    if (++drains > kDrainLimit) throw std::runtime_error("the wait spins instead of blocking");
    while (!quit_pending_ && !events_.empty() && events_.begin()->first <= clock_.Now()) {
      // Taken off the queue first: the action may drain again, nested.
      std::function<void()> action = std::move(events_.begin()->second);
      events_.erase(events_.begin());
      action();
    }
  }

  // Sleeps until the next message arrives or the time-out is up. Messages
  // already due have been seen and do not wake it (a quit request keeps
  // them queued).
  void BlockForEvents(std::uint32_t timeout_ms) override {
    block_timeouts.push_back(timeout_ms);
    std::uint64_t wake = clock_.Now() + timeout_ms;
    for (const auto& event : events_) {
      if (event.first > clock_.Now() && event.first < wake) wake = event.first;
    }
    clock_.AdvanceTo(wake);
  }

 private:
  static constexpr int kDrainLimit = 10000;

  FakeClock& clock_;
  bool quit_pending_ = false;
  // A multimap keeps actions due at the same time in the order queued.
  std::multimap<std::uint64_t, std::function<void()>> events_;
};

struct TextWrite {
  Control control;
  Text text;
  std::uint64_t time;
};

// The main window and its controls. Once destroyed, reads give the empty
// text and writes change nothing, but each such write is counted.
class FakeWindow final : public ControlTexts {
 public:
  explicit FakeWindow(const FakeClock& clock) : clock_(clock) {}

  Text interval_box = kIntervalBoxText;
  bool destroyed = false;
  std::vector<TextWrite> writes;
  int writes_after_destruction = 0;

  Text Read(Control control) override {
    if (destroyed) return {};
    switch (control) {
      case Control::kMainWindow: return title_;
      case Control::kStartStopButton: return caption_;
      case Control::kStatusBox: return status_box_;
      case Control::kIntervalBox: return interval_box;
    }
    return {};
  }

  void Write(Control control, const Text& text) override {
    if (destroyed) {
      ++writes_after_destruction;
      return;
    }
    writes.push_back({control, text, clock_.Now()});
    switch (control) {
      case Control::kMainWindow: title_ = text; break;
      case Control::kStartStopButton: caption_ = text; break;
      case Control::kStatusBox: status_box_ = text; break;
      case Control::kIntervalBox: interval_box = text; break;
    }
  }

  bool WindowExists() override { return !destroyed; }

  std::vector<Text> WritesTo(Control control) const {
    std::vector<Text> texts;
    for (const auto& write : writes) {
      if (write.control == control) texts.push_back(write.text);
    }
    return texts;
  }
  // Every write in order, to show how writes to different controls interleave.
  std::vector<std::pair<Control, Text>> Sequence() const {
    std::vector<std::pair<Control, Text>> sequence;
    for (const auto& write : writes) sequence.emplace_back(write.control, write.text);
    return sequence;
  }
  std::vector<std::pair<Text, std::uint64_t>> TimedWritesTo(Control control) const {
    std::vector<std::pair<Text, std::uint64_t>> texts;
    for (const auto& write : writes) {
      if (write.control == control) texts.emplace_back(write.text, write.time);
    }
    return texts;
  }
  std::vector<Text> Titles() const { return WritesTo(Control::kMainWindow); }
  std::vector<Text> Captions() const { return WritesTo(Control::kStartStopButton); }
  std::vector<Text> StatusLines() const { return WritesTo(Control::kStatusBox); }

 private:
  const FakeClock& clock_;
  Text title_;
  Text caption_ = kCaptionStart;
  Text status_box_;
};

struct LogLine {
  Text path;
  Text line;
};

class FakeFiles final : public UrlFiles {
 public:
  Text list;
  int list_reads = 0;
  std::vector<LogLine> appended;

  Text ReadUrlListText() override {
    ++list_reads;
    return list;
  }
  void AppendLogLine(const Text& log_path, const Text& line) override {
    appended.push_back({log_path, line});
  }

  std::vector<Text> LinesIn(const Text& log_path) const {
    std::vector<Text> lines;
    for (const auto& entry : appended) {
      if (entry.path == log_path) lines.push_back(entry.line);
    }
    return lines;
  }
  std::vector<Text> SuccessLog() const { return LinesIn(kSuccessLogPath); }
  std::vector<Text> ErrorLog() const { return LinesIn(kErrorLogPath); }
};

struct ProbeCall {
  Text address;
  std::uint64_t time;
};

// Answers from a table (0, no answer, for an address not in it). An action
// set for the n-th probe (1 = the first) runs while that probe is under way.
class FakeProbe final : public StatusProbe {
 public:
  explicit FakeProbe(const FakeClock& clock) : clock_(clock) {}

  std::map<Text, std::int32_t> statuses;
  std::map<std::size_t, std::function<void()>> during;
  std::vector<ProbeCall> calls;

  std::int32_t Probe(const Text& address) override {
    calls.push_back({address, clock_.Now()});
    if (auto action = during.find(calls.size()); action != during.end()) action->second();
    const auto status = statuses.find(address);
    return status == statuses.end() ? 0 : status->second;
  }

  std::vector<Text> Addresses() const {
    std::vector<Text> addresses;
    for (const auto& call : calls) addresses.push_back(call.address);
    return addresses;
  }
  std::vector<std::uint64_t> Times() const {
    std::vector<std::uint64_t> times;
    for (const auto& call : calls) times.push_back(call.time);
    return times;
  }

 private:
  const FakeClock& clock_;
};

// The whole monitoring run as the program assembles it, with the handler's
// wait being the real event-pumping wait over the fake queue.
struct MonitorRig {
  FakeClock clock;
  FakeWindow window{clock};
  FakeFiles files;
  FakeProbe probe{clock};
  FakeEventQueue queue{clock};
  PumpingWaiter waiter{queue};
  StartStopHandler handler{window, files, probe, waiter};

  // A press of the button, dispatched by the first drain at or after time.
  void PressAt(std::uint64_t time) {
    queue.At(time, [this] { handler.OnPress(); });
  }
  void PressNow() { PressAt(clock.Now()); }
  // Closing destroys the window and leaves the quit request queued.
  void CloseAt(std::uint64_t time) {
    queue.At(time, [this] {
      window.destroyed = true;
      queue.PostQuit();
    });
  }
};

inline Text NumberedTitle(int number) {
  return kTitleWorkingOpen + std::to_string(number) + kTitleWorkingClose;
}

}  // namespace fakes
}  // namespace urlcheck
