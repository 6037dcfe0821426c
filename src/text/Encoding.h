// Conversions at the edges of the text model.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "text/Text.h"

namespace quorvane::text {

// Strict: empty input or any invalid UTF-8 gives the empty text. A character outside GBK takes its
// GB18030 code (GB18030 equals GBK on every GBK character), so nothing is lost. The result ends at its
// first zero byte.
Text Utf8ToGbk(std::string_view utf8);

// Lenient, for display: a byte sequence that does not decode becomes U+FFFD, one per byte.
std::string GbkToUtf8(std::string_view gbk);

// For what the user types: lenient the other way (a character that cannot be coded is dropped; none is
// in practice, since GB18030 codes all of Unicode).
Text Utf8ToGbkLenient(std::string_view utf8);

// The native separator, joined wherever a path is built ("\" on Windows, "/" elsewhere).
#ifdef _WIN32
inline constexpr std::string_view kPathSeparator = "\\";
#else
inline constexpr std::string_view kPathSeparator = "/";
#endif

// folder + separator + name, exactly (a folder that already ends in a separator gives a doubled one,
// which file systems accept).
Text JoinPath(std::string_view folder, std::string_view name);

// GBK text <-> native path (UTF-8 bytes on Linux and macOS, UTF-16 on Windows).
std::filesystem::path ToNativePath(std::string_view gbk);
Text FromNativePath(const std::filesystem::path& path);

}  // namespace quorvane::text
