#include "library/library.h"

#include <algorithm>

#include "util/path.h"
#include "util/text.h"

namespace tunevale {

TLibrary::TLibrary(const TLibrarySettings& settings, std::string programFolder)
    : LibrarySettings(settings), Folder(std::move(programFolder)) {}

TLibrary::~TLibrary() = default;

int TLibrary::FindArtist(std::string_view name) const {
  const auto it = ArtistsByName.find(CaseFold(name));
  return it == ArtistsByName.end() ? -1 : it->second->Position;
}

TArtist* TLibrary::AddArtist(std::string_view name) { return AddArtistFolded(name, CaseFold(name)); }

TArtist* TLibrary::AddArtistFolded(std::string_view name, std::string_view folded) {
  const auto it = ArtistsByName.find(folded);
  if (it != ArtistsByName.end()) return it->second;
  Artists.push_back(std::unique_ptr<TArtist>(new TArtist(this, name, std::string(folded))));
  TArtist* artist = Artists.back().get();
  artist->Position = static_cast<int>(Artists.size()) - 1;
  ArtistsByName.emplace(artist->Folded, artist);
  return artist;
}

TTrackPosition TLibrary::PositionOf(const TTrack* track) const {
  TTrackPosition pos;
  const TAlbum* album = track->Album();
  const TArtist* artist = album->Artist();
  pos.Artist = artist->Position;
  for (int i = 0; i < artist->AlbumCount(); ++i)
    if (artist->Album(i) == album) pos.Album = i;
  for (int i = album->TrackCount(); i-- > 0;)
    if (album->Track(i) == track) pos.Track = i;
  return pos;
}

TTrackPosition TLibrary::FindTrack(std::string_view path) const {
  const auto* track = static_cast<const TTrack*>(Paths.Find(path));
  return track ? PositionOf(track) : TTrackPosition{};
}

TTrack* TLibrary::FindTrackByPath(std::string_view path) const { return TrackOfPath(NormalizePath(path)); }

TTrack* TLibrary::TrackOfPath(std::string_view path) const { return static_cast<TTrack*>(Paths.Find(path)); }

TTrack* TLibrary::AddTrack(TTrackPtr track) {
  const TTrackPosition old = FindTrack(track->Path());
  if (old.Found()) RemoveTrack(old.Artist, old.Album, old.Track);
  TArtist* artist = AddArtistFolded(track->AlbumArtist(), track->FoldedAlbumArtist());
  TAlbum* album = artist->AddAlbumFolded(track->AlbumName(), track->FoldedAlbumName());
  TTrack* added = album->AddTrack(std::move(track), true);
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
  return added;
}

void TLibrary::RemoveTrack(int artist, int album, int track) {
  TTrackPtr removed = Artist(artist)->Album(album)->TakeTrack(track);
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
}

void TLibrary::RemoveEmpty() {
  for (auto& artist : Artists) {
    auto& albums = artist->Albums;
    for (auto& album : albums)
      if (album->Tracks.empty()) {
        NoteAlbumDestroyed(album.get());
        album.reset();
      }
    albums.erase(std::remove(albums.begin(), albums.end(), nullptr), albums.end());
  }
  for (auto& artist : Artists)
    if (artist->Albums.empty()) {
      ArtistsByName.erase(artist->Folded);
      artist.reset();
    }
  Artists.erase(std::remove(Artists.begin(), Artists.end(), nullptr), Artists.end());
  for (size_t i = 0; i < Artists.size(); ++i) Artists[i]->Position = static_cast<int>(i);
  ReleaseUnusedArena();
}

// Only where no track made from the arena can be on its way into the library.
void TLibrary::ReleaseUnusedArena() {
  if (ArenaTracks == 0 && !Arena.Empty()) Arena.Release();
}

void TLibrary::ClearArtists() {
  ArtistsByName.clear();
  AlbumsByName.clear();
  Paths.Clear();
  Artists.clear();
  ArenaTracks = 0;
  ReleaseUnusedArena();
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
}

void TLibrary::Clear() {
  ClearArtists();
  Videos.Clear();
  Playlists.Clear();
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
}

void TLibrary::TakeLoaded(TLibrary& loaded) {
  std::vector<TTrackPtr> earlier;
  for (auto& artist : Artists)
    for (auto& album : artist->Albums)
      while (!album->Tracks.empty()) earlier.push_back(album->TakeTrack(0));
  Arena.Swap(loaded.Arena);
  std::swap(ArenaTracks, loaded.ArenaTracks);
  Artists.swap(loaded.Artists);
  ArtistsByName.swap(loaded.ArtistsByName);
  AlbumsByName.swap(loaded.AlbumsByName);
  std::swap(Paths, loaded.Paths);
  for (auto& artist : Artists) artist->Owner = this;
  Playlists.Swap(loaded.Playlists);
  Videos.Swap(loaded.Videos);
  for (int i = 0; i < loaded.Playlists.Count(); ++i) {
    const TLibraryItem& item = *loaded.Playlists.Item(i);
    Playlists.Add(item.Path(), item.Name(), item.Relative());
  }
  for (int i = 0; i < loaded.Videos.Count(); ++i) {
    const TLibraryItem& item = *loaded.Videos.Item(i);
    Videos.Add(item.Path(), item.Name(), item.Relative());
  }
  for (TTrackPtr& track : earlier) AddTrack(std::move(track));
  for (int i = 0; i < loaded.CrawlTasks.Count(); ++i) {
    const TCrawlTask& task = loaded.CrawlTasks.Task(i);
    CrawlTasks.AddTask(task.Path, task.Recursive, task.SearchNew, task.ForceReread);
  }
  Flags.LibraryDirty = Flags.LibraryDirty || loaded.Flags.LibraryDirty;
  Flags.ListsStale = true;
  if (!loaded.DamagedDbPath.empty()) DamagedDbPath = loaded.DamagedDbPath;
  Loaded = true;
}

void TLibrary::NoteAlbumCreated(TAlbum* album) {
  std::vector<TAlbum*>& namesakes = AlbumsByName[album->Folded];
  namesakes.push_back(album);
  // The earlier ones are marked already once there were two: a common name
  // (an empty one, say) must not cost a walk over all its albums each time.
  if (namesakes.size() == 2) namesakes.front()->Duplicate = true;
  if (namesakes.size() > 1) album->Duplicate = true;
}

void TLibrary::NoteAlbumDestroyed(TAlbum* album) {
  const auto it = AlbumsByName.find(album->Folded);
  if (it == AlbumsByName.end()) return;
  std::vector<TAlbum*>& namesakes = it->second;
  std::erase(namesakes, album);
  if (album->Duplicate && namesakes.size() == 1) namesakes.front()->Duplicate = false;
  if (namesakes.empty()) AlbumsByName.erase(it);
}

std::string TLibrary::ResolveFolder(std::string_view entry) const { return ExpandPath(Folder, entry); }

const std::vector<TLibrary::TResolvedFolder>& TLibrary::ResolvedFolders() const {
  if (CachedEntries != LibrarySettings.LibraryFolders) {
    CachedEntries = LibrarySettings.LibraryFolders;
    CachedFolders.clear();
    for (const std::string& entry : CachedEntries) {
      std::string resolved = ResolveFolder(entry);
      const bool relative = resolved != entry;
      CachedFolders.push_back({std::move(resolved), relative});
    }
  }
  return CachedFolders;
}

bool TLibrary::IsInLibraryFolders(std::string_view path) const {
  for (const TResolvedFolder& folder : ResolvedFolders())
    if (IsPathInFolder(path, folder.Resolved)) return true;
  return false;
}

std::vector<std::string> TLibrary::ResolvedLibraryFolders() const {
  std::vector<std::string> out;
  for (const TResolvedFolder& folder : ResolvedFolders()) out.push_back(folder.Resolved);
  return out;
}

bool TLibrary::Contains(std::string_view path, bool includeTracks) const {
  if (!Loaded) return true;
  const std::string normalized = NormalizePath(path);
  if (includeTracks && Paths.Find(normalized)) return true;
  return Videos.Find(normalized) >= 0 || Playlists.Find(normalized) >= 0;
}

void TLibrary::UpdateRelativeFlags() {
  const std::vector<TResolvedFolder>& folders = ResolvedFolders();
  const auto update = [&](TLibraryItem& item) {
    for (const TResolvedFolder& folder : folders) {
      if (!IsPathInFolder(item.Path(), folder.Resolved)) continue;
      if (folder.Relative != item.Relative()) {
        item.SetRelative(folder.Relative);
        Flags.LibraryDirty = true;
      }
      return;
    }
  };
  for (const auto& artist : Artists)
    for (const auto& album : artist->Albums)
      for (const auto& track : album->Tracks) update(*track);
  for (int i = 0; i < Videos.Count(); ++i) update(*Videos.Item(i));
  for (int i = 0; i < Playlists.Count(); ++i) update(*Playlists.Item(i));
}

bool TLibrary::LookupTrack(std::string_view path, TMetaData& meta, uint8_t& readResult) const {
  const auto* track = static_cast<const TTrack*>(Paths.Find(path));
  if (!track) return false;
  track->CopyMeta(meta);
  readResult = track->ReadResult();
  return true;
}

}  // namespace tunevale
