#include "app/properties_texts.h"

#include <sys/stat.h>

#include <vector>

#include "library/album.h"
#include "library/artist.h"
#include "library/library.h"
#include "library/track.h"
#include "media/read_tags.h"
#include "playback/playback_controller.h"
#include "playlist/track_data.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr const char* kUnknown = "<unknown>";

std::string NameOrUnknown(const std::string& name) { return name.empty() ? std::string(kUnknown) : name; }

std::string NumberUnless(int64_t value, int64_t none) {
  return value == none ? std::string() : std::to_string(value);
}

// Genres in track order, each once ignoring case, as first spelt.
class TGenres {
 public:
  void Add(const TAlbum& album) {
    for (int t = 0; t < album.TrackCount(); ++t) {
      const TTrack& track = *album.Track(t);
      if (track.Genre().empty()) continue;
      bool seen = false;
      for (const std::string& folded : Folded) seen = seen || folded == track.FoldedGenre();
      if (seen) continue;
      Folded.emplace_back(track.FoldedGenre());
      Names.emplace_back(track.Genre());
    }
  }
  std::string Text() const { return Join(Names, ", "); }

 private:
  std::vector<std::string> Folded, Names;
};

bool Mentions(const std::string& text, std::string_view word) {
  return CaseFold(text).find(word) != std::string::npos;
}

}  // namespace

TPropertiesKey TPropertiesKey::Of(const TArtist& artist) { return {pkArtist, {}, artist.FoldedName(), {}}; }

TPropertiesKey TPropertiesKey::Of(const TAlbum& album) {
  return {pkAlbum, {}, album.Artist()->FoldedName(), album.FoldedName()};
}

std::string DisplayLocation(const std::string& path) {
  if (path.find("://") == std::string::npos) return path;
  std::string decoded = DecodePercentBytes(path);
  return IsValidUtf8(decoded) ? decoded : path;
}

TFileProperties FileProperties(const std::string& path, const TMetaData& meta, int64_t fileSize,
                               int32_t errorCode, const std::string& errorText) {
  TFileProperties p;
  p.Title = meta.Title;
  p.Track = NumberUnless(meta.Track, 0);
  p.Album = meta.Album;
  p.Year = NumberUnless(meta.Year, -1);
  p.Genre = meta.Genre;
  p.Length = meta.Length > 0 ? FormatPlayTime(meta.Length) : std::string();
  p.Artist = meta.Artist;
  p.AlbumArtist = meta.AlbumArtist;
  p.Composers = meta.Composer;
  p.Copyright = meta.Copyright;
  p.Comments = meta.Comment;
  p.Publisher = meta.Publisher;
  p.LinkText = p.LinkUrl = meta.URL;
  p.Location = DisplayLocation(path);
  if (fileSize >= 0) p.Size = std::to_string(fileSize / 1024) + " KB";
  TMetaData none;
  ClearMetaData(none);
  p.TrackInfoTab = p.AlbumTab = !MetaDataEquals(meta, none);
  // An expanded playlist or a web page passed over did not fail.
  if (errorCode != 0 && errorCode != prPlaylistExpanded && errorCode != prWebPage) {
    p.ErrorTab = true;
    p.FriendlyError = PlayErrorText(errorCode, errorText);
    p.ErrorCode = std::to_string(errorCode);
    p.AdvancedError = errorText;
    if (Mentions(p.FriendlyError, "codec") || Mentions(p.FriendlyError, "format")) {
      p.LinkText = kCodecLinkText;
      p.LinkUrl = kCodecHelpPage;
      p.LinkIsHelpPage = true;
    }
  }
  return p;
}

TFileProperties ReadFileProperties(const std::string& path, int32_t errorCode, const std::string& errorText) {
  TMetaData meta;
  ReadTags(path, meta, false);
  struct stat st;
  const bool exists =
      path.find("://") == std::string::npos && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  return FileProperties(path, meta, exists ? static_cast<int64_t>(st.st_size) : -1, errorCode, errorText);
}

TGroupProperties ArtistProperties(const TArtist& artist) {
  TGroupProperties p;
  p.Caption = "Artist";
  p.Name = NameOrUnknown(artist.Name());
  TGenres genres;
  int tracks = 0;
  for (int b = 0; b < artist.AlbumCount(); ++b) {
    tracks += artist.Album(b)->TrackCount();
    genres.Add(*artist.Album(b));
  }
  p.Albums = std::to_string(artist.AlbumCount());
  p.Tracks = std::to_string(tracks);
  p.Genres = genres.Text();
  return p;
}

TGroupProperties AlbumProperties(const TAlbum& album) {
  TGroupProperties p;
  p.Caption = "Album";
  p.IsAlbum = true;
  p.Name = NameOrUnknown(album.Name());
  p.Artist = NameOrUnknown(album.Artist()->Name());
  p.Tracks = std::to_string(album.TrackCount());
  TGenres genres;
  genres.Add(album);
  p.Genres = genres.Text();
  return p;
}

std::optional<TGroupProperties> GroupProperties(const TLibrary& library, const TPropertiesKey& key) {
  const int a = key.Kind == TPropertiesKey::pkFile ? -1 : library.FindArtist(key.Artist);
  if (a < 0) return std::nullopt;
  const TArtist& artist = *library.Artist(a);
  if (key.Kind == TPropertiesKey::pkArtist) return ArtistProperties(artist);
  const int b = artist.FindAlbum(key.Album);
  if (b < 0) return std::nullopt;
  return AlbumProperties(*artist.Album(b));
}

}  // namespace tunevale
