#pragma once

#include "common/text.h"

namespace urlcheck {

// Appends the line and CR LF at the end of the log (code page 936 path),
// creating the log when it is missing. A record that cannot be written in
// full leaves the log exactly as it was. Failures are not reported.
void AppendLogLine(const Text& log_path, const Text& line);

}  // namespace urlcheck
