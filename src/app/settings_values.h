// Text forms of the typed settings values: colours of the tweaks and the
// date-time of "LastUpdateCheck".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tunevale {

// Colours are 0x00BBGGRR values; the high byte marks the special values.
inline constexpr int32_t clBlack = 0x000000;
inline constexpr int32_t clWhite = 0xFFFFFF;
inline constexpr int32_t clNone = 0x1FFFFFFF;  // "not set"

// The colour's identifier ("clWhite", "clNone", "clBlack", ...) when it has
// one, otherwise "$" and eight upper-case hexadecimal digits.
std::string ColourToText(int32_t colour);
// Accepts an identifier (ignoring case), "$" or "0x" with up to eight
// hexadecimal digits, or a decimal 32-bit number; nothing for anything else
// (the empty text included).
std::optional<int32_t> ColourFromText(std::string_view text);

// One to eight hexadecimal digits (either case) as a number.
std::optional<uint32_t> ParseHex(std::string_view digits);

// Date-times are days since 1899-12-30 with the time of day as the fraction.
// The text is "YYYY-MM-DD HH:MM:SS" (seconds truncated), whatever the locale.
std::string DateTimeToText(double days);
// Accepts "YYYY-MM-DD", optionally followed by " " or "T" and "HH:MM" or
// "HH:MM:SS"; years 1 to 9999. Nothing for anything else.
std::optional<double> DateTimeFromText(std::string_view text);

}  // namespace tunevale
