#include "monitor/url_list.h"

#include <cstddef>

namespace urlcheck {

namespace {

constexpr char kCarriageReturn = '\r';
constexpr char kLineFeed = '\n';
// An old end-of-file mark some editors still write after the text.
constexpr char kEndOfFileMark = '\x1A';

bool IsLead(char byte) { return IsLeadByte(static_cast<unsigned char>(byte)); }

}  // namespace

Text ScanUrlListContent(std::string_view bytes_read) {
  std::size_t end = 0;
  while (end < bytes_read.size()) {
    const char byte = bytes_read[end];
    if (byte == '\0' || byte == kEndOfFileMark) break;
    if (!IsLead(byte)) {
      ++end;
      continue;
    }
    // A lead byte as the very last byte is half a character cut off by the
    // end of the file. It is left out: kept, the last address would end in a
    // byte no code page 936 text can end in.
    if (end + 1 == bytes_read.size()) break;
    // The second byte of a character may be anything, 0x1A included, but a
    // 0x00 there means the text has ended (a list saved as UTF-16 looks like
    // this), and the orphaned lead byte goes with it.
    if (bytes_read[end + 1] == '\0') break;
    end += 2;
  }
  return Text(bytes_read.substr(0, end));
}

std::vector<Text> SplitUrlList(const Text& content) {
  std::vector<Text> entries;
  std::size_t entry_start = 0;
  std::size_t scan = 0;
  // Scanning by characters, not bytes: a CR that is the second byte of a
  // two-byte character is not a line break, so the lead byte swallows it.
  while (content.size() - scan >= 2) {
    if (content[scan] == kCarriageReturn && content[scan + 1] == kLineFeed) {
      entries.push_back(content.substr(entry_start, scan - entry_start));
      scan += 2;
      entry_start = scan;
    } else if (IsLead(content[scan])) {
      scan += 2;
    } else {
      ++scan;
    }
  }
  // Whatever follows the last CR LF is an entry too; a list that ends in
  // CR LF has nothing left here, so its final line break adds no entry.
  if (entry_start < content.size()) entries.push_back(content.substr(entry_start));
  return entries;
}

}  // namespace urlcheck
