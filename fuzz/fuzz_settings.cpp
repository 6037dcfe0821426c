// The settings reader over arbitrary bytes: the two lines as a plain reading of the file gives them.
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/Settings.h"
#include "text/Encoding.h"

namespace {

// Line n (from 1) of the readable text: up to a line feed, one carriage return before it dropped; the
// readable text ends at the first byte 0 or 26.
std::string Line(std::string_view text, int n) {
  std::string line;
  int number = 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\0' || c == '\x1a') break;
    if (c == '\n') {
      if (number == n) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
      }
      ++number;
      line.clear();
      continue;
    }
    line += c;
  }
  return number == n ? line : std::string();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool utf8 = bytes.substr(0, 3) == "\xEF\xBB\xBF";
  if (utf8) bytes.remove_prefix(3);
  std::string folder = Line(bytes, 1);
  std::string prefix = Line(bytes, 2);
  if (utf8) {
    folder = quorvane::text::Utf8ToGbkLenient(folder);
    prefix = quorvane::text::Utf8ToGbkLenient(prefix);
  }
  const quorvane::app::Settings settings =
      quorvane::app::SettingsFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
  if (settings.workshopFolder != folder || settings.pagePrefix != prefix) std::abort();
  return 0;
}
