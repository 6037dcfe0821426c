#include "app/ModListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace quorvane::app {

ModListView::ModListView(QWidget* parent) : QTableView(parent), model_(this) {
  setModel(&model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setShowGrid(true);
  setWordWrap(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // The columns are always wider than the list; a fixed bar keeps the number of whole rows fixed.
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(false);
  header->setStretchLastSection(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < window::kColumnCount; ++column) {
    header->resizeSection(column, kColumnWidths[column]);
  }

  // The selection stays as visible when the list does not have the focus.
  QPalette colours = palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  }
  setPalette(colours);

  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this](const QItemSelection& selected, const QItemSelection& deselected) {
            if (!applyingSelection_) CopyUserSelection(selected, deselected);
          });
}

int ModListView::InsertRow(const Text& column0) {
  const int row = model_.Append(column0);
  selection_.Resize(model_.Count());
  ScheduleFlush();
  return row;
}

void ModListView::SetCellText(int row, int column, const Text& value) {
  model_.SetCell(row, column, value);
  if (model_.HasUnpublished()) ScheduleFlush();
}

Text ModListView::CellText(int row, int column) const {
  return Text(model_.Cell(row, column));
}

void ModListView::SelectRow(int row) {
  if (selection_.Set(row, true)) {
    selectionToApply_ = true;
    ScheduleFlush();
  }
}

void ModListView::DeselectRow(int row) {
  if (selection_.Set(row, false)) {
    selectionToApply_ = true;
    ScheduleFlush();
  }
}

int ModListView::Check(int row) const {
  if (!model_.Exists(row)) return -1;
  return model_.Checked(row) ? 1 : 0;
}

void ModListView::SetCheck(int row, int value) {
  model_.SetChecked(row, value != 0);
  if (model_.HasUnpublished()) ScheduleFlush();
}

void ModListView::EnsureVisible(int row) {
  if (!model_.Exists(row)) return;
  const int whole = WholeRowsVisible();
  int top = topRowToApply_.value_or(verticalScrollBar()->value());
  if (row < top) {
    top = row;
  } else if (row >= top + whole) {
    top = row - whole + 1;
  }
  topRowToApply_ = std::clamp(top, 0, std::max(0, RowCount() - whole));
  ScheduleFlush();
}

void ModListView::DeleteAllRows() {
  applyingSelection_ = true;
  model_.Clear();
  applyingSelection_ = false;
  selection_.Clear();
  selection_.Resize(0);
  selectionToApply_ = false;
  topRowToApply_.reset();
}

int ModListView::WholeRowsVisible() const {
  return std::max(1, viewport()->height() / std::max(1, verticalHeader()->defaultSectionSize()));
}

void ModListView::ScheduleFlush() {
  if (flushScheduled_) return;
  flushScheduled_ = true;
  QMetaObject::invokeMethod(this, &ModListView::Flush, Qt::QueuedConnection);
}

void ModListView::Flush() {
  flushScheduled_ = false;
  model_.Publish();
  if (selectionToApply_) ApplySelection();
  if (topRowToApply_) {
    updateGeometries();
    verticalScrollBar()->setValue(*topRowToApply_);
    topRowToApply_.reset();
  }
}

void ModListView::ApplySelection() {
  QItemSelection ranges;
  for (const auto& [first, last] : selection_.Ranges()) {
    ranges.append(QItemSelectionRange(model_.index(first, 0), model_.index(last, window::kColumnCount - 1)));
  }
  // Clearing first and then selecting into an empty selection keeps Qt from comparing old and new
  // range by range, which is quadratic.
  applyingSelection_ = true;
  selectionModel()->clearSelection();
  if (!ranges.isEmpty()) selectionModel()->select(ranges, QItemSelectionModel::Select);
  applyingSelection_ = false;
  selectionToApply_ = false;
}

