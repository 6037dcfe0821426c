// The details pane: the shown mod's caption, preview picture, no-preview label and description.
#pragma once

#include "index/Workspace.h"

namespace quorvane::browse {

using text::Text;

// Puts id on the clipboard, names rowText and id in the pane's caption, shows the preview file (or the
// no-preview label) and writes the description of record integer(rowText), one line per "<br>" piece.
// Leaves the table open on that record.
void ShowModDetails(index::Workspace& workspace, const Text& rowText, const Text& id);

// The list's focused row changed: shows the lowest selected row (serial and id), or empty texts when no
// row is selected.
void ShowCurrentRowDetails(index::Workspace& workspace);

}  // namespace quorvane::browse
