// The list format: where the content read from the file ends, and where it
// is cut into addresses.
#include "monitor/url_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace urlcheck {
namespace {

using ::testing::ElementsAreArray;

// std::string built from a literal with embedded 0x00 bytes.
template <std::size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

struct SplitCase {
  const char* name;
  Text content;
  std::vector<Text> entries;
};

// Failures name the case instead of dumping the struct's bytes.
void PrintTo(const SplitCase& split_case, std::ostream* out) { *out << split_case.name; }

class SplitUrlListTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitUrlListTest, CutsAtCrLfOnCharacterBoundaries) {
  EXPECT_THAT(SplitUrlList(GetParam().content), ElementsAreArray(GetParam().entries));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SplitUrlListTest,
    ::testing::Values(
        SplitCase{"Empty", "", {}},
        SplitCase{"OneEntry", "a", {"a"}},
        SplitCase{"TwoEntries", "a\r\nb", {"a", "b"}},
        SplitCase{"FinalCrLfAddsNoEntry", "a\r\nb\r\n", {"a", "b"}},
        SplitCase{"BlankLineInside", "a\r\n\r\nb", {"a", "", "b"}},
        SplitCase{"BlankLineAtEnd", "a\r\n\r\n", {"a", ""}},
        SplitCase{"BlankLineAtStart", "\r\na", {"", "a"}},
        SplitCase{"OnlyCrLf", "\r\n", {""}},
        SplitCase{"LfAloneIsOrdinary", "a\nb\n", {"a\nb\n"}},
        SplitCase{"CrAloneIsOrdinary", "a\rb\r", {"a\rb\r"}},
        SplitCase{"CrBeforeCrLf", "a\r\r\nb", {"a\r", "b"}},
        SplitCase{"SpacesAndTabsKept", " http://a/ \t\r\n\thttp://b/ ", {" http://a/ \t", "\thttp://b/ "}},
        SplitCase{"Utf8BomKeptInFirstEntry", "\xEF\xBB\xBFhttp://a/\r\nhttp://b/",
                  {"\xEF\xBB\xBFhttp://a/", "http://b/"}},
        // 日志 in code page 936 between two addresses.
        SplitCase{"TwoByteCharacters", "\xC8\xD5\xD6\xBE\r\nb", {"\xC8\xD5\xD6\xBE", "b"}},
        // The lead byte takes the CR as its second byte, so the LF after it is
        // ordinary and the two lines stay one entry.
        SplitCase{"LeadByteBeforeCrLfMergesLines", "a\xC8\r\nb\r\nc", {"a\xC8\r\nb", "c"}},
        // A second byte that looks like CR LF's first half is still part of
        // its character: 0xC8 0x0D then 0x0A 'b' is not a break.
        SplitCase{"SecondByteIsNeverABreak", "\xC8\r\n", {"\xC8\r\n"}},
        SplitCase{"LeadByteAtEnd", "a\r\nb\xC8", {"a", "b\xC8"}}),
    [](const ::testing::TestParamInfo<SplitCase>& param_info) { return std::string(param_info.param.name); });

struct ScanCase {
  const char* name;
  std::string bytes;
  Text content;
};

void PrintTo(const ScanCase& scan_case, std::ostream* out) { *out << scan_case.name; }

class ScanUrlListContentTest : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanUrlListContentTest, EndsAtTheFirstEndByte) {
  EXPECT_EQ(ScanUrlListContent(GetParam().bytes), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ScanUrlListContentTest,
    ::testing::Values(
        ScanCase{"Empty", "", ""},
        ScanCase{"NoEndByte", "a\r\nb\r\n", "a\r\nb\r\n"},
        ScanCase{"ZeroEnds", Bytes("a\r\nb\0x\r\ny"), "a\r\nb"},
        ScanCase{"EndOfFileMarkEnds", "a\r\nb\x1Ax\r\ny", "a\r\nb"},
        ScanCase{"ZeroFirst", Bytes("\0a"), ""},
        ScanCase{"EndOfFileMarkFirst", "\x1A" "a", ""},
        ScanCase{"TwoByteCharactersKept", "\xC8\xD5\xD6\xBE", "\xC8\xD5\xD6\xBE"},
        ScanCase{"LeadByteBeforeZeroIsDropped", Bytes("ab\xC8\0x"), "ab"},
        // 0x1A is an ordinary second byte; only where a character starts does
        // it end the content.
        ScanCase{"EndOfFileMarkAsSecondByteKept", "a\xC8\x1A" "b\x1A" "c", "a\xC8\x1A" "b"},
        ScanCase{"ZeroAsSecondByteEndsAndDropsLead", Bytes("a\xC8\0b"), "a"},
        // A second byte is taken whatever it is, so a lead byte shields a
        // following 0x1A but the 0x1A after that pair ends the content.
        ScanCase{"LeadByteTakesLeadByte", "\xC8\xC8\x1A", "\xC8\xC8"},
        ScanCase{"Utf16ListEndsAtFirstZero", Bytes("h\0t\0t\0p\0:\0"), "h"},
        ScanCase{"HalfCharacterAtEndLeftOut", "a\r\nb\xC8", "a\r\nb"},
        ScanCase{"OnlyHalfCharacter", "\xC8", ""},
        ScanCase{"FullCharacterAtEndKept", "b\xC8\xD5", "b\xC8\xD5"}),
    [](const ::testing::TestParamInfo<ScanCase>& param_info) { return std::string(param_info.param.name); });

TEST(UrlListTest, BytesReadGiveTheEntriesBeforeTheEndByte) {
  const std::string bytes = Bytes("http://a/\r\n\xC8\xD5\r\n\r\nhttp://b/\r\n\x1A\0junk\r\nhttp://c/");
  EXPECT_THAT(SplitUrlList(ScanUrlListContent(bytes)),
              ElementsAreArray(std::vector<Text>{"http://a/", "\xC8\xD5", "", "http://b/"}));
}

}  // namespace
}  // namespace urlcheck
