// FuzzyMatch and the prepared FuzzyPattern against a plain reading of the rule: t occurs in the cell at a
// character start, bytes A to Z counting as a to z, every other byte equal.
#include <cstdlib>
#include <string_view>

#include "search/FuzzyMatch.h"

namespace {

unsigned char Fold(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return (b >= 'A' && b <= 'Z') ? b + 0x20 : b;
}

bool Reference(std::string_view cell, std::string_view t) {
  if (cell.empty() || t.empty()) return false;
  for (size_t at = 0; at < cell.size(); at += static_cast<unsigned char>(cell[at]) >= 0x80 ? 2 : 1) {
    if (cell.size() - at < t.size()) return false;
    size_t j = 0;
    while (j < t.size() && Fold(cell[at + j]) == Fold(t[j])) ++j;
    if (j == t.size()) return true;
  }
  return false;
}

}  // namespace

// The first byte says where t ends; the rest after t are cells separated by byte 0, each tried with the
// same prepared pattern, as a search over many rows does.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t cut = data[0] % (input.size() + 1);
  const std::string_view t = input.substr(0, cut);
  std::string_view cells = input.substr(cut);
  const quorvane::search::FuzzyPattern pattern(t);
  for (;;) {
    const size_t end = cells.find('\0');
    const std::string_view cell = cells.substr(0, end);
    const bool expected = Reference(cell, t);
    if (quorvane::search::FuzzyMatch(cell, t) != expected) std::abort();
    if (pattern.FoundIn(cell) != expected) std::abort();
    if (end == std::string_view::npos) break;
    cells.remove_prefix(end + 1);
  }
  return 0;
}
