#include "library/artist.h"

#include "library/library.h"
#include "util/text.h"

namespace tunevale {

TArtist::TArtist(TLibrary* owner, std::string_view name, std::string folded)
    : ArtistName(name), Folded(std::move(folded)), Owner(owner) {}

TArtist::~TArtist() = default;

int TArtist::FindAlbumFolded(std::string_view folded) const {
  for (size_t i = 0; i < Albums.size(); ++i)
    if (Albums[i]->Folded == folded) return static_cast<int>(i);
  return -1;
}

int TArtist::FindAlbum(std::string_view name) const { return FindAlbumFolded(CaseFold(name)); }

TAlbum* TArtist::AddAlbum(std::string_view name) { return AddAlbumFolded(name, CaseFold(name)); }

TAlbum* TArtist::AddAlbumFolded(std::string_view name, std::string_view folded) {
  const int existing = FindAlbumFolded(folded);
  if (existing >= 0) return Albums[static_cast<size_t>(existing)].get();
  Albums.push_back(std::unique_ptr<TAlbum>(new TAlbum(this, name, std::string(folded))));
  TAlbum* album = Albums.back().get();
  Owner->NoteAlbumCreated(album);
  return album;
}

}  // namespace tunevale
