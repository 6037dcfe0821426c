#include "copy/CopyMods.h"

#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "text/Encoding.h"
#include "text/Text.h"
#include "window/Progress.h"

namespace quorvane::copy {
namespace {

namespace fs = std::filesystem;
using text::Text;
using window::Control;

constexpr int kSerialColumn = 0;
constexpr int kItemIdColumn = 1;
constexpr size_t kNamedFailures = 5;

class Failures {
 public:
  void Add(const Text& what) {
    if (named_.size() < kNamedFailures) named_.push_back(what);
    ++count_;
  }
  // Empty when nothing failed, so that a clean run logs only its fixed text.
  Text Report() const {
    if (count_ == 0) return {};
    Text report = text::Gbk("\r\n复制失败") + text::Decimal(count_) + text::Gbk("项：");
    for (const Text& what : named_) report += "\r\n" + what;
    if (count_ > static_cast<long long>(named_.size())) report += text::Gbk("\r\n……");
    return report;
  }

 private:
  long long count_ = 0;
  std::vector<Text> named_;
};

bool EndsWithSeparator(std::string_view path) {
  return path.size() >= text::kPathSeparator.size() &&
         path.substr(path.size() - text::kPathSeparator.size()) == text::kPathSeparator;
}

// An id names one folder directly below the Workshop folder; anything else would make the walk start
// elsewhere (an empty id would copy the whole Workshop folder).
bool IsFolderName(std::string_view id) {
  return !id.empty() && id != "." && id != ".." && id.find('/') == std::string_view::npos &&
         id.find(text::kPathSeparator) == std::string_view::npos;
}

bool SameFolder(const fs::path& a, const fs::path& b) {
  std::error_code ec;
  return fs::equivalent(a, b, ec);
}

// Whether destination is folder or lies anywhere below it (links and letter case resolved by the file
// system, not by comparing texts).
bool IsSameOrInside(const fs::path& destination, const fs::path& folder) {
  std::error_code ec;
  fs::path at = fs::weakly_canonical(destination, ec);
  if (ec) at = destination;
  for (;;) {
    if (SameFolder(at, folder)) return true;
    if (!at.has_relative_path()) return false;
    at = at.parent_path();
  }
}

struct Mod {
  Text serial;
  Text id;
};

class CopyRun {
 public:
  CopyRun(window::Window& window, Text destination)
      : window_(window),
        destination_(std::move(destination)),
        base_(EndsWithSeparator(destination_) ? destination_ : destination_ + Text(text::kPathSeparator)) {}

  void CopyAll(const std::vector<Mod>& mods) {
    progress_.emplace(window_, static_cast<int>(mods.size()));
    for (const Mod& mod : mods) {
      if (Stopped()) break;
      CopyMod(mod);
      progress_->Done();
    }
    progress_->Finish(text::Gbk("复制完成"), text::Gbk("\r\n\r\n复制完成") + failures_.Report());
  }

 private:
  bool Stopped() const { return progress_->StopRequested(); }

  void CopyMod(const Mod& mod) {
    if (!IsFolderName(mod.id)) {
      failures_.Add(text::Gbk("编码无效，未复制：序号") + mod.serial);
      return;
    }
    const Text modFolder = text::JoinPath(window_.GetText(Control::WorkshopFolderBox), mod.id);
    const size_t prefixLength = modFolder.size() - mod.id.size();  // the Workshop folder and its separator
    const std::vector<Text> folders = FoldersBreadthFirst(modFolder);
    window_.SetVisible(Control::ProgressBox, true);
    for (const Text& folder : folders) {
      if (Stopped()) return;
      const Text relative = folder.substr(prefixLength);
      progress_->Item(text::Gbk("正在创建文件夹：") + relative);
      MakeFolder(text::JoinPath(destination_, relative));
      CopyFiles(folder, base_ + relative);
      if (Stopped()) return;
    }
  }

  // The mod folder first, then every folder below it, breadth first, each in the order the file system
  // lists it. A folder reached again through a link is left out, so a link loop cannot hang the walk.
  std::vector<Text> FoldersBreadthFirst(const Text& modFolder) {
    std::vector<Text> folders{modFolder};
    std::set<fs::path> listed;
    std::error_code ec;
    listed.insert(fs::weakly_canonical(text::ToNativePath(modFolder), ec));
    for (size_t next = 0; next < folders.size(); ++next) {
      fs::directory_iterator entries(text::ToNativePath(folders[next]), ec);
      if (ec) {
        // A mod folder that is gone is created empty and reported by nothing; an unreadable one loses files.
        if (ec != std::errc::no_such_file_or_directory)
          failures_.Add(text::Gbk("无法读取文件夹：") + folders[next]);
        continue;
      }
      for (const fs::directory_entry& entry : entries) {
        std::error_code entryError;
        if (!entry.is_directory(entryError)) continue;
        if (!listed.insert(fs::weakly_canonical(entry.path(), entryError)).second) continue;
        folders.push_back(text::JoinPath(folders[next], text::FromNativePath(entry.path().filename())));
      }
    }
    return folders;
  }

