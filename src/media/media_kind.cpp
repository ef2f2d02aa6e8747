#include "media/media_kind.h"

#include "util/text.h"

namespace tunevale {

namespace {

constexpr int kBuiltInMusic = std::size(BuiltInMusicExtensions);
constexpr int kBuiltInVideo = std::size(BuiltInVideoExtensions);
constexpr int kBuiltInPlaylist = std::size(BuiltInPlaylistExtensions);

void AppendPieces(std::string_view text, std::vector<std::string>& list) {
  for (const std::string& piece : Split(text, ','))
    if (!piece.empty()) list.push_back(piece);
}

template <typename Seq>
bool ContainsExt(const Seq& seq, std::string_view ext) {
  for (const auto& e : seq)
    if (e == ext) return true;
  return false;
}

void AppendPatterns(std::string& out, const TFileExtensions& ext, int count,
                    std::string_view (TFileExtensions::*at)(int) const) {
  for (int i = 0; i < count; ++i) {
    out += "*.";
    out += (ext.*at)(i);
    out += ';';
  }
}

void AppendPicturePatterns(std::string& out) {
  for (std::string_view e : PictureExtensions) {
    out += "*.";
    out += e;
    out += ';';
  }
}

}  // namespace

std::string MediaExtensionOf(std::string_view fileName) {
  const size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return {};
  const std::string_view rest = fileName.substr(dot + 1);
  if (rest.find_first_of("\\:") != std::string_view::npos) return {};
  return AsciiLower(rest);
}

TMediaKind TFileExtensions::GetFileKind(std::string_view fileName) const {
  const std::string ext = MediaExtensionOf(fileName);
  // Every table is scanned and a later match wins: web page, picture, video,
  // playlist, music in falling priority.
  TMediaKind result = mkUnknown;
  if (ContainsExt(BuiltInMusicExtensions, ext) || ContainsExt(CustomMusic, ext)) result = mkMusic;
  if (ContainsExt(BuiltInPlaylistExtensions, ext) || ContainsExt(CustomPlaylist, ext)) result = mkPlaylist;
  if (ContainsExt(BuiltInVideoExtensions, ext) || ContainsExt(CustomVideo, ext)) result = mkVideo;
  if (ContainsExt(PictureExtensions, ext)) result = mkPicture;
  if (ContainsExt(WebExtensions, ext)) result = mkWebPage;
  return result;
}

void TFileExtensions::Clear() {
  CustomMusic.clear();
  CustomVideo.clear();
  CustomPlaylist.clear();
}

void TFileExtensions::AddCustomMusic(std::string_view ext) {
  if (!ext.empty()) CustomMusic.emplace_back(ext);
}

void TFileExtensions::AddCustomVideo(std::string_view ext) {
  if (!ext.empty()) CustomVideo.emplace_back(ext);
}

void TFileExtensions::AddCustomPlaylist(std::string_view ext) {
  if (!ext.empty()) CustomPlaylist.emplace_back(ext);
}

void TFileExtensions::ApplyCustomExtensions(std::string_view music, std::string_view video,
                                            std::string_view playlist) {
  Clear();
  AppendPieces(music, CustomMusic);
  AppendPieces(video, CustomVideo);
  AppendPieces(playlist, CustomPlaylist);
}

int TFileExtensions::MusicCount() const { return kBuiltInMusic + static_cast<int>(CustomMusic.size()); }

std::string_view TFileExtensions::MusicExtension(int i) const {
  return i < kBuiltInMusic ? BuiltInMusicExtensions[i] : std::string_view(CustomMusic.at(i - kBuiltInMusic));
}

int TFileExtensions::VideoCount() const { return kBuiltInVideo + static_cast<int>(CustomVideo.size()); }

std::string_view TFileExtensions::VideoExtension(int i) const {
  return i < kBuiltInVideo ? BuiltInVideoExtensions[i] : std::string_view(CustomVideo.at(i - kBuiltInVideo));
}

int TFileExtensions::PlaylistCount() const {
  return kBuiltInPlaylist + static_cast<int>(CustomPlaylist.size());
}

std::string_view TFileExtensions::PlaylistExtension(int i) const {
  return i < kBuiltInPlaylist ? BuiltInPlaylistExtensions[i]
                              : std::string_view(CustomPlaylist.at(i - kBuiltInPlaylist));
}

int TFileExtensions::MediaCount() const { return MusicCount() + VideoCount() + PlaylistCount(); }

std::string_view TFileExtensions::MediaExtension(int i) const {
  if (i < MusicCount()) return MusicExtension(i);
  i -= MusicCount();
  if (i < VideoCount()) return VideoExtension(i);
  return PlaylistExtension(i - VideoCount());
}

std::string BuildOpenFilter(const TFileExtensions& ext) {
  std::string f = "All media files|";
  AppendPatterns(f, ext, ext.MediaCount(), &TFileExtensions::MediaExtension);
  AppendPicturePatterns(f);
  f += "|Music|";
  AppendPatterns(f, ext, ext.MusicCount(), &TFileExtensions::MusicExtension);
  f += "|Video|";
  AppendPatterns(f, ext, ext.VideoCount(), &TFileExtensions::VideoExtension);
  f += "|Pictures|";
  AppendPicturePatterns(f);
  f += "|Playlists|";
  AppendPatterns(f, ext, ext.PlaylistCount(), &TFileExtensions::PlaylistExtension);
  f += "|All files|*.*";
  return f;
}

}  // namespace tunevale
