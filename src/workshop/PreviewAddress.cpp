#include "workshop/PreviewAddress.h"

#include <string>

#include "window/Progress.h"
#include "workshop/PageCuts.h"
#include "workshop/Walk.h"
#include "workshop/WholeFile.h"

namespace quorvane::workshop {

void ExtractPreviewAddresses(index::Workspace& workspace) {
  using text::Gbk;
  using text::Text;
  window::LongOperation operation(workspace.window);
  if (!operation) return;
  if (!OpenTableOrSay(workspace)) return;
  index::ModIndex& table = workspace.table;
  const int count = table.RecordCount();
  window::Progress progress(workspace.window, count);
  index::WriteGroup group(workspace.table);
  long long examined = 0;
  std::string page;
  for (int r = 1; r <= count && !progress.StopRequested(); ++r) {
    group.BetweenRecords();
    table.GoTo(r);
    if (!table.ReadText(index::kPreviewUrl).empty() || table.ReadBool(index::kInvalid)) {
      progress.Done();
      continue;
    }
    const Text id = table.ReadText(index::kItemId);
    progress.Item(ItemLine("正在获取预览图地址，序号：", table, id));
    if (!ReadWholeFile(workspace.PageFile(id), page)) {
      progress.Done();
      continue;
    }
    if (const auto address = CutPreviewAddress(page)) {
      WriteFieldAndCell(workspace, r, index::kPreviewUrl, *address);
      WriteFieldAndCell(workspace, r, index::kInvalid, false);
    } else {
      WriteFieldAndCell(workspace, r, index::kPreviewUrl, Text());
      WriteFieldAndCell(workspace, r, index::kInvalid, true);
    }
    ++examined;
    progress.Done();
  }
  const Text line = Gbk("获取预览图地址完成，共获取预览图地址") + text::Decimal(examined) + Gbk("个");
  group.Commit();
  progress.Finish(line, Gbk("\r\n\r\n") + line);
  table.CloseAll();
}

}  // namespace quorvane::workshop
