#include "workshop/PageCuts.h"

#include <string>

#include "text/Encoding.h"
#include "workshop/PageText.h"

namespace quorvane::workshop {
namespace {

using text::Mid;
using text::Text;
using text::Utf8ToGbk;

constexpr std::string_view kAuthorMarker = "<div class=\"linkAuthor\">";
constexpr std::string_view kAppIdMarker = "appid=255710\">";
constexpr std::string_view kTitleMarker = "<title>Steam Workshop :: ";
constexpr std::string_view kDescriptionMarker = "<div class=\"detailBox altFooter\">";
constexpr std::string_view kLinkEndMarker = "\">";
constexpr std::string_view kPreviewMarker = "<link rel=\"image_src\" href=\"";

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

}  // namespace

ModInfoCuts CutModInfo(std::string_view page, bool wantName, bool wantDescription) {
  const PageLines lines(page);
  ModInfoCuts cuts;
  if (auto authorLine = lines.FirstLineHolding(kAuthorMarker)) {
    cuts.hasAuthorBlock = true;
    cuts.author = AuthorOf(lines.Text(*authorLine));
  }
  if (wantName) {
    if (auto titleLine = lines.FirstLineHolding(kTitleMarker)) cuts.name = NameOf(lines.Text(*titleLine));
  }
  if (wantDescription) {
    if (auto markerLine = lines.FirstLineHolding(kDescriptionMarker)) {
      std::optional<PageLine> descriptionLine;
      if (auto skipped = lines.LineAfter(*markerLine)) descriptionLine = lines.LineAfter(*skipped);
      const Text description = descriptionLine ? DescriptionOf(lines.Text(*descriptionLine)) : Text();
      auto& pieces = cuts.description.emplace();
      for (int i = 0; i < index::kDescriptionPieces; ++i) {
        pieces[i] = Mid(description, static_cast<long long>(i) * index::kDescriptionPieceBytes + 1,
                        index::kDescriptionPieceBytes);
      }
    }
  }
  return cuts;
}

std::optional<Text> CutPreviewAddress(std::string_view page) {
  const PageLines lines(page);
  const auto previewLine = lines.FirstLineStartingWith(kPreviewMarker);
  if (!previewLine) return std::nullopt;
  const std::string_view line = lines.Text(*previewLine);
  return Mid(line, 29, Len(line) - 48);
}

}  // namespace quorvane::workshop
