#include "index/IndexBuilding.h"

#include <vector>

#include "index/ItemFolders.h"
#include "window/Progress.h"

namespace quorvane::index {
namespace {

using text::Decimal;
using text::Gbk;

// A table that does not open would take no add while the rows still went into the list; refusing keeps
// the list mirroring the table and leaves both as they were.
bool OpenTableOrRefuse(Workspace& workspace) {
  workspace.OpenTable();
  if (workspace.table.IsOpen()) return true;
  workspace.window.ShowMessage(Gbk("无法打开索引表：") + workspace.TablePath() + Gbk("\r\n索引没有改动。"));
  return false;
}

// The record and the row showing it, or neither when the table refuses the add.
bool AddRecordAndRow(Workspace& workspace, long long serial, const Text& id) {
  if (!workspace.table.AddRecord(serial, id)) return false;
  const int row = workspace.list.InsertRow(Decimal(serial));
  workspace.list.SetCellText(row, kItemId - 1, id);
  return true;
}

// A failed add means the file has gone or the disk is full: every later add would fail too.
Text WriteFailedNote(bool failed) {
  return failed ? Gbk("\r\n写入索引表失败，已停止。") : Text();
}

}  // namespace

void BuildNewIndex(Workspace& workspace) {
  window::LongOperation operation(workspace.window);
  if (!operation) return;
  if (!workspace.window.Confirm(Gbk("      如果新建索引的话，旧的索引及相关信息会全部清除，是否继续？")))
    return;

  const Text folder = workspace.WorkshopFolder();
  if (!OpenTableOrRefuse(workspace)) return;
  WriteGroup group(workspace.table);
  workspace.table.Clear();
  workspace.list.DeleteAllRows();

  const std::vector<Text> names = ItemFolderNames(folder);
  window::Progress progress(workspace.window, static_cast<int>(names.size()));
  long long indexed = 0;
  bool writeFailed = false;
  for (const Text& name : names) {
    if (progress.StopRequested()) break;
    group.BetweenRecords();
    const long long serial = indexed + 1;
    progress.Item(Gbk("正在索引目录：") + Decimal(serial) + Gbk("，目录名：") + name);
    if (!AddRecordAndRow(workspace, serial, name)) {
      writeFailed = true;
      break;
    }
    indexed = serial;
    progress.Done();
  }

  group.Commit();
  const Text count = Decimal(indexed);
  progress.Finish(Gbk("索引完成，共索引目录") + count + Gbk("个"),
                  Gbk("\r\n\r\n索引完成，共索引目录") + count + Gbk("个") + WriteFailedNote(writeFailed));
  workspace.table.CloseAll();
}

void AppendIndex(Workspace& workspace) {
  window::LongOperation operation(workspace.window);
  if (!operation) return;

  const Text folder = workspace.WorkshopFolder();
  if (!OpenTableOrRefuse(workspace)) return;
  WriteGroup group(workspace.table);
  const std::vector<Text> names = ItemFolderNames(folder);
  // Counted here rather than asked of the table at every folder: only this run adds records.
  const long long sizeBefore = workspace.table.RecordCount();
  long long added = 0;

  window::Progress progress(workspace.window, static_cast<int>(names.size()));
  long long seen = 0;
  bool writeFailed = false;
  for (const Text& name : names) {
    if (progress.StopRequested()) break;
    group.BetweenRecords();
    ++seen;
    if (workspace.table.FindById(name)) {
      progress.Done();
      continue;
    }
    long long serial = seen;
    if (workspace.table.FindBySerial(static_cast<double>(seen))) {
      // The serial is taken: the record goes to the end, without a line or a pause.
      serial = sizeBefore + added + 1;
    } else {
      progress.Item(Gbk("正在追加索引目录：") + Decimal(added) + Gbk("，目录名：") + name);
    }
    if (!AddRecordAndRow(workspace, serial, name)) {
      writeFailed = true;
      break;
    }
    ++added;
    progress.Done();
  }

  group.Commit();
  const Text count = Decimal(added);
  progress.Finish(Gbk("追加索引完成，共追加目录") + count + Gbk("个"),
                  Gbk("\r\n\r\n追加索引完成，共追加目录") + count + Gbk("个") + WriteFailedNote(writeFailed));
  workspace.table.CloseAll();
}

}  // namespace quorvane::index
