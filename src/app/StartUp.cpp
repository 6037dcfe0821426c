#include "app/StartUp.h"

#include <filesystem>

#include "app/Settings.h"

namespace quorvane::app {
namespace {

using window::Control;

// A file or a folder of that name both count.
bool Exists(const text::Text& path) {
  std::error_code error;
  return std::filesystem::exists(text::ToNativePath(path), error);
}

}  // namespace

bool StartUp(index::Workspace& workspace, const text::Text& programDir,
             const std::function<void()>& endProcess) {
  window::Window& window = workspace.window;
  window.SetVisible(Control::NoPreviewLabel, false);
  window.SetText(Control::WorkshopFolderBox, text::Text(index::kDefaultWorkshopFolder));
  window.SetText(Control::PagePrefixBox, text::Text(index::kDefaultPagePrefix));
  workspace.programDir = programDir;

  if (!Exists(workspace.TablePath())) {
    window.ShowMessage(text::Gbk("CSLmod.edb文件不存在，现在将退出！"));
    endProcess();
    return false;
  }
  if (!Exists(workspace.SettingsPath())) {
    window.ShowMessage(text::Gbk("CSLinfo.txt文件不存在，现在将退出！"));
    endProcess();
    return false;
  }
  const Settings settings = ReadSettings(workspace.SettingsPath());
  window.SetText(Control::WorkshopFolderBox, settings.workshopFolder);
  window.SetText(Control::PagePrefixBox, settings.pagePrefix);

  if (!LoadModList(workspace)) {
    // An empty list over a file that later writes would miss is worse than not starting.
    window.ShowMessage(text::Gbk("索引文件 ") + workspace.TablePath() + text::Gbk(" 无法作为索引读取（") +
                       workspace.table.LastError() + text::Gbk("），现在将退出！"));
    endProcess();
    return false;
  }
  return true;
}

bool LoadModList(index::Workspace& workspace) {
  index::ModIndex& table = workspace.table;
  if (table.Open(workspace.TablePath()) == index::OpenResult::kNotAnIndex) return false;
  window::ModList& list = workspace.list;
  // Row r - 1 shows record r: the records come in record order, one pass over the table.
  table.ForEachRecord([&list](long long, const index::ModIndex::Record& fields) {
    const int row = list.InsertRow(index::FieldText(fields[0]));
    for (int column = 1; column < window::kColumnCount; ++column) {
      list.SetCellText(row, column, index::FieldText(fields[column]));
    }
  });
  table.CloseAll();
  return true;
}

void BrowseWorkshopFolder(index::Workspace& workspace) {
  const text::Text chosen = workspace.window.PickFolder(text::Gbk("浏览创意工坊下载MOD所在的文件夹"));
  if (!chosen.empty()) workspace.window.SetText(Control::WorkshopFolderBox, chosen);
}

}  // namespace quorvane::app
