// What an operation works on: the table, the list, the window, and the program's folder.
#pragma once

#include "index/ModIndex.h"
#include "text/Encoding.h"
#include "window/ModList.h"
#include "window/Window.h"

namespace quorvane::index {

// The page-address prefix pages are fetched from when the prefix box is empty.
inline constexpr std::string_view kDefaultPagePrefix = "http://steamcommunity.com//sharedfiles/filedetails/?id=";
// What the Workshop folder box holds until the settings file is read.
inline constexpr std::string_view kDefaultWorkshopFolder = "F:\\Steam\\SteamApps\\workshop\\content\\255710";

struct Workspace {
  ModIndex& table;
  window::ModList& list;
  window::Window& window;
  Text programDir;  // GBK, no trailing separator

  Text TablePath() const { return text::JoinPath(programDir, "CSLmod.edb"); }
  Text SettingsPath() const { return text::JoinPath(programDir, "CSLinfo.txt"); }
  // The current text of the Workshop folder box, read anew at every use.
  Text WorkshopFolder() const { return window.GetText(window::Control::WorkshopFolderBox); }
  // WorkshopFolder/id/id.info.txt and WorkshopFolder/id/id.jpg, built at the moment of use.
  Text PageFile(const Text& id) const {
    return text::JoinPath(text::JoinPath(WorkshopFolder(), id), id + ".info.txt");
  }
  Text PreviewFile(const Text& id) const {
    return text::JoinPath(text::JoinPath(WorkshopFolder(), id), id + ".jpg");
  }
  // Opens the table (a table left open stays current).
  void OpenTable() { table.Open(TablePath()); }
};

}  // namespace quorvane::index
