#pragma once

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "monitor/ports.h"

namespace urlcheck {

// The handler of every press of the Start/Stop button. A press that finds
// the caption "停止" stops the running run; any other press starts a run
// over the URL list. Presses dispatched by the run's own wait re-enter
// OnPress, nested; the button's caption is the only state they share.
class StartStopHandler {
 public:
  StartStopHandler(ControlTexts& texts, UrlFiles& files, StatusProbe& probe, Waiter& waiter)
      : texts_(texts), files_(files), probe_(probe), waiter_(waiter) {}

  void OnPress();

 private:
  void StopRequest();
  void Run(const Text& list_text, std::int32_t wait_ms);
  void ProbeEntry(std::size_t number, const Text& address);
  void FinishRun();

  ControlTexts& texts_;
  UrlFiles& files_;
  StatusProbe& probe_;
  Waiter& waiter_;
};

}  // namespace urlcheck
