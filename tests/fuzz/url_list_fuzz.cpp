// Any bytes from a list file: the content found in them and the entries cut
// from it must fit together exactly, whatever the bytes are.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "monitor/url_list.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// Walks the text by characters the way the list format does (a lead byte
// takes the next byte whatever it is) and fails on a CR LF at a character
// start: that would be a line break the split missed.
void RequireNoLineBreak(const urlcheck::Text& entry) {
  std::size_t at = 0;
  while (at < entry.size()) {
    Require(!(entry[at] == '\r' && at + 1 < entry.size() && entry[at + 1] == '\n'));
    at += urlcheck::IsLeadByte(static_cast<unsigned char>(entry[at])) ? 2 : 1;
  }
}

// Where characters start in the text (one past the end included when the
// last character is whole).
std::vector<bool> CharacterStarts(const urlcheck::Text& text) {
  std::vector<bool> starts(text.size() + 2, false);
  std::size_t at = 0;
  while (at <= text.size()) {
    starts[at] = true;
    if (at == text.size()) break;
    at += urlcheck::IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
  }
  return starts;
}

void CheckSplit(const urlcheck::Text& content) {
  const auto entries = urlcheck::SplitUrlList(content);
  Require(content.empty() == entries.empty());
  const std::vector<bool> starts = CharacterStarts(content);
  urlcheck::Text joined;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) {
      // Every cut is a CR LF at a character start: a cut inside a two-byte
      // character would take its second byte for a CR.
      Require(starts[joined.size()]);
      joined += "\r\n";
    }
    joined += entries[i];
    RequireNoLineBreak(entries[i]);
  }
  // A final CR LF ends the last entry without starting another one.
  Require(content == joined || content == joined + "\r\n");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  const urlcheck::Text content = urlcheck::ScanUrlListContent(bytes);
  Require(bytes.substr(0, content.size()) == content);
  Require(content.find('\0') == urlcheck::Text::npos);
  // Only whole characters: a lead byte in the content always has its second
  // byte with it, so the content never ends in half a character.
  std::size_t at = 0;
  while (at < content.size()) at += urlcheck::IsLeadByte(static_cast<unsigned char>(content[at])) ? 2 : 1;
  Require(at == content.size());
  CheckSplit(content);

  // The split alone, on text the scan never saw (which may end in half a
  // character or hold a 0x1A).
  CheckSplit(urlcheck::TextFromBytes(bytes));
  return 0;
}
