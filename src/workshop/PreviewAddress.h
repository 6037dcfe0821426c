// Takes the preview picture's address out of each pending mod's stored page.
#pragma once

#include "index/Workspace.h"

namespace quorvane::workshop {

// The click handler of 按钮_获取预览图信息.
void ExtractPreviewAddresses(index::Workspace& workspace);

}  // namespace quorvane::workshop