  void MakeFolder(const Text& path) {
    const fs::path native = text::ToNativePath(path);
    std::error_code ec;
    fs::create_directory(native, ec);
    if (!fs::is_directory(native, ec)) failures_.Add(text::Gbk("无法创建文件夹：") + path);
  }

  void CopyFiles(const Text& sourceFolder, const Text& targetFolder) {
    std::error_code ec;
    fs::directory_iterator entries(text::ToNativePath(sourceFolder), ec);
    if (ec) return;  // reported by the walk
    for (const fs::directory_entry& entry : entries) {
      std::error_code statusError;
      if (entry.is_directory(statusError)) continue;
      if (Stopped()) return;
      const Text name = text::FromNativePath(entry.path().filename());
      progress_->Item(text::Gbk("正在复制文件：") + name);
      const Text target = text::JoinPath(targetFolder, name);
      if (!CopyFile(entry.path(), text::ToNativePath(target)))
        failures_.Add(text::Gbk("无法复制文件：") + target);
    }
  }

  // Whole or not at all: the bytes go to a temporary name beside the target, which then replaces it, so a
  // failure or a stop never leaves a half-copied file. A file is never copied onto itself.
  static bool CopyFile(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (!fs::is_regular_file(source, ec)) return false;
    if (fs::exists(target, ec) && fs::equivalent(source, target, ec)) return false;
    fs::path hiddenName = ".";
    hiddenName += target.filename();
    hiddenName += ".quorvane-part";
    const fs::path temporary = fs::path(target).replace_filename(hiddenName);
    fs::remove(temporary, ec);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
      fs::remove(temporary, ec);
      return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
    return true;
  }

  window::Window& window_;
  const Text destination_;
  const Text base_;  // the destination with exactly one separator at its end
  std::optional<window::Progress> progress_;
  Failures failures_;
};

// A destination that is the Workshop folder, or inside a mod folder that is copied, would copy files onto
// themselves or into the tree being walked.
bool CopiesOntoItself(const window::Window& window, const Text& destination, const std::vector<Mod>& mods) {
  const fs::path target = text::ToNativePath(destination);
  const Text workshopFolder = window.GetText(Control::WorkshopFolderBox);
  if (SameFolder(target, text::ToNativePath(workshopFolder))) return true;
  for (const Mod& mod : mods) {
    if (IsFolderName(mod.id) &&
        IsSameOrInside(target, text::ToNativePath(text::JoinPath(workshopFolder, mod.id)))) {
      return true;
    }
  }
  return false;
}

}  // namespace

void CopyCheckedMods(window::ModList& list, window::Window& window) {
  window::LongOperation guard(window);
  if (!guard) return;

  const Text destination = window.PickFolder(text::Gbk("选择要复制到的文件夹"));
  if (destination.empty()) {
    window.ShowMessage(text::Gbk("未选择要复制到的文件夹，按确定键返回。"));
    return;
  }

  std::vector<Text> serials;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.Check(row) == 1) serials.push_back(list.CellText(row, kSerialColumn));
  }
  const Text count = text::Decimal(static_cast<long long>(serials.size()));
  window.AppendLog(text::Gbk("\r\n\r\n当前共选择MOD个数：") + count);
  window.AppendLog(text::Gbk("\r\n序号分别是：") + text::JoinWithComma(serials));

  // The list holds the records in index order: the row of serial s is row s - 1.
  std::vector<Mod> mods;
  for (const Text& serial : serials) {
    const long long row = text::IntegerValue(serial) - 1;
    const bool inList = row >= 0 && row < list.RowCount();
    mods.push_back({serial, inList ? list.CellText(static_cast<int>(row), kItemIdColumn) : Text()});
  }
  if (CopiesOntoItself(window, destination, mods)) {
    window.ShowMessage(text::Gbk("不能复制到创意工坊文件夹或要复制的MOD文件夹之中，请另选一个文件夹。"));
    return;
  }

  if (!window.Confirm(text::Gbk("已选择") + count + text::Gbk("个MOD，复制到") + destination +
                      text::Gbk("下，将覆盖原有文件，是否继续？"))) {
    return;
  }

  if (mods.empty()) {
    // Nothing to copy: the box stays hidden, the run still ends as every copy does.
    window.ShowProgress(text::Gbk("复制完成"));
    window.AppendLog(text::Gbk("\r\n\r\n复制完成"));
    window.PumpEvents(1000);
    window.SetVisible(Control::ProgressBox, false);
    return;
  }
  CopyRun(window, destination).CopyAll(mods);
}

}  // namespace quorvane::copy
