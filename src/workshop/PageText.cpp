#include "workshop/PageText.h"

#include <cstring>

namespace quorvane::workshop {
namespace {

unsigned char Fold(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte;
}

bool MatchesAt(std::string_view text, std::size_t at, std::string_view marker) {
  if (text.size() - at < marker.size()) return false;
  for (std::size_t j = 0; j < marker.size(); ++j) {
    if (Fold(static_cast<unsigned char>(text[at + j])) != Fold(static_cast<unsigned char>(marker[j])))
      return false;
  }
  return true;
}

}  // namespace

std::size_t PageLines::Find(std::string_view marker, std::size_t from) const {
  if (marker.empty() || page_.size() < marker.size()) return std::string_view::npos;
  const std::size_t last = page_.size() - marker.size();
  const auto first = static_cast<unsigned char>(marker[0]);
  if (Fold(first) != first || (first >= 'a' && first <= 'z')) {
    for (std::size_t at = from; at <= last; ++at) {
      if (MatchesAt(page_, at, marker)) return at;
    }
    return std::string_view::npos;
  }
  // A marker that opens with a byte other than a letter: memchr finds the candidates far faster.
  while (from <= last) {
    const void* hit = std::memchr(page_.data() + from, first, last - from + 1);
    if (!hit) return std::string_view::npos;
    const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - page_.data());
    if (MatchesAt(page_, at, marker)) return at;
    from = at + 1;
  }
  return std::string_view::npos;
}

PageLine PageLines::LineAround(std::size_t at) const {
  PageLine line;
  const std::size_t feedBefore = at == 0 ? std::string_view::npos : page_.rfind('\n', at - 1);
  line.begin = feedBefore == std::string_view::npos ? 0 : feedBefore + 1;
  const std::size_t feed = page_.find('\n', at);
  if (feed == std::string_view::npos) {
    line.end = line.next = page_.size();
  } else {
    line.end = (feed > line.begin && page_[feed - 1] == '\r') ? feed - 1 : feed;
    line.next = feed + 1;
  }
  return line;
}

std::optional<PageLine> PageLines::FirstLineHolding(std::string_view marker) const {
  // A marker holds no line feed, so its first occurrence lies in the first line that holds it.
  const std::size_t at = Find(marker, 0);
  if (at == std::string_view::npos) return std::nullopt;
  return LineAround(at);
}

std::optional<PageLine> PageLines::FirstLineStartingWith(std::string_view marker) const {
  for (std::size_t at = Find(marker, 0); at != std::string_view::npos; at = Find(marker, at + 1)) {
    if (at == 0 || page_[at - 1] == '\n') return LineAround(at);
  }
  return std::nullopt;
}

std::optional<PageLine> PageLines::LineAfter(const PageLine& line) const {
  if (line.next >= page_.size()) return std::nullopt;
  return LineAround(line.next);
}

}  // namespace quorvane::workshop
