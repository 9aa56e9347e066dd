#pragma once
// The one boundary between the tool's code page 936 texts and the UTF-16 of
// the W APIs. Code page 936 is named explicitly, so the tool behaves the same
// on a Windows whose ANSI code page is something else.

#include <string>

#include "common/text.h"

namespace urlcheck {

constexpr unsigned kTextCodePage = 936;

std::wstring WideFromText(const Text& text);
Text TextFromWide(const std::wstring& wide);

}  // namespace urlcheck
