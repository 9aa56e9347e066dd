// How the cost of adding one record to a log grows with the log's size:
// appending at the end (what the tool does) against reading the whole log
// and writing it back with the record added. Runs on drive D:, under Wine
// through scripts/bench.sh.
#include <windows.h>

#include <cstdio>
#include <string>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"
#include "monitor/result_log_win.h"

namespace {

using urlcheck::Text;
using urlcheck::UniqueFile;

constexpr long long kSmallLogBytes = 1024;
constexpr long long kLargeLogBytes = 100LL * 1024 * 1024;
constexpr int kAppends = 1000;
// Each rewrite of the large log reads and writes 100 MB, so this approach
// gets fewer records there to finish in reasonable time.
constexpr int kRewritesOfLargeLog = 20;
constexpr int kWarmUpRecords = 3;

const Text kSmallLogPath = "d:/bench_small_log.txt";
const Text kLargeLogPath = "d:/bench_large_log.txt";
const Text kRecord = "404 http://127.0.0.1:8080/some/page.html";

// A log of whole records, at least this many bytes long.
bool MakeLog(const Text& path, long long bytes) {
  const UniqueFile file(CreateFileW(urlcheck::WideFromText(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::string chunk;
  while (chunk.size() < 1024 * 1024 && static_cast<long long>(chunk.size()) < bytes) chunk += kRecord + "\r\n";
  for (long long done = 0; done < bytes; done += static_cast<long long>(chunk.size())) {
    DWORD written = 0;
    if (!WriteFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr) ||
        written != chunk.size())
      return false;
  }
  return true;
}

// The approach the tool does not take: the whole log is read and written
// back with the record added, so each record costs the log's whole size.
void RewriteWithLine(const Text& path, const Text& line) {
  const UniqueFile file(CreateFileW(urlcheck::WideFromText(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.Get(), &size)) return;
  std::string content(static_cast<size_t>(size.QuadPart), '\0');
  DWORD got = 0;
  if (!ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &got, nullptr)) return;
  content.resize(got);
  content += line + "\r\n";
  const LARGE_INTEGER start{};
  if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(file.Get())) return;
  DWORD written = 0;
  WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
}

double Seconds() {
  static const LONGLONG frequency = [] {
    LARGE_INTEGER value{};
    QueryPerformanceFrequency(&value);
    return value.QuadPart;
  }();
  LARGE_INTEGER now{};
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency);
}

using AddRecord = void (*)(const Text& path, const Text& line);

// Microseconds per record, on a freshly made log of the given size; a
// negative value when the log could not be made.
double MicrosecondsPerRecord(const Text& path, long long log_bytes, int records, AddRecord add_record) {
  if (!MakeLog(path, log_bytes)) return -1;
  // Untimed first records: the first file opens in a process are slower
  // (under Wine especially) and would be charged to whichever row ran first.
  for (int i = 0; i < kWarmUpRecords; ++i) add_record(path, kRecord);
  const double start = Seconds();
  for (int i = 0; i < records; ++i) add_record(path, kRecord);
  const double elapsed = Seconds() - start;
  DeleteFileW(urlcheck::WideFromText(path).c_str());
  return elapsed * 1e6 / records;
}

void PrintRow(const char* approach, const char* log, int records, double microseconds) {
  if (microseconds < 0) {
    std::printf("%-20s %-8s %8d   (could not make the log on D:)\n", approach, log, records);
    return;
  }
  std::printf("%-20s %-8s %8d %14.1f\n", approach, log, records, microseconds);
}

void PrintApproach(const char* approach, int small_records, int large_records, AddRecord add_record) {
  const double small = MicrosecondsPerRecord(kSmallLogPath, kSmallLogBytes, small_records, add_record);
  const double large = MicrosecondsPerRecord(kLargeLogPath, kLargeLogBytes, large_records, add_record);
  PrintRow(approach, "1 KB", small_records, small);
  PrintRow(approach, "100 MB", large_records, large);
  if (small > 0 && large >= 0) std::printf("%-20s 100 MB / 1 KB: %.1fx\n", "", large / small);
}

}  // namespace

int main() {
  std::printf("Time to add one record to a log on D: (logs made fresh for each row)\n\n");
  std::printf("%-20s %-8s %8s %14s\n", "approach", "log", "records", "us per record");
  PrintApproach("append at end", kAppends, kAppends, urlcheck::AppendLogLine);
  PrintApproach("read all, rewrite", kAppends, kRewritesOfLargeLog, RewriteWithLine);
  std::printf("\nThe rewrite of the 100 MB log is timed over %d records, not %d: each one reads and\n"
              "writes the whole log.\n",
              kRewritesOfLargeLog, kAppends);
  return 0;
}
