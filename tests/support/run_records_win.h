#pragma once
// Reading a run back from the logs: which entries of the list got their
// record, in which log, and whether anything else is there. The fault and
// load tests check every run this way, whatever happened to the program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace urlcheck::test {

inline const std::wstring kListPath = L"D:\\url.txt";
inline const std::wstring kSuccessLogPath = L"D:\\\u65E5\u5FD7.txt";  // 日志.txt
inline const std::wstring kErrorLogPath = L"D:\\error.txt";

// The list file for these entries: each one followed by CR LF.
std::string ListFileBytes(const std::vector<std::string>& entries);

// A log's bytes, or "" when it does not exist.
std::string LogBytes(const std::wstring& path);

// What the bytes both logs gained during one run say about that run.
struct RunRecords {
  // Entries 1..logged each have exactly one record ("<entry> <status>\r\n"),
  // status 200 in the success log and any other in the error log, in list
  // order in each.
  std::size_t logged = 0;
  std::vector<int> statuses;  // of the logged entries, in list order
  // Both stretches hold those records and nothing else: no torn record, no
  // duplicate, nothing out of order.
  bool clean = false;
  // Where the first byte that fits no record is, for a failure message.
  std::string problem;
};
RunRecords MatchRunRecords(const std::vector<std::string>& entries, std::string_view success_gained,
                           std::string_view error_gained);

// 64-bit FNV-1a: enough to tell whether a large log's old part is unchanged
// without keeping a second copy of it.
std::uint64_t Fingerprint(std::string_view bytes);

}  // namespace urlcheck::test
