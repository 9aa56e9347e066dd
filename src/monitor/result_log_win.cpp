#include "monitor/result_log_win.h"

#include <windows.h>

#include <limits>
#include <new>

#include "common/scoped_win.h"
#include "common/wide_text_win.h"

namespace urlcheck {

namespace {

// Writes the record after the log's last byte. The earlier records are never
// rewritten, so a crash or a full disk can cost at most this one record.
void AppendRecord(HANDLE log, const Text& record) {
  LARGE_INTEGER old_length{};
  if (!GetFileSizeEx(log, &old_length)) return;
  if (!SetFilePointerEx(log, old_length, nullptr, FILE_BEGIN)) return;
  DWORD written = 0;
  const DWORD wanted = static_cast<DWORD>(record.size());
  // One write for the whole record, and a short count is a failure too: on
  // a full disk the write can report success having written only part.
  if (WriteFile(log, record.data(), wanted, &written, nullptr) && written == wanted) return;
  // Cut off whatever part of the record did get written, so the log never
  // ends in half a line that the next record would be glued to.
  if (SetFilePointerEx(log, old_length, nullptr, FILE_BEGIN)) SetEndOfFile(log);
}

}  // namespace

void AppendLogLine(const Text& log_path, const Text& line) {
  try {
    const Text record = line + "\r\n";
    if (record.size() > std::numeric_limits<DWORD>::max()) return;

    // Readers may watch the log while records arrive, but no other writer may
    // have it open: a record appended under another writer's feet could be
    // overwritten by it. A log that cannot be opened (missing drive or folder,
    // read-only, held by another program) silently loses this record.
    // A log created here whose record then cannot be written stays behind as
    // an empty file: deleting it by name after closing could remove a log
    // another program created meanwhile.
    UniqueFile log(CreateFileW(WideFromText(log_path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log) return;
    AppendRecord(log.Get(), record);
  } catch (const std::bad_alloc&) {
    // Out of memory for the record or its path: the record is lost, the log
    // is untouched.
  }
}

}  // namespace urlcheck
