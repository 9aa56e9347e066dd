#pragma once
// The message queue and tick counter behind the event-pumping wait.

#include <windows.h>

#include <functional>
#include <utility>

#include "monitor/ports.h"

namespace urlcheck {

class Win32WaitPlatform final : public WaitPlatform {
 public:
  // dispatch hands each drained message on exactly as the message loop does.
  explicit Win32WaitPlatform(std::function<void(MSG&)> dispatch) : dispatch_(std::move(dispatch)) {}

  std::uint32_t Ticks() override { return GetTickCount(); }
  void DrainEvents() override;
  void BlockForEvents(std::uint32_t timeout_ms) override;

 private:
  std::function<void(MSG&)> dispatch_;
};

}  // namespace urlcheck
