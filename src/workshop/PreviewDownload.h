// Fetches the preview picture of every mod with a preview address into its folder.
#pragma once

#include "index/Workspace.h"
#include "workshop/FetchPool.h"

namespace quorvane::workshop {

// The click handler of 按钮_下载预览图. Options shrink the limits in tests.
void DownloadPreviews(index::Workspace& workspace, const FetchOptions& options = {});

}  // namespace quorvane::workshop
