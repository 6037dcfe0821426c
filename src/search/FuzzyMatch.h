// The fuzzy test of the searches: t occurs in the cell, ASCII letters matched without regard to case.
#pragma once

#include <string_view>

namespace quorvane::search {

// True when t occurs in cell. Bytes A to Z count as a to z wherever they stand (also as the second byte of
// a two-byte character); start positions step one character at a time, so a match never begins on the
// second byte of a two-byte character. An empty cell never matches, nor does an empty t.
bool FuzzyMatch(std::string_view cell, std::string_view t);

}  // namespace quorvane::search
