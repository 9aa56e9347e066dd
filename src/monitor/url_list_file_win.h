#pragma once

#include "common/text.h"

namespace urlcheck {

// Reads the list file at the path (code page 936) and returns its content as
// ScanUrlListContent finds it; the empty text on any failure.
Text ReadUrlListText(const Text& list_path);

}  // namespace urlcheck
