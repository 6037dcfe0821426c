// Writes the empty index table that is delivered beside the program. An existing file is kept as it is:
// it may hold the user's index.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "index/ModIndex.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_empty_index <path of CSLmod.edb>\n");
    return 2;
  }
  const std::string path = argv[1];
  std::error_code error;
  if (std::filesystem::symlink_status(std::filesystem::u8path(path), error).type() !=
      std::filesystem::file_type::not_found) {
    return 0;
  }
  std::string reason;
  if (!quorvane::index::CreateEmptyIndexFile(path, &reason)) {
    std::fprintf(stderr, "make_empty_index: %s\n", reason.c_str());
    return 1;
  }
  return 0;
}
