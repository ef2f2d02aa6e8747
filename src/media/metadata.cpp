#include "media/metadata.h"

#include <utf8proc.h>

#include "util/path.h"
#include "util/text.h"

namespace tunevale {

void ClearMetaData(TMetaData& meta) {
  const int32_t fileDate = meta.FileDate;
  meta = TMetaData{};
  meta.FileDate = fileDate;
}

bool MetaDataEquals(const TMetaData& a, const TMetaData& b) {
  return a.Title == b.Title && a.Artist == b.Artist && a.AlbumArtist == b.AlbumArtist && a.Album == b.Album &&
         a.Genre == b.Genre && a.Publisher == b.Publisher && a.Composer == b.Composer &&
         a.Copyright == b.Copyright && a.Comment == b.Comment && a.URL == b.URL && a.Track == b.Track &&
         a.Year == b.Year && a.Length == b.Length;
}

namespace {

// True when lower-casing leaves the first character as it is.
bool FirstCharIsNotUpper(std::string_view s) {
  utf8proc_int32_t cp;
  const auto len = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data()),
                                    static_cast<utf8proc_ssize_t>(s.size()), &cp);
  if (len <= 0) return true;
  return utf8proc_tolower(cp) == cp;
}

void TitleCase(std::string& s) {
  bool wordStart = true;
  for (char& c : s) {
    if (wordStart) c = AsciiUpperChar(c);
    wordStart = c == ' ' || c == ',' || c == '-' || c == '/' || c == '\\';
  }
}

}  // namespace

std::string DecodePercentEscapes(std::string_view s) {
  const std::string out = DecodePercentBytes(s);
  // Escaped bytes that do not form UTF-8 are taken as Latin-1.
  return IsValidUtf8(out) ? out : Latin1ToUtf8(out);
}

std::string FileDisplayName(std::string_view path) {
  const bool address = IsUrl(path);
  std::string name;
  if (address) {
    name = DecodePercentEscapes(path);
    const size_t slash = name.rfind('/');
    if (slash != std::string::npos && slash + 1 < name.size()) name = name.substr(slash + 1);
  } else {
    name = DecodePercentEscapes(FileNameWithoutExt(path));
  }
  if (!name.empty() && !address && FirstCharIsNotUpper(name)) TitleCase(name);
  return name;
}

}  // namespace tunevale
