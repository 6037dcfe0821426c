// Index building: the records of the index from the item folders under the Workshop folder.
#pragma once

#include "index/Workspace.h"

namespace quorvane::index {

// After the user confirms, empties the table and the list and indexes every item folder afresh, numbered
// 1, 2, 3, ... in the order the file system lists them.
void BuildNewIndex(Workspace& workspace);

// Adds a record and a row at the end for every item folder whose id is not in the index yet.
void AppendIndex(Workspace& workspace);

}  // namespace quorvane::index
