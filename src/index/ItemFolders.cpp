#include "index/ItemFolders.h"

#include <filesystem>
#include <system_error>

#include "text/Encoding.h"

namespace quorvane::index {

void ForEachItemFolder(const Text& folder, const std::function<bool(const Text& name)>& visit) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::directory_iterator entry(text::ToNativePath(folder), error);
  for (const fs::directory_iterator end; !error && entry != end; entry.increment(error)) {
    // Follows links, so a link to a folder counts; a broken link reads as no folder.
    std::error_code statError;
    if (!entry->is_directory(statError)) continue;
    const Text name = text::FromNativePath(entry->path().filename());
    if (name.empty() || name == "." || name == "..") continue;
    if (!visit(name)) return;
  }
}

std::vector<Text> ItemFolderNames(const Text& folder) {
  std::vector<Text> names;
  ForEachItemFolder(folder, [&names](const Text& name) {
    names.push_back(name);
    return true;
  });
  return names;
}

}  // namespace quorvane::index
