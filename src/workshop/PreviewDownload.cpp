#include "workshop/PreviewDownload.h"

#include "window/Progress.h"
#include "workshop/Walk.h"
#include "workshop/WholeFile.h"

namespace quorvane::workshop {
namespace {

constexpr std::string_view kFirstForm = "637x358.resizedimage";
constexpr std::string_view kSecondForm = "512x0.resizedimage";

// Only a whole 2xx answer is a picture worth keeping; anything else leaves the file empty, the state from
// which later runs try the other address forms.
std::string_view PictureOf(const HttpResult& result) {
  return result.Succeeded() ? std::string_view(result.body) : std::string_view();
}

}  // namespace

void DownloadPreviews(index::Workspace& workspace, const FetchOptions& options) {
  using text::Gbk;
  using text::Text;

  window::LongOperation operation(workspace.window);
  if (!operation) return;
  if (!workspace.window.Confirm(Gbk("      "
                                    "现在将连接到Steam创意工坊页面下载预览图，根据网速和下载量的不同会需要相"
                                    "当长一段时间，期间会有假死现象"
                                    ".如果继续，将下载相应MOD编号的*.jpg文件到相应目录，是否继续？"))) {
    return;
  }
  if (!OpenTableOrSay(workspace)) return;
  index::ModIndex& table = workspace.table;
  const int count = table.RecordCount();
  window::Progress progress(workspace.window, count);
  long long firstDownloads = 0;

  FetchPool pool(workspace.window, options);
  // The retry of an empty file: the second form, then, while the file is still empty, the bare address.
  auto retry = [&](const Text& address, const Text& path) {
    return FetchPool::Job{address + Text(kSecondForm), [&, address, path](HttpResult&& second) {
                            if (!PictureOf(second).empty() && WriteWholeFile(path, second.body)) {
                              progress.Done();
                              return;
                            }
                            pool.Submit({address, [&, path](HttpResult&& bare) {
                                           if (!PictureOf(bare).empty()) WriteWholeFile(path, bare.body);
                                           progress.Done();
                                         }});
                          }};
  };

  int r = 0;
  pool.Run([&]() -> std::optional<FetchPool::Job> {
    while (++r <= count) {
      table.GoTo(r);
      const Text id = table.ReadText(index::kItemId);
      const Text address = table.ReadText(index::kPreviewUrl);
      if (address.empty()) {
        progress.Done();
        continue;
      }
      const Text path = workspace.PreviewFile(id);
      const long long size = FileSize(path);
      if (size < 0) {
        const bool invalid = table.ReadBool(index::kInvalid);
        progress.Item(ItemLine("正在下载预览图，序号：", table, id));
        ++firstDownloads;
        if (invalid) {
          progress.Done();
          continue;
        }
        return FetchPool::Job{address + Text(kFirstForm), [&, path](HttpResult&& result) {
                                WriteWholeFile(path, PictureOf(result));
                                progress.Done();
                              }};
      }
      if (size == 0) return retry(address, path);
      progress.Done();
    }
    return std::nullopt;
  });

  const Text line = Gbk("下载预览图完成，共下载预览图") + text::Decimal(firstDownloads) + Gbk("个");
  progress.Finish(line, Gbk("\r\n\r\n") + line);
  table.CloseAll();
}

}  // namespace quorvane::workshop
