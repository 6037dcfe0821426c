// An in-memory ModList with the list's exact semantics, and a viewport of visibleRows rows whose top row
// moves by the least scroll, as the real list's does.
#pragma once

#include <array>
#include <vector>

#include "window/ModList.h"

namespace quorvane::testing {

using text::Text;

class FakeModList : public window::ModList {
 public:
  explicit FakeModList(int visibleRows = 22) : visibleRows(visibleRows) {}

  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int InsertRow(const Text& column0) override;
  void SetCellText(int row, int column, const Text& value) override;
  Text CellText(int row, int column) const override;
  int CurrentRow() const override;
  void SelectRow(int row) override;
  void DeselectRow(int row) override;
  int SelectedCount() const override;
  std::vector<int> SelectedRows() const override;
  int Check(int row) const override;
  void SetCheck(int row, int value) override;
  void EnsureVisible(int row) override;
  void DeleteAllRows() override;

  // Test helpers.
  // Adds a row with the given cells (column 0 first; missing ones empty).
  int AddRow(const std::vector<Text>& cells);
  // Rows 1..n with serials in column 0 and ids 100+i in column 1.
  void Fill(int n);
  bool IsSelected(int row) const { return Exists(row) && selected_[row]; }
  std::vector<int> CheckedRows() const;

  int visibleRows;
  int topRow = 0;
  std::vector<int> ensureVisibleCalls;

 private:
  bool Exists(int row) const { return row >= 0 && row < RowCount(); }
  std::vector<std::array<Text, window::kColumnCount>> rows_;
  std::vector<bool> checks_;
  std::vector<bool> selected_;
};

}  // namespace quorvane::testing
