#include "search/FuzzyMatch.h"

namespace quorvane::search {
namespace {

unsigned char Fold(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 'A' && b <= 'Z') ? b + 0x20 : b;
}

}  // namespace

FuzzyPattern::FuzzyPattern(std::string_view t) {
  folded_.reserve(t.size());
  for (char byte : t) folded_.push_back(static_cast<char>(Fold(byte)));
  shift_.fill(folded_.size());
  for (size_t j = 0; j + 1 < folded_.size(); ++j)
    shift_[static_cast<unsigned char>(folded_[j])] = folded_.size() - 1 - j;
}

// Horspool's search on folded bytes. A match found at a position that is not the start of a character is
// passed over; character starts are counted forward from the cell's start only when a match needs it.
bool FuzzyPattern::FoundIn(std::string_view cell) const {
  const size_t m = folded_.size();
  if (cell.empty() || m == 0 || m > cell.size()) return false;
  const auto lastByte = static_cast<unsigned char>(folded_[m - 1]);
  size_t characterStart = 0;
  for (size_t at = 0; at + m <= cell.size();) {
    const unsigned char last = Fold(cell[at + m - 1]);
    if (last == lastByte) {
      size_t j = 0;
      while (j + 1 < m && Fold(cell[at + j]) == static_cast<unsigned char>(folded_[j])) ++j;
      if (j + 1 == m) {
        while (characterStart < at)
          characterStart += static_cast<unsigned char>(cell[characterStart]) >= 0x80 ? 2 : 1;
        if (characterStart == at) return true;
      }
    }
    at += shift_[last];
  }
  return false;
}

bool FuzzyMatch(std::string_view cell, std::string_view t) {
  return FuzzyPattern(t).FoundIn(cell);
}

}  // namespace quorvane::search
