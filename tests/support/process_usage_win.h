#pragma once
// A process's handle count and private bytes, for leak checks over long runs.

#include <windows.h>

namespace urlcheck::test {

struct ProcessUsage {
  DWORD handles = 0;
  SIZE_T private_bytes = 0;
};

// Works under Wine too, where GetProcessHandleCount reports 0 and
// PrivateUsage stays 0: the handles are then counted in the system's handle
// table and the private bytes read from PagefileUsage (Windows reports the
// same value in both).
ProcessUsage UsageOf(HANDLE process);

}  // namespace urlcheck::test
