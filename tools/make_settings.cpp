// Writes a first settings file beside the program: this machine's Workshop folder of the game and the
// page prefix. An existing file is kept as it is: the user may have edited it.
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "index/ProgramFolder.h"
#include "text/Encoding.h"

int main(int argc, char** argv) {
  namespace index = quorvane::index;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_settings <path of CSLinfo.txt>\n");
    return 2;
  }
  const std::filesystem::path path = std::filesystem::u8path(argv[1]);
  std::error_code error;
  if (std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found) return 0;
  const std::filesystem::path folder =
      index::FindWorkshopFolder(index::SteamAppsFolders()).value_or(index::UsualWorkshopFolder());
  std::string reason;
  if (!index::WriteNewFile(path, index::SettingsText(quorvane::text::FromNativePath(folder)), &reason)) {
    std::fprintf(stderr, "make_settings: %s\n", reason.c_str());
    return 1;
  }
  return 0;
}
