#include "app/RowSelection.h"

#include <algorithm>
#include <bit>
#include <cstddef>

namespace quorvane::app {

void RowSelection::Resize(int rows) {
  if (rows < rows_) {
    for (int row = rows; row < rows_; ++row) Set(row, false);
  }
  rows_ = rows;
  words_.resize((static_cast<size_t>(rows) + 63) / 64, 0);
}

void RowSelection::Clear() {
  std::fill(words_.begin(), words_.end(), 0);
  count_ = 0;
  lowestBound_ = 0;
}

bool RowSelection::Set(int row, bool selected) {
  if (row < 0 || row >= rows_ || Has(row) == selected) return false;
  const uint64_t bit = uint64_t{1} << (row % 64);
  if (selected) {
    words_[row / 64] |= bit;
    ++count_;
    if (row < lowestBound_) lowestBound_ = row;
  } else {
    words_[row / 64] &= ~bit;
    --count_;
  }
  return true;
}

bool RowSelection::Has(int row) const {
  return row >= 0 && row < rows_ && (words_[row / 64] >> (row % 64) & 1) != 0;
}

int RowSelection::NextFrom(int row) const {
  if (row < 0) row = 0;
  if (row >= rows_) return -1;
  size_t word = row / 64;
  uint64_t bits = words_[word] & (~uint64_t{0} << (row % 64));
  while (bits == 0) {
    if (++word >= words_.size()) return -1;
    bits = words_[word];
  }
  const int found = static_cast<int>(word * 64) + std::countr_zero(bits);
  return found < rows_ ? found : -1;
}

int RowSelection::Lowest() const {
  if (count_ == 0) return -1;
  lowestBound_ = NextFrom(lowestBound_);
  return lowestBound_;
}

std::vector<int> RowSelection::Rows() const {
  std::vector<int> rows;
  rows.reserve(count_);
  for (int row = Lowest(); row >= 0; row = NextFrom(row + 1)) rows.push_back(row);
  return rows;
}

std::vector<std::pair<int, int>> RowSelection::Ranges() const {
  std::vector<std::pair<int, int>> ranges;
  for (int row = Lowest(); row >= 0; row = NextFrom(row + 1)) {
    if (!ranges.empty() && ranges.back().second == row - 1) {
      ranges.back().second = row;
    } else {
      ranges.emplace_back(row, row);
    }
  }
  return ranges;
}

}  // namespace quorvane::app
