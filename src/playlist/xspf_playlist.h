// XSPF playlists: reading the tracks of one (each track's first playable
// location and its title) and writing the playlist as one.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "playlist/playlist_file.h"

namespace tunevale {

struct TXspfTrack {
  std::string Location;  // a path or an address
  std::string Title;     // "" for none
};

// True for a file named ".xspf" (any letter case) or whose root element is
// "playlist" (a remote playlist arrives without its name).
bool IsXspfPlaylist(std::string_view path, std::string_view text);

// The location a <location> value names: a "file://" address as its local
// path, another address as it is, anything else a path (percent escapes
// decoded) relative to `baseFolder` unless absolute.
std::string XspfLocation(std::string_view value, std::string_view baseFolder);

using TXspfTrackHandler = std::function<void(const std::string& location, const std::string& title)>;

// Reads the <track> elements of `text` in order and hands each one's first
// location that hooks.IsPlayable (else IsPlayableLocation) accepts, with its
// title, to `onTrack`; a track with none is dropped. hooks.AfterValue runs
// after each track and hooks.Cancelled is tested after each; hooks.OnEntry is
// not used. A damaged document gives the tracks before the damage.
void ReadXspf(std::string_view text, std::string_view baseFolder, const TPlaylistScanHooks& hooks,
              const TXspfTrackHandler& onTrack);

// The document for `tracks`: paths as absolute "file://" addresses, other
// addresses as they are, a title where one is given, all XML-escaped.
std::string XspfText(const std::vector<TXspfTrack>& tracks);

// "file://" and the absolute form of `path`, every byte but letters, digits,
// "/", "-", ".", "_" and "~" percent-encoded.
std::string FileUrlOfPath(std::string_view path);

}  // namespace tunevale
