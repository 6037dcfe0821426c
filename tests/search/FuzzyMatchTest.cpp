#include <gtest/gtest.h>

#include <random>

#include "search/FuzzyMatch.h"
#include "text/Text.h"

namespace quorvane::search {
namespace {

using text::Gbk;

TEST(FuzzyMatch, FoldsAsciiCapitalsAndStartsOnlyOnCharacters) {
  struct Case {
    const char* why;
    std::string cell;
    std::string t;
    bool matches;
  } cases[] = {
      {"inside, capitals folded", "xABCx", "abc", true},
      {"folding goes both ways", "abc", "ABC", true},
      {"only A to Z fold", "[", "{", false},
      {"equal texts", "12345", "12345", true},
      {"longer than the cell", "ab", "abc", false},
      {"empty cell", "", "a", false},
      {"empty t", "abc", "", false},
      {"a character of its own", Gbk("形状"), Gbk("形"), true},
      // 中文 is D6D0 CEC4; 形 is D0CE, which starts on the second byte of 中.
      {"never from a second byte", Gbk("中文"), Gbk("形"), false},
      // The second byte of 丂 (8141) is "A", and it folds like any other byte.
      {"a second byte folds too", "\x81\x41", "\x81\x61", true},
      {"ASCII after a two-byte character", Gbk("中") + "Bob", "bob", true},
  };
  for (const Case& c : cases) EXPECT_EQ(FuzzyMatch(c.cell, c.t), c.matches) << c.why;
}

// The skipping search must answer as the plain find does: a match at any character start, and none that
// begins on a second byte. Small alphabets make overlaps, folds and split characters common.
TEST(FuzzyMatch, AnswersAsTheCharacterSteppingFindDoes) {
  const char alphabet[] = {'a', 'A', 'b', 'B', '\x81', '\xB0', 'Z', 'z'};
  std::mt19937 random(5);
  auto randomText = [&](size_t maxLength) {
    std::string t(random() % (maxLength + 1), ' ');
    for (char& byte : t) byte = alphabet[random() % std::size(alphabet)];
    return t;
  };
  for (int trial = 0; trial < 100000; ++trial) {
    const std::string cell = randomText(12);
    const std::string t = randomText(4);
    ASSERT_EQ(FuzzyMatch(cell, t), !cell.empty() && text::Find(cell, t) != -1)
        << "cell " << cell << " t " << t;
  }
}

}  // namespace
}  // namespace quorvane::search
