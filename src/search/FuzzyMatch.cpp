#include "search/FuzzyMatch.h"

#include "text/Text.h"

namespace quorvane::search {

bool FuzzyMatch(std::string_view cell, std::string_view t) {
  return !cell.empty() && text::Find(cell, t) != -1;
}

}  // namespace quorvane::search
