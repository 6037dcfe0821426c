// The page cuts over arbitrary page bytes: no crash, every stored piece within its limit, and the same cuts
// as a plain line-by-line reading of the page where the rule fixes the result.
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "text/Encoding.h"
#include "text/Text.h"
#include "workshop/PageCuts.h"

using namespace quorvane;
using text::FindBytes;
using text::Mid;
using text::Text;
using text::Utf8ToGbk;

namespace {

// Lines as a reader that takes one line at a time sees them: bytes up to a line feed, one carriage
// return before it dropped; no line after the last line feed that ends the page.
std::vector<std::string_view> Lines(std::string_view page) {
  std::vector<std::string_view> lines;
  size_t begin = 0;
  while (begin < page.size()) {
    const size_t feed = page.find('\n', begin);
    if (feed == std::string_view::npos) {
      lines.push_back(page.substr(begin));
      break;
    }
    std::string_view line = page.substr(begin, feed - begin);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    begin = feed + 1;
  }
  return lines;
}

long long FirstHolding(const std::vector<std::string_view>& lines, std::string_view marker) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (FindBytes(lines[i], marker) > 0) return static_cast<long long>(i);
  }
  return -1;
}

long long Len(std::string_view line) {
  return static_cast<long long>(line.size());
}

void Check(bool holds) {
  if (!holds) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const std::string_view page(reinterpret_cast<const char*>(data), size);
  const auto lines = Lines(page);
  const workshop::ModInfoCuts cuts = workshop::CutModInfo(page);

  const long long author = FirstHolding(lines, "<div class=\"linkAuthor\">");
  Check(cuts.hasAuthorBlock == (author >= 0));
  if (author >= 0) {
    const std::string_view line = lines[author];
    const int p = FindBytes(line, "appid=255710\">");
    if (p > 0) Check(cuts.author == Utf8ToGbk(Mid(line, p + 14, Len(line) - p - 29)));
  } else {
    Check(cuts.author.empty());
  }

  const long long title = FirstHolding(lines, "<title>Steam Workshop :: ");
  Check(cuts.name.has_value() == (title >= 0));
  if (title >= 0) Check(*cuts.name == Utf8ToGbk(Mid(lines[title], 26, Len(lines[title]) - 33)));

  const long long marker = FirstHolding(lines, "<div class=\"detailBox altFooter\">");
  Check(cuts.description.has_value() == (marker >= 0));
  if (marker >= 0) {
    const auto& pieces = *cuts.description;
    Text joined;
    bool ended = false;
    for (const Text& piece : pieces) {
      Check(piece.size() <= 256);
      Check(!ended || piece.empty());
      ended = piece.size() < 256;
      joined += piece;
    }
    const std::string_view line =
        static_cast<size_t>(marker + 2) < lines.size() ? lines[marker + 2] : std::string_view();
    const int q = FindBytes(line, "\">");
    if (q > 0) Check(joined == Utf8ToGbk(Mid(line, q + 2, Len(line) - q - 7)).substr(0, 2048));
  }
  for (const Text* cut : {&cuts.author, cuts.name ? &*cuts.name : nullptr}) {
    if (cut) Check(cut->find('\0') == Text::npos);
  }

  // The preview line opens with its marker; the address is the page's own bytes.
  constexpr std::string_view kPreview = "<link rel=\"image_src\" href=\"";
  std::optional<Text> address;
  for (std::string_view line : lines) {
    if (line.size() >= kPreview.size() && FindBytes(line.substr(0, kPreview.size()), kPreview) == 1) {
      address = Mid(line, 29, Len(line) - 48);
      break;
    }
  }
  Check(workshop::CutPreviewAddress(page) == address);
  return 0;
}
