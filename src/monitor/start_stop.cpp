#include "monitor/start_stop.h"

#include <string>
#include <vector>

#include "monitor/decimal_text.h"
#include "monitor/interval.h"
#include "monitor/literals.h"
#include "monitor/url_list.h"

namespace urlcheck {

void StartStopHandler::OnPress() {
  // Read on every press, a stop included, before the caption decides: a
  // start press uses the box and the file as they are at that press, never
  // what an earlier run saw.
  const std::int32_t wait_ms =
      WaitLengthFromSeconds(IntervalConversion(texts_.Read(Control::kIntervalBox)));
  const Text list_text = files_.ReadUrlListText();
  if (texts_.Read(Control::kStartStopButton) == kCaptionStop) {
    StopRequest();
    return;
  }
  Run(list_text, wait_ms);
}

// The running run is not interrupted: it finds the caption "开始" before its
// next entry, once the wait in progress has run its full length.
void StartStopHandler::StopRequest() {
  texts_.Write(Control::kStartStopButton, kCaptionStart);
  texts_.Write(Control::kMainWindow, kTitleStopped);
}

void StartStopHandler::Run(const Text& list_text, std::int32_t wait_ms) {
  texts_.Write(Control::kStartStopButton, kCaptionStop);
  texts_.Write(Control::kMainWindow, kTitleWorking);
  const std::vector<Text> entries = SplitUrlList(list_text);
  for (std::size_t number = 1; number <= entries.size(); ++number) {
    // Closing the window during the wait leaves nothing to report to:
    // no further probe, no log line, no write to a destroyed control.
    if (!texts_.WindowExists()) return;
    // A stop press, or a nested run that has ended, left the caption "开始".
    if (texts_.Read(Control::kStartStopButton) == kCaptionStart) break;
    ProbeEntry(number, entries[number - 1]);
    waiter_.Wait(wait_ms);
  }
  FinishRun();
}

void StartStopHandler::ProbeEntry(std::size_t number, const Text& address) {
  texts_.Write(Control::kMainWindow, kTitleWorkingOpen + std::to_string(number) + kTitleWorkingClose);
  const Text status_text = DecimalText(probe_.Probe(address));
  const Text line = address + kResultSeparator + status_text;
  texts_.Write(Control::kStatusBox, line);
  files_.AppendLogLine(status_text == kSuccessStatus ? kSuccessLogPath : kErrorLogPath, line);
}

void StartStopHandler::FinishRun() {
  if (!texts_.WindowExists()) return;
  texts_.Write(Control::kMainWindow, kTitleStopped);
  texts_.Write(Control::kStartStopButton, kCaptionStart);
}

}  // namespace urlcheck
