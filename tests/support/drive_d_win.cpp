#include "support/drive_d_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/scoped_win.h"

namespace urlcheck::test {

void WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << "cannot create test file, error " << GetLastError();
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  ASSERT_EQ(written, bytes.size());
}

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::nullopt;
  std::string bytes;
  char chunk[65536];
  DWORD got = 0;
  while (ReadFile(file.Get(), chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
  return bytes;
}

void RemoveFile(const std::wstring& path) {
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(path.c_str());
}

void SetReadOnly(const std::wstring& path, bool read_only) {
  ASSERT_TRUE(SetFileAttributesW(path.c_str(), read_only ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL));
}

bool RunningUnderWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace urlcheck::test
