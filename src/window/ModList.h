// The mod list: 14 columns mirroring the 14 fields, a check box in every row, several rows selectable.
// Rows and columns count from 0. Nothing here raises the focused-row-changed event.
#pragma once

#include <vector>

#include "text/Text.h"

namespace quorvane::window {

using text::Text;

inline constexpr int kColumnCount = 14;

class ModList {
 public:
  virtual ~ModList() = default;

  virtual int RowCount() const = 0;
  // Adds a row at the end with text in column 0, other cells empty, check box clear, not selected.
  virtual int InsertRow(const Text& column0) = 0;
  // Nothing happens for a row or column that does not exist.
  virtual void SetCellText(int row, int column, const Text& value) = 0;
  // The empty text for a row or column that does not exist.
  virtual Text CellText(int row, int column) const = 0;
  // The lowest selected row, -1 when none is selected (not the focused row).
  virtual int CurrentRow() const = 0;
  // Adds to / removes from the selection; the focused row does not move. Nothing for a missing row.
  virtual void SelectRow(int row) = 0;
  virtual void DeselectRow(int row) = 0;
  virtual int SelectedCount() const = 0;
  // Ascending.
  virtual std::vector<int> SelectedRows() const = 0;
  // 1 ticked, 0 clear, -1 for a row that does not exist.
  virtual int Check(int row) const = 0;
  virtual void SetCheck(int row, int value) = 0;
  // Scrolls by the least amount that shows the whole row; nothing for a missing row.
  virtual void EnsureVisible(int row) = 0;
  virtual void DeleteAllRows() = 0;
};

}  // namespace quorvane::window
