#include "workshop/ModInfo.h"

#include <string>

#include "window/Progress.h"
#include "workshop/PageText.h"
#include "workshop/Walk.h"
#include "workshop/WholeFile.h"

namespace quorvane::workshop {
namespace {

using index::ModIndex;
using text::Gbk;
using text::Mid;
using text::Text;
using text::Utf8ToGbk;

constexpr std::string_view kAuthorMarker = "<div class=\"linkAuthor\">";
constexpr std::string_view kAppIdMarker = "appid=255710\">";
constexpr std::string_view kTitleMarker = "<title>Steam Workshop :: ";
constexpr std::string_view kDescriptionMarker = "<div class=\"detailBox altFooter\">";
constexpr std::string_view kLinkEndMarker = "\">";

long long Len(std::string_view line) {
  return static_cast<long long>(line.size());
}

// Without markup: what a reader of the line sees.
std::string WithoutTags(std::string_view line) {
  std::string kept;
  bool inTag = false;
  for (char c : line) {
    if (c == '<')
      inTag = true;
    else if (c == '>')
      inTag = false;
    else if (!inTag)
      kept += c;
  }
  const auto first = kept.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return kept.substr(first, kept.find_last_not_of(" \t") - first + 1);
}

Text AuthorOf(std::string_view line) {
  const int p = text::FindBytes(line, kAppIdMarker);
  if (p > 0) return Utf8ToGbk(Mid(line, p + 14, Len(line) - p - 29));
  // No link to the author's works: the visible text after the author marker is the best guess at the name.
  const int marker = text::FindBytes(line, kAuthorMarker);
  return Utf8ToGbk(WithoutTags(line.substr(static_cast<size_t>(marker - 1 + Len(kAuthorMarker)))));
}

Text NameOf(std::string_view line) {
  return Utf8ToGbk(Mid(line, 26, Len(line) - 33));
}

Text DescriptionOf(std::string_view line) {
  const int q = text::FindBytes(line, kLinkEndMarker);
  if (q > 0) return Utf8ToGbk(Mid(line, q + 2, Len(line) - q - 7));
  // No opening tag to cut after: the line is taken whole, less a closing "</div>".
  constexpr std::string_view kClose = "</div>";
  if (line.size() >= kClose.size() &&
      text::FindBytes(line.substr(line.size() - kClose.size()), kClose) == 1) {
    line.remove_suffix(kClose.size());
  }
  return Utf8ToGbk(line);
}

void ExtractFromPage(index::Workspace& workspace, int record, std::string_view page) {
  ModIndex& table = workspace.table;
  const PageLines lines(page);

  if (auto authorLine = lines.FirstLineHolding(kAuthorMarker)) {
    WriteFieldAndCell(workspace, record, index::kAuthor, AuthorOf(lines.Text(*authorLine)));
    WriteFieldAndCell(workspace, record, index::kInvalid, false);
  } else {
    WriteFieldAndCell(workspace, record, index::kAuthor, Text());
    WriteFieldAndCell(workspace, record, index::kInvalid, true);
  }

  table.GoTo(record);
  if (table.ReadText(index::kName).empty()) {
    if (auto titleLine = lines.FirstLineHolding(kTitleMarker)) {
      WriteFieldAndCell(workspace, record, index::kName, NameOf(lines.Text(*titleLine)));
    }
  }

  table.GoTo(record);
  if (table.ReadText(index::kFirstDescription).empty()) {
    if (auto markerLine = lines.FirstLineHolding(kDescriptionMarker)) {
      std::optional<PageLine> descriptionLine;
      if (auto skipped = lines.LineAfter(*markerLine)) descriptionLine = lines.LineAfter(*skipped);
      const Text description = descriptionLine ? DescriptionOf(lines.Text(*descriptionLine)) : Text();
      for (int i = 0; i < index::kDescriptionPieces; ++i) {
        WriteFieldAndCell(workspace, record, index::kFirstDescription + i,
                          Mid(description, static_cast<long long>(i) * index::kDescriptionPieceBytes + 1,
                              index::kDescriptionPieceBytes));
      }
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
