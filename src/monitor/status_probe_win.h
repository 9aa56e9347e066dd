#pragma once

#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <functional>

#include "common/text.h"
#include "monitor/ports.h"

namespace urlcheck {

// Makes the request object for one probe; null when it cannot be created.
using RequestFactory = std::function<Microsoft::WRL::ComPtr<IDispatch>()>;

// Creates "WinHttp.WinHttpRequest.5.1" from its ProgID and starts it.
Microsoft::WRL::ComPtr<IDispatch> CreateWinHttpRequest();

// One GET to the address through a fresh request object; the HTTP status,
// or 0 when there is no answer. Blocks the calling thread; COM must already
// be initialised on it as a single-threaded apartment.
std::int32_t ProbeStatus(const Text& address, const RequestFactory& factory = CreateWinHttpRequest);

class WinHttpStatusProbe final : public StatusProbe {
 public:
  std::int32_t Probe(const Text& address) override { return ProbeStatus(address); }
};

}  // namespace urlcheck
