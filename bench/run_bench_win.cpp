// What a run costs: processor time while the tool waits between addresses
// (beside a busy-polling wait measured here), how soon a stop press shows,
// and how many addresses a second it checks with no interval.
//   run_bench.exe <address of a loopback server answering 200>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "shell/control_ids.h"
#include "support/drive_d_win.h"
#include "support/urlcheck_process_win.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using urlcheck::test::UrlcheckProcess;

const std::wstring kListPath = L"D:\\url.txt";
const std::wstring kSuccessLog = L"D:\\\u65E5\u5FD7.txt";
const std::wstring kStart = L"\u5F00\u59CB";

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// Processor seconds of every Unix process whose command line contains the
// name, read from /proc through Wine's drive Z:. Wine's GetProcessTimes
// reports nothing for other processes, and the wineserver's share, which a
// busy wait drives up too, is visible only there. Elsewhere: nothing.
using CpuByProcess = std::map<std::wstring, double>;

std::string OurPrefix() {
  wchar_t prefix[1024] = {};
  GetEnvironmentVariableW(L"WINEPREFIX", prefix, 1024);
  // /proc shows the Unix environment in UTF-8.
  char utf8[4096] = {};
  WideCharToMultiByte(CP_UTF8, 0, prefix, -1, utf8, sizeof utf8, nullptr, nullptr);
  return std::string("WINEPREFIX=") + utf8 + '\0';
}

CpuByProcess UnixCpuSeconds(const std::string& name) {
  const auto proc_file = [](const std::wstring& pid, const wchar_t* file) {
    return urlcheck::test::ReadFileBytes(L"Z:\\proc\\" + pid + L"\\" + file).value_or("");
  };
  CpuByProcess seconds;
  WIN32_FIND_DATAW entry;
  const urlcheck::UniqueFind search(FindFirstFileW(L"Z:\\proc\\*", &entry));
  if (!search) return seconds;
  do {
    const std::wstring pid = entry.cFileName;
    if (pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
    if (proc_file(pid, L"cmdline").find(name) == std::string::npos) continue;
    // Other Wine prefixes on the machine have wineservers of their own.
    if (proc_file(pid, L"environ").find(OurPrefix()) == std::string::npos) continue;
    // After the command in parentheses come the fields from 3 (the state)
    // on; utime and stime are 14 and 15, in clock ticks of 10 ms.
    const std::string stat = proc_file(pid, L"stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int index = 3; index <= 15 && fields >> field; ++index) {
      if (index >= 14) seconds[pid] += std::stod(field) / 100.0;
    }
  } while (FindNextFileW(search.Get(), &entry));
  return seconds;
}

// The share of one core that the processes named took while `work` ran;
// only processes that lived through the whole measurement count.
template <typename Work>
double CpuShareDuring(const std::vector<std::string>& names, Work work) {
  const auto sample = [&names] {
    CpuByProcess all;
    for (const std::string& name : names) all.merge(UnixCpuSeconds(name));
    return all;
  };
  const CpuByProcess before = sample();
  const auto started = Clock::now();
  work();
  const double elapsed = Seconds(Clock::now() - started);
  double used = 0;
  for (const auto& [pid, seconds] : sample()) {
    if (const auto earlier = before.find(pid); earlier != before.end()) used += seconds - earlier->second;
  }
  return used / elapsed;
}

size_t LogRecords() {
  const std::string log = urlcheck::test::ReadFileBytes(kSuccessLog).value_or("");
  return static_cast<size_t>(std::count(log.begin(), log.end(), '\n'));
}

bool StartWithList(UrlcheckProcess& app, const std::string& list, const wchar_t* interval) {
  urlcheck::test::RemoveFile(kSuccessLog);
  urlcheck::test::WriteFileBytes(kListPath, list);
  if (!app.Start()) return false;
  app.SetControlText(urlcheck::kIntervalBoxId, interval);
  return true;
}

// The way the tool used to wait: polling the queue and the tick counter.
void BusyPollingWait(DWORD length_ms) {
  const DWORD start = GetTickCount();
  MSG message;
  while (GetTickCount() - start <= length_ms) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

void WaitCpu(const std::string& address) {
  UrlcheckProcess app;
  if (!StartWithList(app, address + "\r\n", L"10")) return;
  app.PressStartStop();
  app.WaitFor([] { return LogRecords() == 1; }, 20s);
  const double share = CpuShareDuring({"urlcheck.exe", "wineserver"}, [] { Sleep(8000); });
  const double busy_share = CpuShareDuring({"run_bench.exe", "wineserver"}, [] { BusyPollingWait(8000); });
  std::printf("CPU during a 10 s wait (with wineserver): %5.2f %% of one core (target < 1 %%)\n", share * 100);
  std::printf("  a busy-polling wait, same run:          %5.2f %% of one core\n", busy_share * 100);
}

void StopLatency(const std::string& address) {
  UrlcheckProcess app;
  if (!StartWithList(app, address + "\r\n", L"600")) return;
  std::vector<double> latencies;
  for (size_t run = 1; run <= 10; ++run) {
    // Each start press after a stop begins a fresh run inside the stopped
    // run's wait; it probes once and waits again.
    app.PressStartStop();
    if (!app.WaitFor([run] { return LogRecords() == run; }, 20s)) break;
    const auto pressed = Clock::now();
    app.PressStartStop();
    if (!app.WaitFor([&app] { return app.ControlText(urlcheck::kStartStopButtonId) == kStart; }, 5s)) break;
    latencies.push_back(Seconds(Clock::now() - pressed) * 1000);
  }
  if (latencies.empty()) return;
  std::sort(latencies.begin(), latencies.end());
  std::printf("stop press to caption 'start':     %6.1f ms median, %.1f ms worst of %zu (target < 50 ms)\n",
              latencies[latencies.size() / 2], latencies.back(), latencies.size());
}

void Throughput(const std::string& address, size_t count) {
  std::string list;
  for (size_t i = 0; i < count; ++i) list += address + "\r\n";
  UrlcheckProcess app;
  if (!StartWithList(app, list, L"0")) return;
  const auto started = Clock::now();
  app.PressStartStop();
  // With no interval the window is hardly serviced during the run: watch the
  // log instead of the title.
  app.WaitFor([count] { return LogRecords() >= count; }, 600s);
  const double elapsed = Seconds(Clock::now() - started);
  std::printf("addresses per second, interval 0:  %6.0f (%zu addresses in %.1f s, %zu logged)\n",
              static_cast<double>(count) / elapsed, count, elapsed, LogRecords());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: run_bench <address answering 200>\n");
    return 2;
  }
  const std::wstring wide = argv[1];
  const std::string address(wide.begin(), wide.end());
  WaitCpu(address);
  StopLatency(address);
  Throughput(address, 1000);
  return 0;
}
