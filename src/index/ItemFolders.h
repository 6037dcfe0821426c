// The item folders under the Workshop folder: one sub-folder per subscribed item, named after its id.
#pragma once

#include <functional>
#include <vector>

#include "text/Text.h"

namespace quorvane::index {

using text::Text;

// Calls visit with the name (GBK, without the folder path) of every sub-folder of folder, in the order the
// file system lists them, never sorted: the serial numbers follow that order. Hidden folders and links to
// folders count; plain files, "." and ".." do not. A folder that is missing or cannot be read gives no
// name; an entry that cannot be read ends the listing there. visit answers false to stop early.
void ForEachItemFolder(const Text& folder, const std::function<bool(const Text& name)>& visit);

// Every name ForEachItemFolder gives, in its order.
std::vector<Text> ItemFolderNames(const Text& folder);

}  // namespace quorvane::index