void ModListView::CopyUserSelection(const QItemSelection& selected, const QItemSelection& deselected) {
  for (const QItemSelectionRange& range : deselected) {
    for (int row = range.top(); row <= range.bottom(); ++row) selection_.Set(row, false);
  }
  for (const QItemSelectionRange& range : selected) {
    for (int row = range.top(); row <= range.bottom(); ++row) selection_.Set(row, true);
  }
}

template <typename BaseHandler>
void ModListView::UserInput(BaseHandler&& base) {
  // The operations' changes reach the view before the user's input is applied on top of them.
  Flush();
  const bool outermost = inputDepth_++ == 0;
  const int focusedBefore = currentIndex().isValid() ? currentIndex().row() : -1;
  base();
  --inputDepth_;
  if (outermost) RaiseIfFocusMoved(focusedBefore);
}

void ModListView::RaiseIfFocusMoved(int focusedBefore) {
  const QModelIndex focused = currentIndex();
  if (focused.isValid() && focused.row() != focusedBefore) emit focusedRowChanged();
}

void ModListView::mousePressEvent(QMouseEvent* event) {
  UserInput([&] { QTableView::mousePressEvent(event); });
}

void ModListView::mouseMoveEvent(QMouseEvent* event) {
  UserInput([&] { QTableView::mouseMoveEvent(event); });
}

void ModListView::mouseReleaseEvent(QMouseEvent* event) {
  UserInput([&] { QTableView::mouseReleaseEvent(event); });
}

void ModListView::mouseDoubleClickEvent(QMouseEvent* event) {
  UserInput([&] { QTableView::mouseDoubleClickEvent(event); });
  if (event->button() == Qt::LeftButton) emit listDoubleClicked();
}

void ModListView::keyPressEvent(QKeyEvent* event) {
  const bool plainSpace =
      event->key() == Qt::Key_Space &&
      (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == 0;
  if (plainSpace && currentIndex().isValid()) {
    Flush();
    // The check box is in column 0, whichever cell of the row holds the focus.
    const QModelIndex box = model_.index(currentIndex().row(), 0);
    model_.setData(box, model_.Checked(box.row()) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
    event->accept();
    return;
  }
  UserInput([&] { QTableView::keyPressEvent(event); });
}

void ModListView::focusInEvent(QFocusEvent* event) {
  // Qt makes the first row current when the list gets the focus without one; that is no focused row the
  // user chose, and a later click on it must still count as a move.
  const bool hadFocusedRow = currentIndex().isValid();
  QTableView::focusInEvent(event);
  if (!hadFocusedRow && currentIndex().isValid())
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

bool ModListView::viewportEvent(QEvent* event) {
  // The viewport, not the list, changes height when the header takes its place.
  if (event->type() == QEvent::Resize) FitRowHeight();
  return QTableView::viewportEvent(event);
}

void ModListView::FitRowHeight() {
  // Rows of height h show exactly kWholeRowsInView whole rows when kWholeRowsInView * h <= rows area <
  // (kWholeRowsInView + 1) * h. Not every area allows such an h, so the header gives or takes the few
  // pixels that make one fit, whichever costs fewer.
  QHeaderView* header = horizontalHeader();
  const int natural = header->sizeHint().height();
  const int rowsArea = viewport()->height() + viewportMargins().top() - natural;
  int rowHeight = rowsArea / kWholeRowsInView;
  if (rowHeight <= 0) return;
  int headerHeight = natural;
  if ((kWholeRowsInView + 1) * rowHeight <= rowsArea) {
    const int grow = rowsArea - ((kWholeRowsInView + 1) * rowHeight - 1);
    const int shrink = kWholeRowsInView * (rowHeight + 1) - rowsArea;
    if (shrink <= grow && natural - shrink >= fontMetrics().height() + 2) {
      headerHeight = natural - shrink;
      ++rowHeight;
    } else {
      headerHeight = natural + grow;
    }
  }
  verticalHeader()->setDefaultSectionSize(rowHeight);
  if (header->height() != headerHeight || header->minimumHeight() != headerHeight)
    header->setFixedHeight(headerHeight);
}

}  // namespace quorvane::app
