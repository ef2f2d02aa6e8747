// What the desktop media controls show of the player: the properties of the
// root and Player interfaces as plain values, read from the player at once,
// so that two readings tell which properties changed. Position is read
// apart: it changes all the time and is never announced.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

class TPlayer;
struct TTrackData;

inline constexpr std::string_view NoTrackId = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

// The now-playing entry. Empty texts and zero numbers are left out.
struct TMprisMetadata {
  std::string TrackId;  // an object path; NoTrackId without an entry
  int64_t LengthUs = 0;
  std::string Title, Artist, AlbumArtist, Album, Genre;
  int32_t TrackNumber = 0;
  std::string Location;  // the entry's path or address as added
  bool operator==(const TMprisMetadata&) const = default;
};

struct TMprisState {
  std::string PlaybackStatus;  // "Playing", "Paused", "Stopped"
  std::string LoopStatus;      // "None", "Track", "Playlist"
  double Volume = 0;
  TMprisMetadata Metadata;
  bool CanGoNext = false;
  bool CanGoPrevious = false;
  bool CanPlay = false;
  bool CanPause = false;
  bool CanSeek = false;
  std::vector<std::string> Extensions;  // of every kind the player opens
  bool operator==(const TMprisState&) const = default;
};

enum TMprisInterface { miRoot, miPlayer };

struct TMprisProperty {
  TMprisInterface Interface;
  std::string_view Name;
};

// The properties whose values differ between two readings.
std::vector<TMprisProperty> ChangedProperties(const TMprisState& before, const TMprisState& after);

class TMprisStateReader {
 public:
  // The now-playing entry keeps its track id while it stays the now-playing
  // entry, also when rows move; another entry, or the same file added
  // again, gets a new one. So a client's id goes stale with its entry.
  TMprisState Read(TPlayer& player);

 private:
  TMprisMetadata ReadMetadata(TPlayer& player, bool active);

  std::weak_ptr<const TTrackData> Entry;
  std::string EntryId;
  uint64_t Serial = 0;
};

}  // namespace tunevale
