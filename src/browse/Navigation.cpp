#include "browse/Navigation.h"

#include "browse/RowJump.h"

namespace quorvane::browse {

using text::Text;

void GoToShownRow(index::Workspace& workspace, int lead) {
  // The caption is "预览图:" (7 bytes) + row text + "/" + id; before any mod was shown it has no "/".
  const Text caption = workspace.window.GetText(window::Control::PreviewGroup);
  const int slash = text::Find(caption, "/");
  const long long n = text::IntegerValue(text::Mid(caption, 8, slash - 8));
  workspace.window.GiveFocus(window::Control::ModListView);
  ScrollRowToTop(workspace.list, n - 1, lead);
}

void OpenModFolder(index::Workspace& workspace) {
  const Text id = workspace.list.CellText(workspace.list.CurrentRow(), 1);
  workspace.window.OpenFolder(text::JoinPath(workspace.WorkshopFolder(), id));
}

}  // namespace quorvane::browse
