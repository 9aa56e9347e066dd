#include "support/process_usage_win.h"

#include <psapi.h>
#include <winternl.h>

#include <vector>

namespace urlcheck::test {
namespace {

DWORD HandlesInSystemTable(DWORD process_id) {
  using Query = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
  const auto query = reinterpret_cast<Query>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
  if (query == nullptr) return 0;
  constexpr NTSTATUS kTooSmall = static_cast<NTSTATUS>(0xC0000004L);
  std::vector<char> buffer(1 << 16);
  NTSTATUS status;
  while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) ==
             kTooSmall &&
         buffer.size() < (1u << 28)) {
    buffer.resize(buffer.size() * 2);
  }
  if (status != 0) return 0;
  const auto* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
  DWORD count = 0;
  for (ULONG i = 0; i < table->Count; ++i) {
    if (table->Handle[i].OwnerPid == process_id) ++count;
  }
  return count;
}

}  // namespace

ProcessUsage UsageOf(HANDLE process) {
  ProcessUsage usage;
  if (!GetProcessHandleCount(process, &usage.handles) || usage.handles == 0) {
    usage.handles = HandlesInSystemTable(GetProcessId(process));
  }
  PROCESS_MEMORY_COUNTERS_EX counters{};
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
  usage.private_bytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
  return usage;
}

}  // namespace urlcheck::test
