// What the library's lists play and add: play all, play selected, add to
// playlist, play or add an artist or an album, and the playlists list's
// play, delete and open-location commands.
//
// Re-entrancy: adding processes pending messages, so the library may change
// meanwhile (list rows may then point at entries that are gone), the user
// may cancel, and the playlist may change. Every command takes the paths it
// adds before the first pump, stops when the playlist's cancel flag rises
// and plays only a row that exists.
#pragma once

#include <string>
#include <vector>

#include "library/library.h"
#include "library/library_search.h"
#include "playlist/playlist.h"
#include "playlist/playlist_file.h"

namespace tunevale {

// What the commands ask of the window. Called on the main thread.
class TLibraryCommandsHost {
 public:
  virtual ~TLibraryCommandsHost() = default;
  virtual void ShowPlaylistPage() = 0;
  virtual void ShowVideoPage() = 0;
  // A yes/no question with the question icon; true for yes.
  virtual bool Confirm(const std::string& question) = 0;
  virtual void ShowError(const std::string& text) = 0;
  // Shows the folder holding a file (for an address: the address up to its last "/").
  virtual void OpenFileLocation(const std::string& fileName) = 0;
};

// What a list's commands act on: the row SelectedRow picks, or "<All>"
// when that is the only selected row.
struct TLibrarySelection {
  bool Row = false;  // a selected row that opens something ("<All>" opens all)
  const TArtist* Artist = nullptr;
  const TAlbum* Album = nullptr;
  const TTrack* Track = nullptr;
  const TLibraryItem* File = nullptr;  // the track, video or playlist file
};

inline constexpr const char* kDeletePlaylistQuestion = "Are you sure want to delete this playlist?";

class TLibraryCommands {
 public:
  TLibraryCommands(TLibrary& library, TPlaylist& playlist, TPlaylistFile& playlistFile,
                   const TLibrarySettings& settings, TLibraryCommandsHost& host);

  // Tracks and videos lists.
  // Replaces the playlist with every row of the list in its order and plays
  // the selected row's entry.
  void PlayAll(const TLibraryList& list);
  // Replaces the playlist with the selected rows and plays the first.
  void PlaySelected(const TLibraryList& list);
  void AddToPlaylist(const TLibraryList& list);

  // Artists and albums: the tracks album by album.
  void PlayArtist(const TArtist& artist);
  void AddArtist(const TArtist& artist);
  void PlayAlbum(const TAlbum& album);
  void AddAlbum(const TAlbum& album);

  // The remote protocol's additions: appended under the busy indicator; the
  // tags are read by its own command.
  void AppendArtist(const TArtist& artist) { AddEach(ArtistFiles(artist), false); }
  void AppendAlbum(const TAlbum& album) { AddEach(AlbumFiles(album), false); }

  // Playlists list.
  void PlayPlaylist(const std::string& path);
  // Asks first; a file that cannot be deleted is reported with the reason.
  void DeletePlaylist(const std::string& path);

  // The file's folder in the file manager.
  void OpenFileLocation(const std::string& fileName) { Host.OpenFileLocation(fileName); }

  // The row the list's commands act on: the focused row when it is
  // selected, else the first selected row; -1 when none carries an entry.
  static int SelectedRow(const TLibraryList& list);
  static TLibrarySelection Selection(const TLibraryList& list);

 private:
  struct TFile {
    std::string Path;
    std::string Caption;
  };
  static std::vector<TFile> ListFiles(const TLibraryList& list, bool selectedOnly);
  static std::vector<TFile> AlbumFiles(const TAlbum& album);
  static std::vector<TFile> ArtistFiles(const TArtist& artist);
  // Adds under the busy indicator until all are in or the user cancels;
  // `replace` empties the playlist first.
  void AddEach(const std::vector<TFile>& files, bool replace);
  void Add(const std::vector<TFile>& files);
  // Replaces the playlist with `files` and plays row `index` if it exists.
  void Replace(const std::vector<TFile>& files, int index);

  TLibrary& Library;
  TPlaylist& Playlist;
  TPlaylistFile& PlaylistFile;
  const TLibrarySettings& Settings;
  TLibraryCommandsHost& Host;
};

}  // namespace tunevale
