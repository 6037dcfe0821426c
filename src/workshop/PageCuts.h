// The cuts the extraction takes out of a stored page, as pure functions of the page's bytes: the operations
// decide what to write, and the cuts can be fed any bytes on their own.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "index/ModIndex.h"
#include "text/Text.h"

namespace quorvane::workshop {

struct ModInfoCuts {
  // No line holds the author marker: the mod is marked invalid and its author emptied.
  bool hasAuthorBlock = false;
  text::Text author;
  // The title line's cut, when one was wanted and the page has a title line.
  std::optional<text::Text> name;
  // The description in its eight pieces, when wanted and the page has the description marker.
  std::optional<std::array<text::Text, index::kDescriptionPieces>> description;
};

// Author, name and description of a page; the name and the description only when wanted, since each costs
// a pass over the page.
ModInfoCuts CutModInfo(std::string_view page, bool wantName = true, bool wantDescription = true);

// The preview address of the first line that opens with the preview marker; nothing when no line does.
std::optional<text::Text> CutPreviewAddress(std::string_view page);

}  // namespace quorvane::workshop
