#include "app/library_commands.h"

#include "library/album.h"
#include "library/artist.h"
#include "library/track.h"

namespace tunevale {

namespace {

constexpr const char* kAddingTracks = "Adding tracks...";

}  // namespace

TLibraryCommands::TLibraryCommands(TLibrary& library, TPlaylist& playlist, TPlaylistFile& playlistFile,
                                   const TLibrarySettings& settings, TLibraryCommandsHost& host)
    : Library(library), Playlist(playlist), PlaylistFile(playlistFile), Settings(settings), Host(host) {}

int TLibraryCommands::SelectedRow(const TLibraryList& list) {
  const auto carries = [&](int row) { return list.Rows[row].Selected && list.Rows[row].Entry; };
  if (list.FocusedRow >= 0 && list.FocusedRow < list.RowCount() && carries(list.FocusedRow))
    return list.FocusedRow;
  for (int row = 0; row < list.RowCount(); ++row)
    if (carries(row)) return row;
  return -1;
}

TLibrarySelection TLibraryCommands::Selection(const TLibraryList& list) {
  TLibrarySelection s;
  const int row = SelectedRow(list);
  if (row < 0) {
    for (const TLibraryRow& r : list.Rows) s.Row = s.Row || (r.Selected && r.Kind == TRowKind::rkAll);
    return s;
  }
  s.Row = true;
  s.Artist = list.ArtistAt(row);
  s.Album = list.AlbumAt(row);
  s.Track = list.TrackAt(row);
  s.File = s.Track ? s.Track : list.ItemAt(row);
  return s;
}

std::vector<TLibraryCommands::TFile> TLibraryCommands::ListFiles(const TLibraryList& list,
                                                                 bool selectedOnly) {
  std::vector<TFile> files;
  for (int row = 0; row < list.RowCount(); ++row) {
    if (selectedOnly && !list.Rows[row].Selected) continue;
    const TLibraryItem* item = list.Page == lpTracks ? list.TrackAt(row) : list.ItemAt(row);
    if (item) files.push_back({std::string(item->Path()), std::string(item->Name())});
  }
  return files;
}

std::vector<TLibraryCommands::TFile> TLibraryCommands::AlbumFiles(const TAlbum& album) {
  std::vector<TFile> files;
  for (int t = 0; t < album.TrackCount(); ++t)
    files.push_back({std::string(album.Track(t)->Path()), std::string(album.Track(t)->Name())});
  return files;
}

std::vector<TLibraryCommands::TFile> TLibraryCommands::ArtistFiles(const TArtist& artist) {
  std::vector<TFile> files;
  for (int b = 0; b < artist.AlbumCount(); ++b) {
    std::vector<TFile> album = AlbumFiles(*artist.Album(b));
    files.insert(files.end(), std::make_move_iterator(album.begin()), std::make_move_iterator(album.end()));
  }
  return files;
}

void TLibraryCommands::AddEach(const std::vector<TFile>& files, bool replace) {
  TPlaylistBusyScope busy(Playlist, kAddingTracks);
  if (replace) Playlist.DeleteAllRows();
  for (const TFile& file : files) {
    if (Playlist.Cancelled()) break;
    Playlist.AddPlaylistEntry(file.Path, file.Caption);
    Playlist.PumpMessages();
  }
}

void TLibraryCommands::Add(const std::vector<TFile>& files) {
  AddEach(files, false);
  Playlist.ReadTrackInfo(false);
}

void TLibraryCommands::Replace(const std::vector<TFile>& files, int index) {
  AddEach(files, true);
  Playlist.NotifyPlaylistChanged();
  // A cancelled add leaves fewer rows than the list had.
  if (index >= 0 && index < Playlist.Count()) Playlist.PlayEntry(index, true);
  Playlist.ReadTrackInfo(false);
}

void TLibraryCommands::PlayAll(const TLibraryList& list) {
  const int selected = SelectedRow(list);
  if (selected < 0) return;
  int index = 0;  // the selected row's place among the files
  for (int row = 0; row < selected; ++row) index += list.Rows[row].Entry ? 1 : 0;
  const std::vector<TFile> files = ListFiles(list, false);
  const TPlaybackTarget* playback = Playlist.PlaybackTarget();
  if (!Settings.DontSwitchToPlaylist)
    Host.ShowPlaylistPage();
  else if (playback && playback->OpenKind() == mkVideo && playback->State() == psPlaying)
    Host.ShowVideoPage();
  Replace(files, index);
}

void TLibraryCommands::PlaySelected(const TLibraryList& list) {
  Host.ShowPlaylistPage();
  const std::vector<TFile> files = ListFiles(list, true);
  if (!files.empty()) Replace(files, 0);
}

void TLibraryCommands::AddToPlaylist(const TLibraryList& list) { Add(ListFiles(list, true)); }

void TLibraryCommands::PlayArtist(const TArtist& artist) {
  const std::vector<TFile> files = ArtistFiles(artist);
  if (files.empty()) return;
  Host.ShowPlaylistPage();
  Replace(files, 0);
}

void TLibraryCommands::AddArtist(const TArtist& artist) { Add(ArtistFiles(artist)); }

void TLibraryCommands::PlayAlbum(const TAlbum& album) {
  const std::vector<TFile> files = AlbumFiles(album);
  if (files.empty()) return;
  Host.ShowPlaylistPage();
  Replace(files, 0);
}

void TLibraryCommands::AddAlbum(const TAlbum& album) { Add(AlbumFiles(album)); }

void TLibraryCommands::PlayPlaylist(const std::string& path) {
  Host.ShowPlaylistPage();
  PlaylistFile.PlayLibraryPlaylist(path);
}

void TLibraryCommands::DeletePlaylist(const std::string& path) {
  if (!Host.Confirm(kDeletePlaylistQuestion)) return;
  std::string error;
  if (!PlaylistFile.DeletePlaylistFile(path, error)) {
    Host.ShowError("The playlist \"" + path + "\" could not be deleted: " + error);
    return;
  }
  Library.Flags.LibraryDirty = true;
}

}  // namespace tunevale
