#include "monitor/url_list_file_win.h"

#include <windows.h>

#include <new>
#include <string>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"
#include "monitor/url_list.h"

namespace urlcheck {

namespace {

// A list this long is not a list of addresses; refusing it keeps the byte
// count within what one ReadFile can be asked for.
constexpr LONGLONG kMaxListBytes = LONGLONG{1} << 31;

Text ReadAndScan(HANDLE file) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart <= 0 || size.QuadPart >= kMaxListBytes) return {};
  const DWORD wanted = static_cast<DWORD>(size.QuadPart);
  std::string buffer(wanted, '\0');
  DWORD got = 0;
  if (!ReadFile(file, buffer.data(), wanted, &got, nullptr)) return {};
  // The file may have shrunk since its size was taken: only what arrived counts.
  return ScanUrlListContent(std::string_view(buffer.data(), got));
}

}  // namespace

Text ReadUrlListText(const Text& list_path) {
  try {
    // Read access only: the list is never written, and asking for more would
    // make a read-only list unreadable. Sharing writes lets the list be read
    // while an editor still has it open.
    UniqueFile file(CreateFileW(WideFromText(list_path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    return ReadAndScan(file.Get());
  } catch (const std::bad_alloc&) {
    // A list too large for memory reads as no list at all.
    return {};
  }
}

}  // namespace urlcheck
