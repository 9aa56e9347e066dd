// file_holder: keeps a file open on behalf of a test, as another program
// (an editor, a log viewer) would, so sharing between processes is tested
// for real and not within one process.
//   file_holder READY_EVENT ACCESS SHARE PATH
// READY_EVENT is an inherited event handle, set once the file is open;
// ACCESS and SHARE are CreateFileW's numbers in decimal; PATH is the rest of
// the command line, spaces included. The file stays open until standard
// input closes, which also happens when the test program dies.
// Exit codes: 0 after holding, 1 bad command line, 2 the file did not open.
#include <windows.h>

#include <cstdint>
#include <cwchar>
#include <string>

#include "common/scoped_win.h"

namespace {

struct Arguments {
  HANDLE ready = nullptr;
  DWORD access = 0;
  DWORD share = 0;
  std::wstring path;
};

const wchar_t* SkipProgramName(const wchar_t* at) {
  if (*at == L'"') {
    at = std::wcschr(at + 1, L'"');
    return at == nullptr ? nullptr : at + 1;
  }
  while (*at != L'\0' && *at != L' ') ++at;
  return at;
}

bool ReadNumber(const wchar_t*& at, std::uint64_t& number) {
  while (*at == L' ') ++at;
  wchar_t* end = nullptr;
  number = std::wcstoull(at, &end, 10);
  if (end == at || *end != L' ') return false;
  at = end + 1;
  return true;
}

bool ParseCommandLine(const wchar_t* at, Arguments& arguments) {
  at = SkipProgramName(at);
  if (at == nullptr) return false;
  std::uint64_t ready = 0, access = 0, share = 0;
  if (!ReadNumber(at, ready) || !ReadNumber(at, access) || !ReadNumber(at, share)) return false;
  arguments.ready = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(ready));
  arguments.access = static_cast<DWORD>(access);
  arguments.share = static_cast<DWORD>(share);
  arguments.path = at;
  return !arguments.path.empty();
}

}  // namespace

int main() {
  Arguments arguments;
  if (!ParseCommandLine(GetCommandLineW(), arguments)) return 1;
  const urlcheck::UniqueKernelHandle ready(arguments.ready);
  const urlcheck::UniqueFile file(CreateFileW(arguments.path.c_str(), arguments.access, arguments.share,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return 2;
  SetEvent(ready.Get());

  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  char input_byte = 0;
  DWORD got = 0;
  while (ReadFile(input, &input_byte, 1, &got, nullptr) && got > 0) {
  }
  return 0;
}
