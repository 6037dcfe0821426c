// The field search: selects the rows whose value in the chosen column matches the search text, scrolls to
// the last of them and logs what was found. It works on the list alone.
#pragma once

#include <vector>

#include "window/ModList.h"
#include "window/Window.h"

namespace quorvane::search {

// The click of 文本输入查找. Answers whether the search got as far as its log line (the Enter handling
// follows up only then).
bool FindByField(window::ModList& list, window::Window& window);

// A key pressed in the search box: Enter (13) searches and, after a logged search, leaves the whole
// search text selected in the focused box so that the next one can be typed over it.
void OnSearchBoxKey(window::ModList& list, window::Window& window, int key);

// Left button released in the search box: the whole text selected.
void SelectAllSearchText(window::Window& window);

// Brings row from + 23 into view, or the last row when fewer than 23 rows lie from row from to the end,
// and then row.
void ScrollBelowThenTo(window::ModList& list, long long from, int row);

// Brings row i to the top of the visible part where enough rows follow it, else shows the list's end.
void ScrollToFoundRow(window::ModList& list, int row);

// The view after ScrollToFoundRow for every found row, in ascending order, reached with as few of those
// steps as give the same view.
void ScrollToFoundRows(window::ModList& list, const std::vector<int>& foundRows);

// Deselects every selected row, so that the rows selected afterwards are exactly those a search selects.
void DeselectAll(window::ModList& list);

}  // namespace quorvane::search
