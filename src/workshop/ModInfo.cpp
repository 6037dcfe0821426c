#include "workshop/ModInfo.h"

#include <string>

#include "window/Progress.h"
#include "workshop/PageCuts.h"
#include "workshop/Walk.h"
#include "workshop/WholeFile.h"

namespace quorvane::workshop {
namespace {

using index::ModIndex;
using text::Gbk;
using text::Text;

void ExtractFromPage(index::Workspace& workspace, int record, std::string_view page) {
  ModIndex& table = workspace.table;
  // The progress pause before may have let another handler move the table.
  table.GoTo(record);
  const bool wantName = table.ReadText(index::kName).empty();
  const bool wantDescription = table.ReadText(index::kFirstDescription).empty();
  const ModInfoCuts cuts = CutModInfo(page, wantName, wantDescription);

  WriteFieldAndCell(workspace, record, index::kAuthor, cuts.author);
  WriteFieldAndCell(workspace, record, index::kInvalid, !cuts.hasAuthorBlock);
  if (cuts.name) WriteFieldAndCell(workspace, record, index::kName, *cuts.name);
  if (cuts.description) {
    for (int i = 0; i < index::kDescriptionPieces; ++i) {
      WriteFieldAndCell(workspace, record, index::kFirstDescription + i, (*cuts.description)[i]);
    }
  }
}

}  // namespace

void ExtractModInfo(index::Workspace& workspace) {
  window::LongOperation operation(workspace.window);
  if (!operation) return;
  if (!OpenTableOrSay(workspace)) return;
  ModIndex& table = workspace.table;
  const int count = table.RecordCount();
  window::Progress progress(workspace.window, count);
  index::WriteGroup group(workspace.table);
  long long extracted = 0;
  std::string page;
  for (int r = 1; r <= count && !progress.StopRequested(); ++r) {
    group.BetweenRecords();
    table.GoTo(r);
    if (!table.ReadText(index::kAuthor).empty() || table.ReadBool(index::kInvalid)) {
      progress.Done();
      continue;
    }
    const Text id = table.ReadText(index::kItemId);
    if (!ReadWholeFile(workspace.PageFile(id), page)) {
      progress.Done();
      continue;
    }
    progress.Item(ItemLine("正在获取MOD信息，序号：", table, id));
    ExtractFromPage(workspace, r, page);
    ++extracted;
    progress.Done();
  }
  const Text line = Gbk("获取MOD信息完成，共获取文档信息") + text::Decimal(extracted) + Gbk("个");
  group.Commit();
  progress.Finish(line, Gbk("\r\n\r\n") + line);
  table.CloseAll();
}

}  // namespace quorvane::workshop
