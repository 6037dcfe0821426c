// The text primitives and conversions on arbitrary bytes: no crash, and the properties callers rely on.
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/Encoding.h"
#include "text/Text.h"

using namespace quorvane::text;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string_view text = input.substr(0, cut);
  const std::string_view marker = input.substr(cut);

  const int found = Find(text, marker);
  if (found != -1 && (found < 1 || static_cast<size_t>(found) + marker.size() - 1 > text.size())) std::abort();
  const int foundBytes = FindBytes(text, marker);
  if (found != -1 && (foundBytes == -1 || foundBytes > found)) std::abort();
  if (Mid(text, size, static_cast<long long>(size) - 3).size() > text.size()) std::abort();
  const long long value = IntegerValue(input);
  if (value > kIntegerLimit || value < -kIntegerLimit) std::abort();

  // Pieces and separators give back the text, less a trailing empty piece.
  Text joined;
  for (const Text& piece : SplitOnBr(input)) joined += piece + "<br>";
  if (joined.size() < input.size() || joined.size() > input.size() + 4) std::abort();

  // A valid UTF-8 text survives the trip through GBK/GB18030 and back, up to its first zero byte.
  const Text gbk = Utf8ToGbk(input);
  if (!gbk.empty()) {
    const std::string back = GbkToUtf8(gbk);
    if (back != input.substr(0, input.find('\0'))) std::abort();
  }
  (void)GbkToUtf8(input);
  (void)Utf8ToGbkLenient(input);
  return 0;
}
