#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::text {
namespace {

const Text kFullWidthOne = "\xA3\xB1";  // "１"
const Text kFullWidthTwo = "\xA3\xB2";  // "２"

TEST(Find, CountsBytesFromOneAndNeverStartsInsideACharacter) {
  const struct {
    std::string text;
    std::string marker;
    int find;
    int findBytes;
  } cases[] = {
      {"abc", "a", 1, 1},
      {"abc", "C", 3, 3},
      {"ABC", "bc", 2, 2},
      {"\xD6\xD0\xCE\xC4x", "x", 5, 5},         // positions count bytes, not characters
      {"\xD6\xD0\xCE\xC4", "\xCE\xC4", 3, 3},   // a two-byte marker
      {"\xD6\xD0\xCE\xC4", "\xD0\xCE", -1, 2},  // spans two characters: only a byte search sees it
      {"\xC1\x61", "\xE1\x61", -1, -1},         // only A to Z fold, never the bytes of a character
      {"\xB0"
       "ab",
       "ab", -1, 2},  // "a" is the second byte of a character
      {"xab", "ab", 2, 2},
      {"abab", "ab", 1, 1},
      {"ab", "abc", -1, -1},
      {"", "a", -1, -1},
      {"abc", "", -1, -1},
      {"a\xB0", "\xB0", 2, 2},  // a lead byte that ends the text is a character of its own
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.text, c.marker), c.find) << "Find in \"" << c.text << "\" of \"" << c.marker << "\"";
    EXPECT_EQ(FindBytes(c.text, c.marker), c.findBytes)
        << "FindBytes in \"" << c.text << "\" of \"" << c.marker << "\"";
  }
}

TEST(Mid, GivesNothingOutsideTheText) {
  const struct {
    long long start;
    long long count;
    std::string mid;
  } cases[] = {
      {1, 3, "abc"}, {2, 1, "b"}, {3, 5, "c"}, {1, LLONG_MAX, "abc"}, {4, 1, ""},
      {0, 2, ""},    {-1, 5, ""}, {2, 0, ""},  {2, -1, ""},           {LLONG_MAX, 1, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Mid("abc", c.start, c.count), c.mid) << c.start << ", " << c.count;
  EXPECT_EQ(Mid("", 1, 1), "");
  EXPECT_EQ(Length("\xD6\xD0"
                   "a"),
            3);
}

TEST(IntegerValue, ReadsTheLeadingNumber) {
  const struct {
    std::string text;
    long long value;
  } cases[] = {
      {"12", 12},
      {"  \t12", 12},
      {"\r\n7", 7},
      {"-7", -7},
      {"+5", 5},
      {"12abc", 12},
      {"1 2", 1},
      {"007", 7},
      {kFullWidthOne + kFullWidthTwo, 12},
      {"1" + kFullWidthTwo + "3", 123},
      {"\xA1\xA1" + kFullWidthOne, 1},   // full-width blank
      {"\xA3\xAD" + kFullWidthTwo, -2},  // full-width minus
      {"\xA3\xAB"
       "4",
       4},  // full-width plus
      {"abc", 0},
      {"", 0},
      {"-", 0},
      {"- 5", 0},
      {"--5", 0},
      {"\xA3\xC1"
       "5",
       0},  // a full-width letter is no digit
      {"99999999999999999999", kIntegerLimit},
      {"-99999999999999999999", -kIntegerLimit},
      {"999999999999999", kIntegerLimit},
      {"99999999999999", 99999999999999},
  };
  for (const auto& c : cases) EXPECT_EQ(IntegerValue(c.text), c.value) << "\"" << c.text << "\"";
}

TEST(SplitOnBr, KeepsEmptyPiecesExceptAfterTheLastMarker) {
  const struct {
    std::string text;
    std::vector<Text> pieces;
    std::string lines;
  } cases[] = {
      {"a<br><br>b", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
      {"a<br>", {"a"}, "a\r\n"},
      {"<br>", {""}, "\r\n"},
      {"<BR>", {"<BR>"}, "<BR>\r\n"},  // the marker is exact bytes
      {"", {}, ""},
      {"a", {"a"}, "a\r\n"},
      {"\xD6\xD0<br>\xCE\xC4", {"\xD6\xD0", "\xCE\xC4"}, "\xD6\xD0\r\n\xCE\xC4\r\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitOnBr(c.text), c.pieces) << "\"" << c.text << "\"";
    EXPECT_EQ(LinesFromBr(c.text), c.lines) << "\"" << c.text << "\"";
  }
}

TEST(JoinWithComma, PutsTheFullWidthCommaBetweenEntriesOnly) {
  const Text comma = "\xA3\xAC";
  EXPECT_EQ(JoinWithComma({}), "");
  EXPECT_EQ(JoinWithComma({"a"}), "a");
  EXPECT_EQ(JoinWithComma({"a", "b", ""}), "a" + comma + "b" + comma);
  EXPECT_EQ(JoinWithComma({Gbk("作者")}), Gbk("作者"));
}

TEST(Utf8ToGbk, RefusesAnyInvalidUtf8AsAWhole) {
  for (const std::string bad : {"ok\xFF", "\x80", "\xC0\xAF", "\xE4\xB8", "\xED\xA0\x80",
                                "\xF8\x88\x80\x80\x80", "\xE4\xB8\xAD\xE6"}) {
    EXPECT_EQ(Utf8ToGbk(bad), "") << "invalid UTF-8 was converted";
  }
  EXPECT_EQ(Utf8ToGbk("a\xE2\x82\xAC"), "a\xA2\xE3");  // the euro sign has a GBK code
  EXPECT_EQ(Utf8ToGbkLenient("a\xFF"
                             "b"),
            "ab");
}

TEST(GbkToUtf8, ShowsEachUndecodableByteAsAReplacementCharacter) {
  const std::string replacement = "\xEF\xBF\xBD";
  const struct {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"a\xFF"
       "b",
       "a" + replacement + "b"},
      {"ab\xB0", "ab" + replacement},  // a character cut off at the end
      {"\x80", replacement},
      {"\xB0\x20", replacement + " "},
      {"\xD6\xD0\xCE\xC4", "中文"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
}

TEST(Encoding, RoundTripsEveryCharacterIncludingThoseOutsideGbk) {
  const std::string utf8 = "Cities 城市 \xF0\x9F\x9A\x97 \xE2\x82\xAC \xC3\xA9";
  const Text gbk = Utf8ToGbk(utf8);
  ASSERT_FALSE(gbk.empty());
  EXPECT_EQ(gbk.substr(0, 7), "Cities ");
  EXPECT_EQ(gbk.substr(7, 4), "\xB3\xC7\xCA\xD0");
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
}

TEST(Paths, JoinWithTheNativeSeparatorAndConvertAtTheEdge) {
  EXPECT_EQ(JoinPath("a", "b"), "a" + std::string(kPathSeparator) + "b");
  EXPECT_EQ(JoinPath("", "b"), std::string(kPathSeparator) + "b");
  const Text folder = Gbk("用户");
  EXPECT_EQ(ToNativePath(folder), std::filesystem::path(u8"用户"));
  EXPECT_EQ(FromNativePath(ToNativePath(folder)), folder);
}

}  // namespace
}  // namespace quorvane::text
