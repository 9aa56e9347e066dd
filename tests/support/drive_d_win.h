#pragma once
// Files on the test's drive D: (a fresh temporary folder for each test
// program, see rig/wine-exec), read and written byte for byte.

#include <optional>
#include <string>
#include <string_view>

namespace urlcheck::test {

// Replaces the file's content with exactly these bytes.
void WriteFileBytes(const std::wstring& path, std::string_view bytes);
// The file's bytes, or nothing when it cannot be opened.
std::optional<std::string> ReadFileBytes(const std::wstring& path);
// Removes the file, clearing a read-only attribute first; missing is fine.
void RemoveFile(const std::wstring& path);
void SetReadOnly(const std::wstring& path, bool read_only);

// True when running under Wine rather than Windows.
bool RunningUnderWine();

}  // namespace urlcheck::test
