#include "common/wide_text_win.h"

#include <windows.h>

namespace urlcheck {

std::wstring WideFromText(const Text& text) {
  if (text.empty()) return {};
  const int length = static_cast<int>(text.size());
  const int needed = MultiByteToWideChar(kTextCodePage, 0, text.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  MultiByteToWideChar(kTextCodePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

Text TextFromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int needed =
      WideCharToMultiByte(kTextCodePage, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(kTextCodePage, 0, wide.data(), length, bytes.data(), needed, nullptr, nullptr);
  // A typed U+0000 cannot reach an edit box, but a text must never hold 0x00.
  return TextFromBytes(bytes);
}

}  // namespace urlcheck
