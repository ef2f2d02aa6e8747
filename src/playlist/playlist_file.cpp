#include "playlist/playlist_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "library/crawl_tasks.h"
#include "playlist/playlist.h"
#include "playlist/xspf_playlist.h"
#include "util/atomic_file.h"
#include "util/http_client.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

const std::string OpeningPlaylist = "Opening playlist...";

bool StartsWithIgnoringCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && AsciiLower(s.substr(0, prefix.size())) == prefix;
}

}  // namespace

std::string LocalPathOfFileUrl(std::string_view text) {
  if (!StartsWithIgnoringCase(text, "file://")) return std::string(text);
  std::string_view rest = text.substr(7);
  if (StartsWithIgnoringCase(rest, "localhost/")) rest.remove_prefix(9);
  // "file://host/..." names another machine: left as it is.
  if (rest.empty() || rest.front() != '/') return std::string(text);
  // A path names the bytes on disk: unlike a shown name nothing is re-encoded.
  return DecodePercentBytes(rest);
}

std::string PlaylistValueLocation(std::string_view value, std::string_view baseFolder) {
  if (StartsWithIgnoringCase(value, "file://")) return LocalPathOfFileUrl(value);
  if ((!value.empty() && value.front() == '/') || value.find(':') != std::string_view::npos)
    return std::string(value);
  // No base folder (a playlist named without one): the value stays relative.
  std::string location = baseFolder.empty() ? std::string() : IncludeTrailingSlash(baseFolder);
  const size_t start = location.size();
  location += value;
  for (size_t i = start; i < location.size(); ++i)
    if (location[i] == '\\') location[i] = '/';
  return location;
}

bool IsPlayableLocation(const std::string& text) {
  // A path with a zero byte would name a different file to the system.
  if (text.empty() || text.find('\0') != std::string::npos) return false;
  for (std::string_view scheme : {"http:", "https:", "ftp:", "rtsp:", "mms:"})
    if (StartsWithIgnoringCase(text, scheme)) return true;
  struct stat st;
  return stat(text.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

void ScanPlaylistText(std::string_view text, std::string_view baseFolder, const TPlaylistScanHooks& hooks) {
  std::string last;
  bool haveLast = false;
  while (!text.empty()) {
    // A line ends at LF, CR or CR LF.
    const size_t end = text.find_first_of("\r\n");
    std::string_view rest = text.substr(0, end);
    if (end == std::string_view::npos) {
      text = {};
    } else {
      const size_t next = (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? end + 2 : end + 1;
      text.remove_prefix(next);
    }
    // Every pass consumes at least one character or the whole rest, so a line ends.
    while (!rest.empty()) {
      const size_t equals = rest.find('=');
      if (equals != std::string_view::npos) rest.remove_prefix(equals + 1);
      std::string_view value;
      const size_t open = rest.find('"');
      if (open != std::string_view::npos) {
        rest.remove_prefix(open + 1);
        const size_t close = rest.find('"');
        value = rest.substr(0, close);
        rest = close == std::string_view::npos ? std::string_view() : rest.substr(close + 1);
      } else {
        value = rest;
        rest = {};
      }
      std::string location = PlaylistValueLocation(value, baseFolder);
      const bool playable = hooks.IsPlayable ? hooks.IsPlayable(location) : IsPlayableLocation(location);
      if (playable && !(haveLast && location == last)) {
        last = location;
        haveLast = true;
        if (hooks.OnEntry) hooks.OnEntry(location);
      }
      if (hooks.AfterValue) hooks.AfterValue();
    }
    if (hooks.Cancelled && hooks.Cancelled()) break;
  }
}

std::vector<std::string> ScanPlaylistText(std::string_view text, std::string_view baseFolder) {
  std::vector<std::string> entries;
  TPlaylistScanHooks hooks;
  hooks.OnEntry = [&](const std::string& location) { entries.push_back(location); };
  ScanPlaylistText(text, baseFolder, hooks);
  return entries;
}

TPlaylistFile::TPlaylistFile(TPlaylist& playlist, THttpClient& http, TRuntime& runtime,
                             TCrawlTasks& crawlTasks, std::string dataFolder)
    : Playlist(playlist),
      Http(http),
      Runtime(runtime),
      CrawlTasks(crawlTasks),
      DataFolder(std::move(dataFolder)) {}

bool TPlaylistFile::OpenPlaylistFile(const std::string& pathOrUrl) {
  const std::string path = LocalPathOfFileUrl(pathOrUrl);
  if (IsUrl(path)) {
    std::optional<THttpResponse> response;
    {
      TPlaylistBusyScope busy(Playlist, OpeningPlaylist);
      response = Download(Http, Runtime, path, DownloadLimits, [this] { return Playlist.Cancelled(); });
    }
    // An error page, a broken or cancelled transfer is no playlist: keep the rows.
    if (!response || !response->Ok()) return false;
    const std::string folder = IncludeTrailingSlash(DataFolder) + "Download";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string temporary = folder + "/Playlist.tmp";
    std::string error;
    if (!WriteFileAtomically(temporary, response->Body, &error))
      throw EPlaylistFileError("Cannot write \"" + temporary + "\": " + error);
    return OpenPlaylistFile(temporary);
  }

  std::string text;
  if (!ReadRegularFile(path, MaxPlaylistBytes, text))
    throw EPlaylistFileError("Cannot open the playlist \"" + path + "\".");
  Playlist.DeleteAllRows();
  {
    TPlaylistBusyScope busy(Playlist, OpeningPlaylist);
    TPlaylistScanHooks hooks;
    hooks.OnEntry = [&](const std::string& location) { Playlist.AddPlaylistEntry(location); };
    hooks.AfterValue = [&] { Playlist.PumpMessages(); };
    hooks.Cancelled = [&] { return Playlist.Cancelled(); };
    if (IsXspfPlaylist(path, text))
      ReadXspf(text, ExtractFilePath(path), hooks,
               [&](const std::string& location, const std::string& title) {
                 Playlist.AddPlaylistEntry(location, title);
               });
    else
      ScanPlaylistText(text, ExtractFilePath(path), hooks);
  }
  Playlist.ReadTrackInfo(false);
  return true;
}

void TPlaylistFile::WritePlaylistFile(const std::string& path) {
  std::string content;
  if (AsciiLower(ExtractFileExt(path)) == ".xspf") {
    std::vector<TXspfTrack> tracks;
    for (int i = 0; i < Playlist.Count(); ++i)
      tracks.push_back({Playlist.Row(i).Data->FileName, Playlist.Row(i).Caption});
    content = XspfText(tracks);
  } else {
    for (int i = 0; i < Playlist.Count(); ++i) {
      content += Playlist.Row(i).Data->FileName;
      content += "\r\n";
    }
  }
  std::string error;
  if (!WriteFileAtomically(path, content, &error))
    throw EPlaylistFileError("Cannot write the playlist \"" + path + "\": " + error);
  // Re-read (not recursively) so the library lists the saved playlist.
  CrawlTasks.AddTask(ExtractFileDir(path), false, false, true);
}

void TPlaylistFile::PlayLibraryPlaylist(const std::string& path) {
  OpenPlaylistFile(path);
  Playlist.PlayEntry(0, true);
}

bool TPlaylistFile::DeletePlaylistFile(const std::string& path, std::string& error) {
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
    error = std::strerror(errno);
    return false;
  }
  CrawlTasks.AddTask(ExtractFileDir(path), false, false, false);
  return true;
}

}  // namespace tunevale
