// The list columns the searches read, and how far below a found row the scroll reaches first.
#pragma once

namespace quorvane::search {

inline constexpr int kSerialColumn = 0;
inline constexpr int kItemIdColumn = 1;
inline constexpr int kNameColumn = 2;
inline constexpr int kAuthorColumn = 3;
inline constexpr int kInvalidColumn = 5;
inline constexpr int kFirstDescriptionColumn = 6;
inline constexpr int kLastDescriptionColumn = 13;

// Bringing the row this far below into view first leaves the found row at the top of a list that shows
// at most this many rows.
inline constexpr int kScrollLead = 23;

}  // namespace quorvane::search
