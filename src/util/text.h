// Text helpers. Every text in the program is UTF-8; texts from files in other
// encodings are converted here. Nothing here knows about Qt or GStreamer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

bool IsValidUtf8(std::string_view s);
bool HasNonAscii(std::string_view s);

std::string Latin1ToUtf8(std::string_view s);
// Bytes that already form valid UTF-8 with a non-ASCII character stay as they
// are (many taggers write UTF-8 where Latin-1 is declared); others are Latin-1.
std::string Latin1OrUtf8(std::string_view s);

// Decodes `units` UTF-16 code units from `bytes`. Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const uint8_t* bytes, size_t units, bool bigEndian);
void AppendUtf8(std::string& out, char32_t cp);

// Removes every character below 33 (blank and control characters) at both ends.
std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);

std::string AsciiLower(std::string_view s);
std::string AsciiUpper(std::string_view s);
inline char AsciiLowerChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
inline char AsciiUpperChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

// Unicode case folding for "ignoring case" comparisons; bytes that are not
// valid UTF-8 are kept as they are.
std::string CaseFold(std::string_view s);
void CaseFoldAppend(std::string& out, std::string_view s);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// A whole text that is a valid decimal 32-bit integer (optional sign, no blanks).
std::optional<int32_t> ParseInt32(std::string_view s);
// ParseInt32, or `fallback` when the text is not a valid integer.
int32_t StrToIntDef(std::string_view s, int32_t fallback);

bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);

// Splits at every `sep`; empty pieces are kept.
std::vector<std::string> Split(std::string_view s, char sep);
std::string Join(const std::vector<std::string>& parts, std::string_view sep);

// The value of a hexadecimal digit (either case), or -1.
int HexDigitValue(char c);
// Decodes %XX escapes (two hexadecimal digits give one byte) to raw bytes.
std::string DecodePercentBytes(std::string_view s);

// "H:mm:ss" without a leading hour zero; hours do not wrap at a day and a
// negative time is 0. The second form writes into `out` (at most 24 bytes
// are needed) and returns the length.
std::string FormatPlayTime(int64_t ms);
size_t FormatPlayTime(int64_t ms, char* out, size_t size);

// Cuts `s` to at most `maxBytes` bytes without splitting a UTF-8 character.
std::string_view CutUtf8(std::string_view s, size_t maxBytes);

}  // namespace tunevale
