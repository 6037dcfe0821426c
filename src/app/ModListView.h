// The mod list 超级列表框1: a table view over ModListModel that is the operations' ModList.
//
// The operations may select tens of thousands of rows and bring rows into view tens of thousands of times
// in one run, so both are kept here (RowSelection, the top row) and handed to Qt once, in Flush, before
// events next run. The user's own clicks and keys go through Qt and are copied back into RowSelection.
#pragma once

#include <QTableView>

#include <optional>

#include "app/ModListModel.h"
#include "app/RowSelection.h"
#include "window/ModList.h"

namespace quorvane::app {

// Header widths of the 14 columns.
inline constexpr int kColumnWidths[window::kColumnCount] = {64,  96,  448, 192, 640, 60,  800,
                                                            800, 800, 800, 800, 800, 800, 800};
// Rows are as tall as makes this many whole rows fit in the list.
inline constexpr int kWholeRowsInView = 22;

class ModListView : public QTableView, public window::ModList {
  Q_OBJECT

 public:
  explicit ModListView(QWidget* parent = nullptr);

  int RowCount() const override { return model_.Count(); }
  int InsertRow(const Text& column0) override;
  void SetCellText(int row, int column, const Text& value) override;
  Text CellText(int row, int column) const override;
  int CurrentRow() const override { return selection_.Lowest(); }
  void SelectRow(int row) override;
  void DeselectRow(int row) override;
  int SelectedCount() const override { return selection_.Count(); }
  std::vector<int> SelectedRows() const override { return selection_.Rows(); }
  int Check(int row) const override;
  void SetCheck(int row, int value) override;
  void EnsureVisible(int row) override;
  void DeleteAllRows() override;

  // Hands the rows, cells, selection and scroll position changed by operations to the view.
  void Flush();
  // Whole rows the visible area holds.
  int WholeRowsVisible() const;

 signals:
  // The user moved the focus, by mouse or keyboard, to a row that was not focused.
  void focusedRowChanged();
  // The left button was double-clicked over the list, on a row or below them.
  void listDoubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void ScheduleFlush();
  void ApplySelection();
  void CopyUserSelection(const QItemSelection& selected, const QItemSelection& deselected);
  // Runs Qt's handling of one input event and raises focusedRowChanged when it moved the focus; nested
  // handling (a double-click that Qt turns into a press) raises it once.
  template <typename BaseHandler>
  void UserInput(BaseHandler&& base);
  void RaiseIfFocusMoved(int focusedBefore);
  void FitRowHeight();

  ModListModel model_;
  RowSelection selection_;
  bool selectionToApply_ = false;
  bool applyingSelection_ = false;
  std::optional<int> topRowToApply_;
  bool flushScheduled_ = false;
  int inputDepth_ = 0;
};

}  // namespace quorvane::app
