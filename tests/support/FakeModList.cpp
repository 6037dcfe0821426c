#include "FakeModList.h"

#include <algorithm>

namespace quorvane::testing {

int FakeModList::InsertRow(const Text& column0) {
  rows_.emplace_back();
  rows_.back()[0] = column0;
  checks_.push_back(false);
  selected_.push_back(false);
  return RowCount() - 1;
}

void FakeModList::SetCellText(int row, int column, const Text& value) {
  if (Exists(row) && column >= 0 && column < window::kColumnCount) rows_[row][column] = value;
}

Text FakeModList::CellText(int row, int column) const {
  if (!Exists(row) || column < 0 || column >= window::kColumnCount) return {};
  return rows_[row][column];
}

int FakeModList::CurrentRow() const {
  for (int r = 0; r < RowCount(); ++r) {
    if (selected_[r]) return r;
  }
  return -1;
}

void FakeModList::SelectRow(int row) {
  if (Exists(row)) selected_[row] = true;
}

void FakeModList::DeselectRow(int row) {
  if (Exists(row)) selected_[row] = false;
}

int FakeModList::SelectedCount() const {
  return static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
}

std::vector<int> FakeModList::SelectedRows() const {
  std::vector<int> rows;
  for (int r = 0; r < RowCount(); ++r) {
    if (selected_[r]) rows.push_back(r);
  }
  return rows;
}

int FakeModList::Check(int row) const { return Exists(row) ? (checks_[row] ? 1 : 0) : -1; }

void FakeModList::SetCheck(int row, int value) {
  if (Exists(row)) checks_[row] = value != 0;
}

void FakeModList::EnsureVisible(int row) {
  ensureVisibleCalls.push_back(row);
  if (!Exists(row)) return;
  if (row < topRow) {
    topRow = row;
  } else if (row >= topRow + visibleRows) {
    topRow = row - visibleRows + 1;
  }
}

void FakeModList::DeleteAllRows() {
  rows_.clear();
  checks_.clear();
  selected_.clear();
  topRow = 0;
}

int FakeModList::AddRow(const std::vector<Text>& cells) {
  const int row = InsertRow(cells.empty() ? Text() : cells[0]);
  for (size_t c = 1; c < cells.size() && c < window::kColumnCount; ++c) rows_[row][c] = cells[c];
  return row;
}

void FakeModList::Fill(int n) {
  for (int i = 1; i <= n; ++i) AddRow({std::to_string(i), std::to_string(100 + i)});
}

std::vector<int> FakeModList::CheckedRows() const {
  std::vector<int> rows;
  for (int r = 0; r < RowCount(); ++r) {
    if (checks_[r]) rows.push_back(r);
  }
  return rows;
}

}  // namespace quorvane::testing
