#include "library/album.h"

#include "library/artist.h"
#include "library/library.h"

namespace tunevale {

TAlbum::TAlbum(TArtist* owner, std::string_view name, std::string folded)
    : AlbumName(name), Folded(std::move(folded)), Owner(owner) {}

TAlbum::~TAlbum() = default;

int TAlbum::FindTrack(std::string_view path) const {
  for (size_t i = 0; i < Tracks.size(); ++i)
    if (Tracks[i]->Path() == path) return static_cast<int>(i);
  return -1;
}

TTrack* TAlbum::AddTrack(TTrackPtr track, bool pathIsNew) {
  TTrack* added = track.get();
  TLibrary& library = *Owner->Owner;
  // The library's path index first: walking a big album (every untagged track
  // of an artist) for each track added would make a load quadratic.
  const auto* same = pathIsNew ? nullptr : static_cast<const TTrack*>(library.Paths.Find(added->Path()));
  const int existing = same && same->Owner == this ? FindTrack(added->Path()) : -1;
  if (existing >= 0) {
    TTrackPtr old = TakeTrack(existing);
    Tracks.insert(Tracks.begin() + existing, std::move(track));
  } else {
    std::string scratch;
    const std::string_view name = TTrack::NameForAlbum(added->Name(), added->Title(), added->Path(), scratch);
    if (name != added->Name()) added->SetName(std::string(name));
    Tracks.push_back(std::move(track));
  }
  added->Owner = this;
  library.NoteTrackAdded(added);
  return added;
}

TTrackPtr TAlbum::TakeTrack(int index) {
  TTrackPtr track = std::move(Tracks[static_cast<size_t>(index)]);
  Tracks.erase(Tracks.begin() + index);
  Owner->Owner->NoteTrackRemoved(track.get());
  track->Owner = nullptr;
  return track;
}

std::string TAlbum::Caption() const {
  std::string caption = AlbumName.empty() ? std::string("<unknown>") : AlbumName;
  const std::string& artist = Owner->Name();
  if (!artist.empty() && (AlbumName.empty() || Duplicate)) caption += " (" + artist + ")";
  return caption;
}

}  // namespace tunevale
