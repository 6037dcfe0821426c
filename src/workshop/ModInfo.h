// Cuts author, invalid flag, name and description out of each pending mod's stored page.
#pragma once

#include "index/Workspace.h"

namespace quorvane::workshop {

// The click handler of 按钮_导入说明.
void ExtractModInfo(index::Workspace& workspace);

}  // namespace quorvane::workshop
