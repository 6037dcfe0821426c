#include "browse/RowJump.h"

#include <limits>

#include "browse/Details.h"

namespace quorvane::browse {
namespace {

using window::Control;

// Rows are ints in the list, but typed numbers are not: a row beyond int is simply a row that does not
// exist, for which the list does nothing.
bool IsListRow(const window::ModList& list, long long row) {
  return row >= 0 && row < list.RowCount();
}

void EnsureVisible(window::ModList& list, long long row) {
  if (IsListRow(list, row)) list.EnsureVisible(static_cast<int>(row));
}

}  // namespace

void ScrollRowToTop(window::ModList& list, long long t, int lead) {
  const long long count = list.RowCount();
  if (count - t - 1 > 23) {
    EnsureVisible(list, t + lead);
  } else {
    EnsureVisible(list, count - 1);
  }
  EnsureVisible(list, t);
}

bool JumpToRow(index::Workspace& workspace) {
  window::ModList& list = workspace.list;
  const long long n = text::IntegerValue(workspace.window.GetText(Control::JumpBox));
  if (n < 1) return false;
  const long long t = n - 1;
  const bool exists = IsListRow(list, t);
  ShowModDetails(workspace, text::Decimal(n), exists ? list.CellText(static_cast<int>(t), 1) : Text());
  for (int row : list.SelectedRows()) list.DeselectRow(row);
  if (exists) list.SelectRow(static_cast<int>(t));
  ScrollRowToTop(list, t, kJumpLead);
  workspace.window.GiveFocus(Control::ModListView);
  return true;
}

void SelectAllJumpText(window::Window& window) {
  window.SelectText(Control::JumpBox, 0, text::Length(window.GetText(Control::JumpBox)));
}

void OnJumpBoxKey(index::Workspace& workspace, int key) {
  if (key != kEnterKey || !JumpToRow(workspace)) return;
  workspace.window.GiveFocus(Control::ModListView);
  workspace.window.GiveFocus(Control::JumpBox);
  SelectAllJumpText(workspace.window);
}

}  // namespace quorvane::browse
