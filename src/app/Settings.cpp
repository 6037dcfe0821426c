#include "app/Settings.h"

#include <fstream>
#include <iterator>

#include "text/Encoding.h"

namespace quorvane::app {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Cuts the next line off the front of rest; an exhausted rest yields empty lines.
Text NextLine(std::string_view& rest) {
  const size_t end = rest.find('\n');
  std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  if (end != std::string_view::npos && !line.empty() && line.back() == '\r') line.remove_suffix(1);
  return Text(line);
}

}  // namespace

Settings SettingsFromBytes(std::string_view bytes) {
  const bool utf8 = bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
  if (utf8) bytes.remove_prefix(kUtf8Bom.size());
  // Neither byte occurs inside a GBK or UTF-8 character, so cutting the raw bytes is safe.
  bytes = bytes.substr(0, bytes.find_first_of(std::string_view("\0\x1A", 2)));

  Settings settings;
  settings.workshopFolder = NextLine(bytes);
  settings.pagePrefix = NextLine(bytes);
  if (utf8) {
    settings.workshopFolder = text::Utf8ToGbkLenient(settings.workshopFolder);
    settings.pagePrefix = text::Utf8ToGbkLenient(settings.pagePrefix);
  }
  return settings;
}

Settings ReadSettings(const Text& path) {
  std::ifstream file(text::ToNativePath(path), std::ios::binary);
  if (!file) return {};
  // A read error (a folder in place of the file) ends the text as the end of the file would.
  std::string bytes;
  char buffer[4096];
  while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
    bytes.append(buffer, static_cast<size_t>(file.gcount()));
    if (!file) break;
  }
  return SettingsFromBytes(bytes);
}

}  // namespace quorvane::app
