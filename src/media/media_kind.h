// Media kinds by file extension: built-in tables plus the user's custom lists.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

enum TMediaKind : uint8_t {
  mkUnknown = 0,
  mkMusic = 1,
  mkVideo = 2,
  mkPlaylist = 3,
  mkPicture = 4,
  // 5 is never produced
  mkWebPage = 6,
};

inline constexpr std::string_view BuiltInMusicExtensions[] = {"wav", "mp3",  "wma", "mid", "mod", "ogg",
                                                              "oga", "flac", "umx", "ape", "opus"};
inline constexpr std::string_view BuiltInVideoExtensions[] = {"avi", "amv", "wmv", "mpg", "mpeg",
                                                             "mp4", "m4a", "3gp", "mov", "ogm",
                                                             "ogv", "rm", "rmvb", "flv", "dvr-ms"};
inline constexpr std::string_view BuiltInPlaylistExtensions[] = {"m3u", "wpl", "asx", "wvx", "pls", "xspf"};
inline constexpr std::string_view PictureExtensions[] = {"bmp", "jpg", "gif", "tga"};
inline constexpr std::string_view WebExtensions[] = {"htm", "html", "xml", "php"};

// The extension tables: built-in entries followed by the custom ones. One
// instance lives for the whole process; it is passed to whoever needs it.
class TFileExtensions {
 public:
  TMediaKind GetFileKind(std::string_view fileName) const;

  void Clear();
  void AddCustomMusic(std::string_view ext);
  void AddCustomVideo(std::string_view ext);
  void AddCustomPlaylist(std::string_view ext);
  // Rebuilds the custom lists from the three comma-separated settings texts.
  // Pieces are taken as they are (no trimming, no case change); empty ones add nothing.
  void ApplyCustomExtensions(std::string_view music, std::string_view video, std::string_view playlist);

  int MusicCount() const;
  std::string_view MusicExtension(int i) const;
  int VideoCount() const;
  std::string_view VideoExtension(int i) const;
  int PlaylistCount() const;
  std::string_view PlaylistExtension(int i) const;
  // Music, then video, then playlist sequences.
  int MediaCount() const;
  std::string_view MediaExtension(int i) const;

 private:
  std::vector<std::string> CustomMusic;
  std::vector<std::string> CustomVideo;
  std::vector<std::string> CustomPlaylist;
};

// The open dialog's filter: "description|patterns" pairs joined by "|".
std::string BuildOpenFilter(const TFileExtensions& extensions);

// The lower-cased extension of a name without its dot as GetFileKind sees it.
std::string MediaExtensionOf(std::string_view fileName);

}  // namespace tunevale
