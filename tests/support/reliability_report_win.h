#pragma once
// One line per fault case for the reliability table (docs/reliability.md,
// rendered by scripts/reliability.sh). A test fills in what it saw and
// reports it whether or not its checks passed, so a failing case shows up in
// the table with its numbers instead of vanishing from it.
//
// The lines go to the file named by URLCHECK_RELIABILITY_REPORT (a Unix path
// under Wine, a Windows path on Windows); without it nothing is written.
// Fields, tab-separated: fault, tries, records checked, records lost,
// crashes, exit codes seen ("0 x25, 0xC0000005 x1"), note.

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace urlcheck::test {

// An exit code that says the process died of an exception rather than
// ending (0xC0000005 and the other NTSTATUS error values).
bool IsCrashExitCode(DWORD code);

class ReliabilityCase {
 public:
  explicit ReliabilityCase(std::string fault) : fault_(std::move(fault)) {}
  // Writes the line when the case goes out of scope, so an assertion that
  // ends the test early still leaves its numbers behind.
  ~ReliabilityCase();
  ReliabilityCase(const ReliabilityCase&) = delete;
  ReliabilityCase& operator=(const ReliabilityCase&) = delete;

  void Try() { ++tries_; }
  void Checked(long long records) { records_checked_ += records; }
  // Records that belonged in a log and are not there, or are torn,
  // duplicated or out of order.
  void Lost(long long records) { records_lost_ += records; }
  // How the process ended: its exit code, or nothing when it did not end
  // within the test's bound (a hang).
  void Exited(std::optional<DWORD> code);
  void Note(const std::string& note) { note_ = note; }

 private:
  std::string fault_;
  int tries_ = 0;
  long long records_checked_ = 0;
  long long records_lost_ = 0;
  int crashes_ = 0;
  std::map<std::string, int> exit_codes_;
  std::string note_;
};

}  // namespace urlcheck::test
