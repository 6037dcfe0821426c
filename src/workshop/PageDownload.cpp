#include "workshop/PageDownload.h"

#include "window/Progress.h"
#include "workshop/Walk.h"
#include "workshop/WholeFile.h"

namespace quorvane::workshop {

namespace {

// An item id is a folder name, so it may hold spaces or any character; those go into the address
// percent-encoded, since curl refuses an address that holds them raw. Digits, the ids of real items, are
// unchanged.
std::string AddressPart(const text::Text& id) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string part;
  for (unsigned char c : id) {
    if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
        c == '_' || c == '~') {
      part += static_cast<char>(c);
    } else {
      part += '%';
      part += kHex[c >> 4];
      part += kHex[c & 0x0F];
    }
  }
  return part;
}

}  // namespace

bool IsLastingAnswer(const HttpResult& result) {
  if (!result.Complete()) return false;
  return !(result.status >= 500 || result.status == 408 || result.status == 429 || result.status < 100);
}

void DownloadPages(index::Workspace& workspace, const FetchOptions& options) {
  using text::Gbk;
  using text::Text;

  window::LongOperation operation(workspace.window);
  if (!operation) return;
  if (!workspace.window.Confirm(
          Gbk("      "
              "现在将连接到Steam创意工坊页面下载相关文档，根据网速和下载量的不同会需要相当长一段时间，期间会"
              "有假死"
              "现象。如果继续，将下载相应MOD编号的*.info.txt文件到相应目录，是否继续？"))) {
    return;
  }
  if (!OpenTableOrSay(workspace)) return;
  index::ModIndex& table = workspace.table;
  const int count = table.RecordCount();
  window::Progress progress(workspace.window, count);
  long long stored = 0;
  long long failed = 0;

  int r = 0;
  FetchPool pool(workspace.window, options);
  pool.Run([&]() -> std::optional<FetchPool::Job> {
    while (++r <= count) {
      // Another handler may have moved the table during an event pause.
      table.GoTo(r);
      if (table.ReadBool(index::kInvalid)) {
        progress.Done();
        continue;
      }
      const Text id = table.ReadText(index::kItemId);
      const Text path = workspace.PageFile(id);
      // A zero-byte page is what a failed fetch of an older run left: fetched again.
      if (FileSize(path) > 0) {
        progress.Done();
        continue;
      }
      Text prefix = workspace.window.GetText(window::Control::PagePrefixBox);
      if (prefix.empty()) prefix = index::kDefaultPagePrefix;
      progress.Item(ItemLine("正在下载网页文档，序号：", table, id));
      return FetchPool::Job{prefix + AddressPart(id), [&, path](HttpResult&& result) {
                              if (IsLastingAnswer(result) && WriteWholeFile(path, result.body)) {
                                ++stored;
                              } else {
                                ++failed;
                              }
                              progress.Done();
                            }};
    }
    return std::nullopt;
  });

  Text line = Gbk("下载网页文档完成，共下载文档") + text::Decimal(stored) + Gbk("个");
  if (failed > 0) line += Gbk("，失败") + text::Decimal(failed) + Gbk("个");
  progress.Finish(line, Gbk("\r\n\r\n") + line);
  table.CloseAll();
}

}  // namespace quorvane::workshop
