// Double-click navigation between the details pane, the list and the file manager.
#pragma once

#include "index/Workspace.h"

namespace quorvane::browse {

inline constexpr int kPictureLead = 47;
inline constexpr int kNoPreviewLabelLead = 24;

// Brings the row named in the details pane's caption back to the top of the list and focuses the list;
// the selection stays as it is.
void GoToShownRow(index::Workspace& workspace, int lead);

// Opens the folder of the lowest selected row (the Workshop folder itself when none is selected).
void OpenModFolder(index::Workspace& workspace);

}  // namespace quorvane::browse
