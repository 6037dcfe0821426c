// Files written whole or not at all, and the few file questions the retrieval steps ask.
#pragma once

#include <string>
#include <string_view>

#include "text/Text.h"

namespace quorvane::workshop {

// Writes bytes to a temporary file beside path, then renames it over path: a crash or a full disk leaves
// either the old file or the new one, never a truncated one. False (and nothing left behind) on failure.
bool WriteWholeFile(const text::Text& path, std::string_view bytes);

// -1 when nothing is there.
long long FileSize(const text::Text& path);

// The whole content into buffer (reused to spare allocations); false when the file cannot be read.
bool ReadWholeFile(const text::Text& path, std::string& buffer);

}  // namespace quorvane::workshop
