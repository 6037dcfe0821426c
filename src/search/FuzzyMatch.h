// The fuzzy test of the searches: t occurs in the cell, ASCII letters matched without regard to case.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace quorvane::search {

// True when t occurs in cell. Bytes A to Z count as a to z wherever they stand (also as the second byte of
// a two-byte character); start positions step one character at a time, so a match never begins on the
// second byte of a two-byte character. An empty cell never matches, nor does an empty t.
bool FuzzyMatch(std::string_view cell, std::string_view t);

// The same test with t prepared once, for a search that tries one text on every row: it skips ahead by
// the bytes that cannot end a match instead of trying every start.
class FuzzyPattern {
 public:
  explicit FuzzyPattern(std::string_view t);
  bool FoundIn(std::string_view cell) const;

 private:
  std::string folded_;
  std::array<size_t, 256> shift_{};
};

}  // namespace quorvane::search
