#pragma once
// The URL list format: code page 936 text, one address per CR LF line.

#include <string_view>
#include <vector>

#include "common/text.h"

namespace urlcheck {

// The list content within the bytes read from the file: everything before
// the first end byte (0x00 or 0x1A where a character starts). A lead byte
// followed by 0x00 also ends it and is left out.
Text ScanUrlListContent(std::string_view bytes_read);

// Cuts the content at every CR LF that begins where a character starts.
// A final CR LF adds no empty entry; blank lines give empty entries.
std::vector<Text> SplitUrlList(const Text& content);

}  // namespace urlcheck
