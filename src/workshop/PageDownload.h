// Fetches the Workshop page of every valid mod that has none yet into its folder.
#pragma once

#include "index/Workspace.h"
#include "workshop/FetchPool.h"

namespace quorvane::workshop {

// The click handler of 按钮_下载网页源码. Options shrink the limits in tests.
void DownloadPages(index::Workspace& workspace, const FetchOptions& options = {});

// Whether an answer is worth keeping as the page: a whole answer whose status is not one that may pass
// (5xx, 408, 429). A removed item's 404 or 410 is kept, so the extraction still marks it invalid.
bool IsLastingAnswer(const HttpResult& result);

}  // namespace quorvane::workshop
