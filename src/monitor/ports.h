#pragma once
// The small interfaces through which the monitoring run reaches the window,
// the files, the network and the message queue. The Win32 layer implements
// them; the native tests implement them with scripted fakes.

#include <cstdint>

#include "common/text.h"

namespace urlcheck {

// The texts the run reads and writes. Each control has one text property:
// the main window its title, a button its caption, an edit box its content.
enum class Control { kMainWindow, kStartStopButton, kStatusBox, kIntervalBox };

class ControlTexts {
 public:
  virtual ~ControlTexts() = default;
  // Title and caption read back the last value written; an edit box's
  // content is what it holds now. Neither call takes a message from the queue.
  virtual Text Read(Control control) = 0;
  virtual void Write(Control control, const Text& text) = 0;
  // False once the main window has been destroyed (closed during a wait).
  virtual bool WindowExists() = 0;
};

class UrlFiles {
 public:
  virtual ~UrlFiles() = default;
  // The list file's content; the empty text on any failure.
  virtual Text ReadUrlListText() = 0;
  // Adds the line and CR LF to the log; a failure is not reported.
  virtual void AppendLogLine(const Text& log_path, const Text& line) = 0;
};

class StatusProbe {
 public:
  virtual ~StatusProbe() = default;
  // The HTTP status of one GET to the address, 0 when there is no answer.
  virtual std::int32_t Probe(const Text& address) = 0;
};

class Waiter {
 public:
  virtual ~Waiter() = default;
  // Keeps the window serviced for the wait length; may run the Start/Stop
  // handler again, nested, when it dispatches a press.
  virtual void Wait(std::int32_t wait_ms) = 0;
};

// What the event-pumping wait needs of the platform.
class WaitPlatform {
 public:
  virtual ~WaitPlatform() = default;
  // The 32-bit millisecond tick counter; it wraps after about 49.7 days.
  virtual std::uint32_t Ticks() = 0;
  // Dispatches every waiting message until the queue is empty or the quit
  // request is next (it stays queued).
  virtual void DrainEvents() = 0;
  // Sleeps until a new message arrives or at most timeout_ms have passed.
  virtual void BlockForEvents(std::uint32_t timeout_ms) = 0;
};

}  // namespace urlcheck
