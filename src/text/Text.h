// The text model: every text of the system is a GBK byte string. Lengths and positions count bytes,
// positions from 1; searches step over two-byte characters (a byte of 0x80 or above starts one).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvane::text {

using Text = std::string;  // GBK bytes

// Number of bytes.
int Length(std::string_view text);

// Position (from 1) of the first occurrence of marker in text, -1 when there is none or marker is empty.
// Bytes A to Z count as a to z on both sides; start positions step one character at a time, so a match
// never begins on the second byte of a two-byte character.
int Find(std::string_view text, std::string_view marker);

// As Find, but every byte is a possible start. For texts that are not GBK (UTF-8 page lines), where
// stepping over "two-byte characters" would skip real starts.
int FindBytes(std::string_view text, std::string_view marker);

// The bytes from position start on, at most count of them; empty unless 1 <= start <= length and count > 0.
Text Mid(std::string_view text, long long start, long long count);

// The leading decimal number after blanks and an optional sign; full-width digits (and the full-width
// blank and signs) count; no digits give 0. Saturates at +/- kIntegerLimit instead of overflowing.
inline constexpr long long kIntegerLimit = 999'999'999'999'999LL;
long long IntegerValue(std::string_view text);

// Splits on the exact bytes "<br>": each text before a marker is a piece, even an empty one; the rest
// after the last marker is a piece only when it is not empty. The empty text gives no piece.
std::vector<Text> SplitOnBr(std::string_view text);

// The description box's layout of a text: every piece of SplitOnBr followed by "\r\n".
Text LinesFromBr(std::string_view text);

// Joins with the full-width comma, nothing after the last entry.
Text JoinWithComma(const std::vector<Text>& entries);

// Decimal digits, "-" for negatives, no leading zeros.
Text Decimal(long long n);

// The system's own texts are written as UTF-8 literals in the source; this gives their GBK bytes.
Text Gbk(std::string_view utf8);

}  // namespace quorvane::text
