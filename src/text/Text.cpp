#include "text/Text.h"

#include "text/Encoding.h"

namespace quorvane::text {
namespace {

unsigned char FoldAsciiUpper(unsigned char byte) { return (byte >= 'A' && byte <= 'Z') ? byte + 0x20 : byte; }

bool MatchesAt(std::string_view text, size_t at, std::string_view marker) {
  if (text.size() - at < marker.size()) return false;
  for (size_t j = 0; j < marker.size(); ++j) {
    if (FoldAsciiUpper(static_cast<unsigned char>(text[at + j])) !=
        FoldAsciiUpper(static_cast<unsigned char>(marker[j]))) {
      return false;
    }
  }
  return true;
}

size_t CharacterWidth(unsigned char lead) { return lead >= 0x80 ? 2 : 1; }

// Full-width forms in GBK: digits A3B0..A3B9, plus A3AB, minus A3AD, blank A1A1.
bool IsFullWidth(std::string_view t, size_t i, unsigned char second) {
  return i + 1 < t.size() && static_cast<unsigned char>(t[i]) == 0xA3 &&
         static_cast<unsigned char>(t[i + 1]) == second;
}

}  // namespace

int Length(std::string_view text) { return static_cast<int>(text.size()); }

int Find(std::string_view text, std::string_view marker) {
  if (marker.empty()) return -1;
  for (size_t i = 0; i < text.size(); i += CharacterWidth(static_cast<unsigned char>(text[i]))) {
    if (MatchesAt(text, i, marker)) return static_cast<int>(i) + 1;
  }
  return -1;
}

int FindBytes(std::string_view text, std::string_view marker) {
  if (marker.empty()) return -1;
  for (size_t i = 0; i < text.size(); ++i) {
    if (MatchesAt(text, i, marker)) return static_cast<int>(i) + 1;
  }
  return -1;
}

Text Mid(std::string_view text, long long start, long long count) {
  const auto length = static_cast<long long>(text.size());
  if (start < 1 || start > length || count <= 0) return {};
  return Text(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(std::min(count, length))));
}

long long IntegerValue(std::string_view t) {
  size_t i = 0;
  for (;;) {
    if (i < t.size() && (t[i] == ' ' || t[i] == '\t' || t[i] == '\r' || t[i] == '\n' || t[i] == '\v' ||
                         t[i] == '\f')) {
      ++i;
    } else if (i + 1 < t.size() && static_cast<unsigned char>(t[i]) == 0xA1 &&
               static_cast<unsigned char>(t[i + 1]) == 0xA1) {
      i += 2;
    } else {
      break;
    }
  }
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  } else if (IsFullWidth(t, i, 0xAB) || IsFullWidth(t, i, 0xAD)) {
    negative = static_cast<unsigned char>(t[i + 1]) == 0xAD;
    i += 2;
  }
  long long value = 0;
  for (;;) {
    int digit;
    if (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      digit = t[i] - '0';
      ++i;
    } else if (i + 1 < t.size() && static_cast<unsigned char>(t[i]) == 0xA3 &&
               static_cast<unsigned char>(t[i + 1]) >= 0xB0 && static_cast<unsigned char>(t[i + 1]) <= 0xB9) {
      digit = static_cast<unsigned char>(t[i + 1]) - 0xB0;
      i += 2;
    } else {
      break;
    }
    value = value > (kIntegerLimit - digit) / 10 ? kIntegerLimit : value * 10 + digit;
  }
  return negative ? -value : value;
}

std::vector<Text> SplitOnBr(std::string_view text) {
  static constexpr std::string_view kBr = "<br>";
  std::vector<Text> pieces;
  size_t start = 0;
  size_t i = 0;
  while (i < text.size()) {
    if (text.compare(i, kBr.size(), kBr) == 0) {
      pieces.emplace_back(text.substr(start, i - start));
      i += kBr.size();
      start = i;
    } else {
      i += CharacterWidth(static_cast<unsigned char>(text[i]));
    }
  }
  if (start < text.size()) pieces.emplace_back(text.substr(start));
  return pieces;
}

Text LinesFromBr(std::string_view text) {
  Text lines;
  for (const Text& piece : SplitOnBr(text)) {
    lines += piece;
    lines += "\r\n";
  }
  return lines;
}

Text JoinWithComma(const std::vector<Text>& entries) {
  static const Text kComma = "\xA3\xAC";  // "，"
  Text joined;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (i > 0) joined += kComma;
    joined += entries[i];
  }
  return joined;
}

Text Decimal(long long n) { return std::to_string(n); }

Text Gbk(std::string_view utf8) { return Utf8ToGbk(utf8); }

}  // namespace quorvane::text
