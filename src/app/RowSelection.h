// The selected rows of the list, kept apart from Qt's selection model: a bit per row, so that selecting or
// deselecting one row costs O(1) and the lowest row, the count and the ascending rows are answered at once
// (QItemSelectionModel grows quadratically with scattered single-row selections).
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace quorvane::app {

class RowSelection {
 public:
  void Resize(int rows);
  void Clear();
  // Answers whether the row's state changed.
  bool Set(int row, bool selected);
  bool Has(int row) const;
  int Count() const { return count_; }
  // The lowest selected row, -1 when none is.
  int Lowest() const;
  std::vector<int> Rows() const;
  // Runs of consecutive selected rows, [first, last], ascending.
  std::vector<std::pair<int, int>> Ranges() const;

 private:
  int NextFrom(int row) const;

  std::vector<uint64_t> words_;
  int rows_ = 0;
  int count_ = 0;
  // No selected row lies below lowestBound_; the lowest is found from there when asked.
  mutable int lowestBound_ = 0;
};

}  // namespace quorvane::app
