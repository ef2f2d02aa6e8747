#include "app/settings_values.h"

#include <cmath>
#include <cstdio>

#include "util/text.h"

namespace tunevale {

namespace {

struct TColourName {
  int32_t Value;
  std::string_view Name;
};

constexpr int32_t SystemColour(int index) {
  return static_cast<int32_t>(0xFF000000u | static_cast<uint32_t>(index));
}

constexpr TColourName ColourNames[] = {
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {0x1FFFFFFF, "clNone"},
    {0x20000000, "clDefault"},
    {SystemColour(0), "clScrollBar"},
    {SystemColour(1), "clBackground"},
    {SystemColour(2), "clActiveCaption"},
    {SystemColour(3), "clInactiveCaption"},
    {SystemColour(4), "clMenu"},
    {SystemColour(5), "clWindow"},
    {SystemColour(6), "clWindowFrame"},
    {SystemColour(7), "clMenuText"},
    {SystemColour(8), "clWindowText"},
    {SystemColour(9), "clCaptionText"},
    {SystemColour(10), "clActiveBorder"},
    {SystemColour(11), "clInactiveBorder"},
    {SystemColour(12), "clAppWorkSpace"},
    {SystemColour(13), "clHighlight"},
    {SystemColour(14), "clHighlightText"},
    {SystemColour(15), "clBtnFace"},
    {SystemColour(16), "clBtnShadow"},
    {SystemColour(17), "clGrayText"},
    {SystemColour(18), "clBtnText"},
    {SystemColour(19), "clInactiveCaptionText"},
    {SystemColour(20), "clBtnHighlight"},
    {SystemColour(21), "cl3DDkShadow"},
    {SystemColour(22), "cl3DLight"},
    {SystemColour(23), "clInfoText"},
    {SystemColour(24), "clInfoBk"},
    {SystemColour(26), "clHotLight"},
    {SystemColour(27), "clGradientActiveCaption"},
    {SystemColour(28), "clGradientInactiveCaption"},
    {SystemColour(29), "clMenuHighlight"},
    {SystemColour(30), "clMenuBar"},
};

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int64_t>(yoe) + era * 400 + (m <= 2);
}

constexpr int64_t UnixEpochDay = 25569;  // 1970-01-01 counted from 1899-12-30
constexpr int64_t MsPerDay = 86400000;

bool Digits(std::string_view s, size_t pos, size_t count, int& value) {
  if (pos + count > s.size()) return false;
  value = 0;
  for (size_t i = pos; i < pos + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

}  // namespace

std::optional<uint32_t> ParseHex(std::string_view digits) {
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  uint32_t value = 0;
  for (const char c : digits) {
    const int d = HexDigitValue(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return value;
}

std::string ColourToText(int32_t colour) {
  for (const TColourName& entry : ColourNames)
    if (entry.Value == colour) return std::string(entry.Name);
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<uint32_t>(colour));
  return buf;
}

std::optional<int32_t> ColourFromText(std::string_view text) {
  for (const TColourName& entry : ColourNames)
    if (entry.Name.size() == text.size() && AsciiLower(entry.Name) == AsciiLower(text)) return entry.Value;
  std::optional<uint32_t> hex;
  if (StartsWith(text, "$"))
    hex = ParseHex(text.substr(1));
  else if (StartsWith(text, "0x") || StartsWith(text, "0X"))
    hex = ParseHex(text.substr(2));
  else
    return ParseInt32(text);
  if (!hex) return std::nullopt;
  return static_cast<int32_t>(*hex);
}

std::string DateTimeToText(double days) {
  if (!std::isfinite(days) || days < -693593.0 || days > 2958465.0) days = 0;  // outside years 1..9999
  const int64_t ms = static_cast<int64_t>(std::floor(days * MsPerDay + 0.5));
  int64_t day = ms / MsPerDay;
  int64_t rest = ms % MsPerDay;
  if (rest < 0) {
    rest += MsPerDay;
    --day;
  }
  int64_t y;
  unsigned m, d;
  CivilFromDays(day - UnixEpochDay, y, m, d);
  const int64_t seconds = rest / 1000;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld", static_cast<long long>(y), m, d,
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return buf;
}

std::optional<double> DateTimeFromText(std::string_view text) {
  int y, m, d, hh = 0, mm = 0, ss = 0;
  if (!Digits(text, 0, 4, y) || text.size() < 10 || text[4] != '-' || !Digits(text, 5, 2, m) ||
      text[7] != '-' || !Digits(text, 8, 2, d))
    return std::nullopt;
  if (text.size() > 10) {
    if ((text[10] != ' ' && text[10] != 'T') || !Digits(text, 11, 2, hh) || text.size() < 16 ||
        text[13] != ':' || !Digits(text, 14, 2, mm))
      return std::nullopt;
    if (text.size() > 16 && (text.size() != 19 || text[16] != ':' || !Digits(text, 17, 2, ss)))
      return std::nullopt;
  }
  if (y < 1 || m < 1 || m > 12 || d < 1 || hh > 23 || mm > 59 || ss > 59) return std::nullopt;
  unsigned nm, nd;
  int64_t ny;
  const int64_t day = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
  CivilFromDays(day, ny, nm, nd);
  if (nd != static_cast<unsigned>(d)) return std::nullopt;  // 31 April and the like
  return static_cast<double>(day + UnixEpochDay) + (hh * 3600 + mm * 60 + ss) / 86400.0;
}

}  // namespace tunevale
