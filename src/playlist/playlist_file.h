// Playlist files: one tolerant line scanner for every playlist kind (M3U,
// PLS, ASX, WVX, WPL and custom ones) but XSPF (xspf_playlist.h), remote
// playlists, and saving as M3U or XSPF.
//
// The scanner does not parse any format. On each line it takes the text
// after an "=" or between double quotes, makes it a location (relative to the
// playlist's folder unless absolute) and keeps those naming an existing file
// or an internet address. A location equal to the previous one kept is
// dropped, so the attributes of one XML element add their file once.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "util/http_client.h"

namespace tunevale {

class TPlaylist;
class TCrawlTasks;
class TRuntime;

// A playlist file that cannot be read or written.
class EPlaylistFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct TPlaylistScanHooks {
  // Whether a location is worth an entry (IsPlayableLocation by default).
  std::function<bool(const std::string& location)> IsPlayable;
  // Each location kept, in order.
  std::function<void(const std::string& location)> OnEntry;
  // After each value (the message pump of a long scan).
  std::function<void()> AfterValue;
  // Tested after each line; true ends the scan.
  std::function<bool()> Cancelled;
};

// Scans playlist bytes. `baseFolder` is the folder relative values are taken
// from (a trailing "/" is added when missing).
void ScanPlaylistText(std::string_view text, std::string_view baseFolder, const TPlaylistScanHooks& hooks);
// The locations a scan keeps.
std::vector<std::string> ScanPlaylistText(std::string_view text, std::string_view baseFolder);

// The location a value names: "file://" addresses become local paths; a value
// beginning with "/" or holding ":" is absolute; any other is relative to
// `baseFolder`, with "\" read as "/".
std::string PlaylistValueLocation(std::string_view value, std::string_view baseFolder);

// An existing file (not a folder), or an address beginning with "http:",
// "ftp:", "rtsp:" or "mms:" in any letter case.
bool IsPlayableLocation(const std::string& text);

// The local path of a "file://" address (percent escapes decoded), or the
// text unchanged when it is none.
std::string LocalPathOfFileUrl(std::string_view text);

class TPlaylistFile {
 public:
  // `dataFolder` is the program's data folder (it holds the library file);
  // remote playlists are downloaded to "Download/Playlist.tmp" in it.
  TPlaylistFile(TPlaylist& playlist, THttpClient& http, TRuntime& runtime, TCrawlTasks& crawlTasks,
                std::string dataFolder);

  // Replaces the playlist by the entries of a playlist file or address and
  // reads their tags. Throws EPlaylistFileError when a local file cannot be
  // read: anything but a regular file of at most MaxPlaylistBytes. An address
  // not fetched completely with a 2xx answer within the download limits, or
  // whose download was cancelled, leaves the playlist as it is and gives
  // false: nothing may follow, such as playing the first row, which may be
  // this very address again. True otherwise.
  //
  // Re-entrancy: the download is a long operation under the busy indicator;
  // messages are handled while it runs, and the playlist's cancel flag (the
  // indicator's Cancel, a close of the player) ends it at once.
  bool OpenPlaylistFile(const std::string& path);

  // Writes every entry's FileName as a CR LF line (as XSPF with the row
  // captions as titles when the name ends in ".xspf"), then queues a re-read
  // of the file's folder so the library lists the playlist. Throws
  // EPlaylistFileError when the file cannot be written.
  void WritePlaylistFile(const std::string& path);

  // "Play this playlist" on the library's playlist list: replaces the
  // playlist by the file's entries and plays the first.
  void PlayLibraryPlaylist(const std::string& path);
  // "Delete playlist" once the user confirmed: deletes the file and queues a
  // check of its folder so the library forgets it (also when the file was
  // gone already). False with the reason in `error` when the file could not
  // be deleted; nothing is queued then.
  bool DeletePlaylistFile(const std::string& path, std::string& error);

  // The largest playlist read, local or remote.
  static constexpr size_t MaxPlaylistBytes = 16 * 1024 * 1024;
  // What a remote playlist's download may take.
  THttpLimits DownloadLimits{.MaxBytes = MaxPlaylistBytes, .TimeLimitMs = 60000};

 private:
  TPlaylist& Playlist;
  THttpClient& Http;
  TRuntime& Runtime;
  TCrawlTasks& CrawlTasks;
  std::string DataFolder;
};

}  // namespace tunevale
