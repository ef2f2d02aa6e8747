// The media library: artists → albums → tracks grouped by the album artist
// and album tags, plus flat lists of videos and playlists. Everything keeps
// insertion order (the views sort). Paths are kept as given and compared
// exactly; artist and album names compare ignoring case (Unicode folding).
//
// Re-entrancy: long operations elsewhere (load, crawl, refill) process
// pending messages between items, so user actions may read or change the
// library in the middle of them. Callers re-read counts on every step;
// pointers to tracks stay valid until the track is removed.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "library/album.h"
#include "library/artist.h"
#include "library/crawl_tasks.h"
#include "library/library_item.h"
#include "library/library_items.h"
#include "library/library_settings.h"
#include "library/path_index.h"
#include "library/track.h"
#include "library/track_arena.h"
#include "media/track_lookup.h"

namespace tunevale {

struct TTrackPosition {
  int Artist = -1;
  int Album = -1;
  int Track = -1;
  bool Found() const { return Track >= 0; }
};

class TLibrary : public TTrackLookup {
 public:
  // `settings` is read at every use (the settings dialog may change it);
  // `programFolder` resolves relative library folders.
  TLibrary(const TLibrarySettings& settings, std::string programFolder);
  ~TLibrary() override;
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;

  int ArtistCount() const { return static_cast<int>(Artists.size()); }
  TArtist* Artist(int index) const { return Artists[static_cast<size_t>(index)].get(); }
  // Index of the artist with this name ignoring case, or -1.
  int FindArtist(std::string_view name) const;
  // The artist with this name ignoring case; appended when there is none.
  TArtist* AddArtist(std::string_view name);

  // Where the track with exactly this path sits; all -1 when absent.
  TTrackPosition FindTrack(std::string_view path) const;
  // NormalizePath, then the exact lookup; null when absent.
  TTrack* FindTrackByPath(std::string_view path) const;
  // The track stored under exactly `path`, already normalised.
  TTrack* TrackOfPath(std::string_view path) const;
  // Takes the track: removes any track with the same path, files it under its
  // album artist and album (created as needed) and marks the library changed.
  TTrack* AddTrack(TTrackPtr track);
  // Destroys the track and closes the gap; its album and artist stay, even empty.
  void RemoveTrack(int artist, int album, int track);
  // Destroys every album without tracks, then every artist without albums.
  void RemoveEmpty();
  void ClearArtists();
  // ClearArtists and empties the videos and playlists.
  void Clear();
  // Takes over what a database load built in `loaded` (a library of its own,
  // filled on another thread; this one never loaded before): its tree, lists, changed flag, damaged-file
  // note and queued crawl tasks; then sets Loaded. Anything filed here
  // meanwhile is filed again on top. `loaded` is left with the remains.
  void TakeLoaded(TLibrary& loaded);
  // Number of tracks in the whole tree.
  size_t TrackCount() const { return Paths.Size(); }
  // Makes room for `count` tracks in the lookups (before adding many).
  void ReserveTracks(size_t count) { Paths.Reserve(count); }
  // A track of this path is about to be added: its look-up's memory is asked for early.
  void PrefetchTrack(std::string_view path) const { Paths.Prefetch(path); }

  // `path` lies in some "LibraryFolders" entry resolved against the program's
  // folder (by whole path components, IsPathInFolder).
  bool IsInLibraryFolders(std::string_view path) const;
  // The "LibraryFolders" entries resolved, for a check made many times over
  // on another thread (the database load).
  std::vector<std::string> ResolvedLibraryFolders() const;
  // True until the library is Loaded; then whether the normalised path is a
  // track (when `includeTracks`), a video or a playlist.
  bool Contains(std::string_view path, bool includeTracks) const;
  // Re-derives every item's Relative flag after the library folders changed.
  void UpdateRelativeFlags();

  // A library folder entry resolved against the program's folder.
  std::string ResolveFolder(std::string_view entry) const;
  const TLibrarySettings& Settings() const { return LibrarySettings; }
  const std::string& ProgramFolder() const { return Folder; }

  // Memory for tracks made in bulk (the database load): TTrack::Create's arena.
  // Released once no track of it is left in the library (RemoveEmpty, ClearArtists).
  TTrackArena& BulkArena() { return Arena; }

  // TTrackLookup: exact path, for ReadTags' from-library branch.
  bool LookupTrack(std::string_view path, TMetaData& meta, uint8_t& readResult) const override;

  // A crawl task runs or is queued, or the last run was cancelled: a save now
  // marks the file incomplete, so the next start crawls everything.
  bool CrawlUnfinished() const { return Flags.CancelCrawl || Crawling || CrawlTasks.Count() > 0; }

  TLibraryFlags Flags;
  // The file last saved carries the incomplete mark.
  bool SavedIncomplete = false;
  // A database file the load found damaged, until a save has kept a copy of it.
  std::string DamagedDbPath;
  bool Crawling = false;  // a crawl task is running
  bool Loaded = false;    // the database load has finished (found or not)
  bool Loading = false;   // a database load is under way; saves wait for its end
  // Status of the library's busy indicator ("Loading library...", ...); empty when hidden.
  std::string BusyText;
  TCrawlTasks CrawlTasks{&Crawling};
  TLibraryItems Playlists{Flags};
  TLibraryItems Videos{Flags};

 private:
  friend class TArtist;
  friend class TAlbum;
  struct TResolvedFolder {
    std::string Resolved;
    bool Relative;
  };
  const std::vector<TResolvedFolder>& ResolvedFolders() const;
  TArtist* AddArtistFolded(std::string_view name, std::string_view folded);
  void NoteAlbumCreated(TAlbum* album);
  void NoteAlbumDestroyed(TAlbum* album);
  void NoteTrackAdded(TTrack* track) {
    Paths.Insert(track);
    ArenaTracks += track->InArena;
  }
  void NoteTrackRemoved(TTrack* track) {
    Paths.Erase(track);
    ArenaTracks -= track->InArena;
  }
  void ReleaseUnusedArena();
  TTrackPosition PositionOf(const TTrack* track) const;

  const TLibrarySettings& LibrarySettings;
  std::string Folder;
  TTrackArena Arena;  // before Artists: outlives the tracks placed in it
  size_t ArenaTracks = 0;
  std::vector<std::unique_ptr<TArtist>> Artists;
  std::unordered_map<std::string_view, TArtist*> ArtistsByName;        // folded name → artist
  std::unordered_map<std::string, std::vector<TAlbum*>> AlbumsByName;  // folded name → namesakes
  TPathIndex Paths;                                                    // every track
  // Cache of the resolved library folders, rebuilt when the entries change.
  mutable std::vector<std::string> CachedEntries;
  mutable std::vector<TResolvedFolder> CachedFolders;
};

}  // namespace tunevale
