#include "support/run_records_win.h"

#include <optional>

#include "support/drive_d_win.h"

namespace urlcheck::test {
namespace {

// The status of the record "<entry> <status>\r\n" at `at`, advancing past it;
// nothing (and `at` untouched) when the bytes there are not that record.
std::optional<int> TakeRecord(std::string_view log, std::size_t& at, const std::string& entry) {
  std::size_t scan = at;
  if (log.size() - scan < entry.size() + 1 || log.compare(scan, entry.size(), entry) != 0) return std::nullopt;
  scan += entry.size();
  if (log[scan++] != ' ') return std::nullopt;
  bool negative = false;
  if (scan < log.size() && log[scan] == '-') {
    negative = true;
    ++scan;
  }
  const std::size_t digits_start = scan;
  long long status = 0;
  while (scan < log.size() && log[scan] >= '0' && log[scan] <= '9' && scan - digits_start < 11) {
    status = status * 10 + (log[scan++] - '0');
  }
  if (scan == digits_start || log.substr(scan, 2) != "\r\n") return std::nullopt;
  at = scan + 2;
  return static_cast<int>(negative ? -status : status);
}

std::string Around(std::string_view log, std::size_t at) {
  const std::size_t from = at < 40 ? 0 : at - 40;
  return "byte " + std::to_string(at) + " of " + std::to_string(log.size()) + ", near \"" +
         std::string(log.substr(from, 80)) + "\"";
}

}  // namespace

std::string ListFileBytes(const std::vector<std::string>& entries) {
  std::string bytes;
  for (const std::string& entry : entries) bytes += entry + "\r\n";
  return bytes;
}

std::string LogBytes(const std::wstring& path) { return ReadFileBytes(path).value_or(""); }

RunRecords MatchRunRecords(const std::vector<std::string>& entries, std::string_view success_gained,
                           std::string_view error_gained) {
  RunRecords result;
  std::size_t success_at = 0;
  std::size_t error_at = 0;
  for (const std::string& entry : entries) {
    std::size_t at = success_at;
    std::optional<int> status = TakeRecord(success_gained, at, entry);
    if (status && *status == 200) {
      success_at = at;
    } else {
      at = error_at;
      status = TakeRecord(error_gained, at, entry);
      if (!status || *status == 200) break;
      error_at = at;
    }
    result.statuses.push_back(*status);
    ++result.logged;
  }
  result.clean = success_at == success_gained.size() && error_at == error_gained.size();
  if (success_at != success_gained.size()) {
    result.problem = "success log: " + Around(success_gained, success_at);
  } else if (error_at != error_gained.size()) {
    result.problem = "error log: " + Around(error_gained, error_at);
  }
  return result;
}

std::uint64_t Fingerprint(std::string_view bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 1099511628211ull;
  }
  return hash;
}

}  // namespace urlcheck::test
