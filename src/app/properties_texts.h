// What a properties window shows, without the window: the texts and tabs
// for a file (a playlist entry with its last error, the entry playing, a
// library track) and for a library artist or album, and the key that keeps
// one window per subject.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "media/metadata.h"

namespace tunevale {

class TAlbum;
class TArtist;
class TLibrary;

// The subject of a window. Files are the same file only with exactly the
// same path; artists and albums follow the library's grouping, which
// ignores case.
struct TPropertiesKey {
  enum TKind : uint8_t { pkFile, pkArtist, pkAlbum };
  TKind Kind = pkFile;
  std::string Path;    // files
  std::string Artist;  // case-folded
  std::string Album;   // case-folded

  static TPropertiesKey File(const std::string& path) { return {pkFile, path, {}, {}}; }
  static TPropertiesKey Of(const TArtist& artist);
  static TPropertiesKey Of(const TAlbum& album);
  bool operator==(const TPropertiesKey&) const = default;
};

struct TFileProperties {
  // Tabs: "Error details" (selected when shown), "Track info", "Album"; "File" always shows.
  bool ErrorTab = false;
  bool TrackInfoTab = false;
  bool AlbumTab = false;
  std::string FriendlyError, ErrorCode, AdvancedError;
  std::string Track, Title, Year, Genre, Artist, Length;
  std::string AlbumArtist, Composers, Publisher, Copyright, Album, Comments;
  std::string Location;
  std::string Size;  // whole kilobytes and " KB"; "" when the file is not there
  // The link below the tabs; hidden when LinkText is "". LinkUrl is an
  // address, or with LinkIsHelpPage one of the program's help pages.
  std::string LinkText, LinkUrl;
  bool LinkIsHelpPage = false;
};

inline constexpr const char* kCodecLinkText =
    "What\xC2\xA0"
    "are\xC2\xA0"
    "codecs?";
inline constexpr const char* kCodecHelpPage = "faq.html#general1";

// The texts for `path` with the tags `meta` read from it and the entry's
// last error (code 0: none). `fileSize` is the file's size, -1 when it is
// not there.
TFileProperties FileProperties(const std::string& path, const TMetaData& meta, int64_t fileSize,
                               int32_t errorCode, const std::string& errorText);
// Reads the tags and the size of `path` now, then FileProperties.
TFileProperties ReadFileProperties(const std::string& path, int32_t errorCode, const std::string& errorText);
// The location as shown: a local path exactly as it is; an address with its
// "%XX" escapes decoded when that gives valid text.
std::string DisplayLocation(const std::string& path);

struct TGroupProperties {
  std::string Caption;   // "Artist" or "Album"
  bool IsAlbum = false;  // albums show their artist and hide the album count
  std::string Name, Artist, Tracks, Albums, Genres;
};

TGroupProperties ArtistProperties(const TArtist& artist);
TGroupProperties AlbumProperties(const TAlbum& album);
// The texts for the artist or album `key` names as the library holds it now;
// none when it has left the library.
std::optional<TGroupProperties> GroupProperties(const TLibrary& library, const TPropertiesKey& key);

}  // namespace tunevale
