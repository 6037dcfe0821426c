// Laying out the folder the program runs from: the empty index table and a first settings file, made by
// the build's tools. Whatever is already at either path is left alone.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Text.h"

namespace quorvane::index {

inline constexpr std::string_view kGameAppId = "255710";

// One library of a Steam installation, as libraryfolders.vdf describes it.
struct SteamLibrary {
  std::string path;               // as written in the file, escapes undone
  std::vector<std::string> apps;  // the app ids its "apps" block lists
  bool operator==(const SteamLibrary&) const = default;
};

// The libraries of a libraryfolders.vdf text, in file order. Both layouts are read: the current one (each
// library a block with "path" and "apps") and the older one (each library a bare "n" "path" entry, without
// apps). Text that is not a valid file gives the libraries read before the fault.
std::vector<SteamLibrary> ParseLibraryFolders(std::string_view vdf);

// The steamapps folders whose libraryfolders.vdf this platform's Steam keeps, most likely first.
std::vector<std::filesystem::path> SteamAppsFolders();

// Where the game's Workshop items are: <library>/steamapps/workshop/content/255710 of the first library
// that lists the game in any of steamAppsFolders' libraryfolders.vdf; failing that, the first library whose
// Workshop folder for the game exists (the older file layout lists no apps); failing that, nothing.
std::optional<std::filesystem::path> FindWorkshopFolder(
    const std::vector<std::filesystem::path>& steamAppsFolders);

// The platform's usual place for the game's Workshop folder.
std::filesystem::path UsualWorkshopFolder();

// The settings file's bytes: the Workshop folder on line 1, the page prefix on line 2, both GBK.
text::Text SettingsText(const text::Text& workshopFolder);

// Writes bytes to a new file at path; refuses (false, with a reason) when anything is already there.
bool WriteNewFile(const std::filesystem::path& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace quorvane::index
