// Start-up: from the created window to the filled list. Qt-free: it works through the Window and ModList
// the operations see.
#pragma once

#include <functional>

#include "index/Workspace.h"

namespace quorvane::app {

// Hides the no-preview label, writes the default folder and prefix, checks that the index table and the
// settings file exist beside the program, fills the two boxes from the settings and the list from the
// table. A missing file or a table file that is not an index ends the process through endProcess after
// its message; answers whether start-up completed.
bool StartUp(index::Workspace& workspace, const text::Text& programDir,
             const std::function<void()>& endProcess);

// Copies every record of the table into the list: row r - 1 shows record r, column c field c + 1. A file
// that is not an index is refused (false, LastError() says why), untouched.
bool LoadModList(index::Workspace& workspace);

// The click on 按钮_浏览创意工坊位置: the chosen folder becomes the Workshop folder; cancelling changes
// nothing.
void BrowseWorkshopFolder(index::Workspace& workspace);

}  // namespace quorvane::app
