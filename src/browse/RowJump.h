// Jumping to a row by the number typed into the jump box.
#pragma once

#include "index/Workspace.h"

namespace quorvane::browse {

inline constexpr int kEnterKey = 13;
inline constexpr int kJumpLead = 25;

// Shows row n of the jump box in the details pane, makes it the only selected row, scrolls it to the top
// and focuses the list. False (and nothing changed) when the box holds no row number of at least 1.
bool JumpToRow(index::Workspace& workspace);

// Selects the whole text of the jump box.
void SelectAllJumpText(window::Window& window);

// Key down in the jump box: on Enter, the jump, then the focus back in the box with its text selected so
// that the next number can be typed over it. The key is never consumed.
void OnJumpBoxKey(index::Workspace& workspace, int key);

// Brings row t to the top of the visible rows: first row t + lead (or the last row when fewer than 24
// rows follow t) is brought into view, then row t, so that a view of at most lead rows ends with t on top.
void ScrollRowToTop(window::ModList& list, long long t, int lead);

}  // namespace quorvane::browse
