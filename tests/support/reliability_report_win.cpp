#include "support/reliability_report_win.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/scoped_win.h"

namespace urlcheck::test {
namespace {

// Tabs and line ends would break the line's fields apart.
std::string Field(std::string text) {
  for (char& c : text) {
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

std::string ExitCodeLabel(DWORD code) {
  if (code < 0x10000) return std::to_string(code);
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
  return hex;
}

// The report file as a Windows path: under Wine the variable names a Unix
// path, which Wine's own mapping turns into one its file APIs accept.
std::wstring ReportPath() {
  const char* named = std::getenv("URLCHECK_RELIABILITY_REPORT");
  if (named == nullptr || *named == '\0') return {};
  using DosName = WCHAR*(CDECL*)(LPCSTR);
  const auto to_dos = reinterpret_cast<DosName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
  if (named[0] == '/' && to_dos != nullptr) {
    WCHAR* dos = to_dos(named);
    if (dos == nullptr) return {};
    std::wstring path(dos);
    HeapFree(GetProcessHeap(), 0, dos);
    return path;
  }
  const int length = MultiByteToWideChar(CP_UTF8, 0, named, -1, nullptr, 0);
  if (length <= 1) return {};
  std::wstring path(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, named, -1, path.data(), length);
  path.resize(static_cast<std::size_t>(length - 1));
  return path;
}

}  // namespace

bool IsCrashExitCode(DWORD code) { return code >= 0xC0000000u; }

void ReliabilityCase::Exited(std::optional<DWORD> code) {
  if (!code) {
    ++exit_codes_["no exit"];
    return;
  }
  if (IsCrashExitCode(*code)) ++crashes_;
  ++exit_codes_[ExitCodeLabel(*code)];
}

ReliabilityCase::~ReliabilityCase() {
  const std::wstring path = ReportPath();
  if (path.empty()) return;
  std::string codes;
  for (const auto& [label, count] : exit_codes_) {
    if (!codes.empty()) codes += ", ";
    codes += label + " x" + std::to_string(count);
  }
  if (codes.empty()) codes = "-";
  const std::string line = Field(fault_) + "\t" + std::to_string(tries_) + "\t" + std::to_string(records_checked_) +
                           "\t" + std::to_string(records_lost_) + "\t" + std::to_string(crashes_) + "\t" +
                           Field(codes) + "\t" + Field(note_) + "\n";
  // Appending: every test program of the run adds its lines to one file.
  UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  DWORD written = 0;
  WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace urlcheck::test
