#include "support/file_holder_win.h"

#include <cstdint>
#include <string>
#include <vector>

namespace urlcheck::test {

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kExitTimeoutMs = 10000;

// file_holder.exe is built into the same folder as the test programs.
std::wstring HolderPath() {
  std::vector<wchar_t> buffer(32768);
  const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
  std::wstring path(buffer.data(), length);
  const auto slash = path.find_last_of(L"\\/");
  path.erase(slash == std::wstring::npos ? 0 : slash + 1);
  return path + L"file_holder.exe";
}

}  // namespace

::testing::AssertionResult FileHolder::Hold(const std::wstring& path, DWORD access, DWORD share) {
  Release();
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  UniqueKernelHandle ready(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
  if (!ready) return ::testing::AssertionFailure() << "CreateEventW failed, error " << GetLastError();

  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inheritable, 0))
    return ::testing::AssertionFailure() << "CreatePipe failed, error " << GetLastError();
  UniqueKernelHandle input_read(read_end);
  UniqueKernelHandle input_write(write_end);
  // Only the read end goes to the holder: a copy of the write end in it
  // would keep its input open forever.
  if (!SetHandleInformation(input_write.Get(), HANDLE_FLAG_INHERIT, 0))
    return ::testing::AssertionFailure() << "SetHandleInformation failed, error " << GetLastError();

  std::wstring command = L"\"" + HolderPath() + L"\" " +
                         std::to_wstring(reinterpret_cast<std::uintptr_t>(ready.Get())) + L" " +
                         std::to_wstring(access) + L" " + std::to_wstring(share) + L" " + path;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input_read.Get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &started))
    return ::testing::AssertionFailure() << "cannot start file_holder.exe, error " << GetLastError();
  UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  input_read.Reset();

  const HANDLE waits[] = {ready.Get(), process.Get()};
  const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, kStartTimeoutMs);
  if (woke == WAIT_OBJECT_0) {
    process_ = std::move(process);
    input_ = std::move(input_write);
    return ::testing::AssertionSuccess();
  }
  if (woke == WAIT_OBJECT_0 + 1) {
    DWORD code = 0;
    GetExitCodeProcess(process.Get(), &code);
    return ::testing::AssertionFailure() << "file_holder.exe could not hold the file, exit code " << code;
  }
  TerminateProcess(process.Get(), 1);
  WaitForSingleObject(process.Get(), kExitTimeoutMs);
  return ::testing::AssertionFailure() << "file_holder.exe did not get the file in time";
}

void FileHolder::Release() {
  if (!process_) return;
  input_.Reset();
  if (WaitForSingleObject(process_.Get(), kExitTimeoutMs) != WAIT_OBJECT_0) {
    ADD_FAILURE() << "file_holder.exe did not end after its input closed";
    TerminateProcess(process_.Get(), 1);
    WaitForSingleObject(process_.Get(), kExitTimeoutMs);
  }
  process_.Reset();
}

}  // namespace urlcheck::test
