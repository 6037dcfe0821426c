// What the four retrieval steps share around their walk over the table.
#pragma once

#include "index/Workspace.h"

namespace quorvane::workshop {

// Opens the table; when it will not open, says so and answers false (the run then changes nothing).
bool OpenTableOrSay(index::Workspace& workspace);

// "<lead>" + serial + "，目录名：" + id: the line of one item.
text::Text ItemLine(const char* leadUtf8, index::ModIndex& table, const text::Text& id);

// Writes a field and the list cell showing it (column k - 1 of row record - 1).
void WriteFieldAndCell(index::Workspace& workspace, int record, int field, const index::Value& value);

}  // namespace quorvane::workshop
