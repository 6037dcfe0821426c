#include <gtest/gtest.h>

#include "text/Encoding.h"
#include "text/Text.h"

namespace quorvane::text {
namespace {

TEST(Find, FoldsAsciiAndStepsOverTwoByteCharacters) {
  EXPECT_EQ(Find("xxABcd", "abC"), 3);
  EXPECT_EQ(Find("abc", ""), -1);
  EXPECT_EQ(Find("abc", "abcd"), -1);
  // "\xB0\x41" is one character whose second byte is "A": a match may not start on it.
  EXPECT_EQ(Find("\xB0\x41\x42", "AB"), -1);
  EXPECT_EQ(FindBytes("\xB0\x41\x42", "AB"), 2);
}

TEST(Utf8ToGbk, IsStrictAndKeepsCharactersOutsideGbk) {
  EXPECT_EQ(Utf8ToGbk("中文"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Utf8ToGbk("ok\xFF"), "");
  EXPECT_EQ(Utf8ToGbk(""), "");
  const Text emoji = Utf8ToGbk("\xF0\x9F\x98\x80");
  EXPECT_EQ(emoji.size(), 4u);
  EXPECT_EQ(GbkToUtf8(emoji), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToGbk(std::string("ab\0cd", 5)), "ab");
}

}  // namespace
}  // namespace quorvane::text
