// An artist (album artist tag) and its albums, in insertion order.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "library/album.h"

namespace tunevale {

class TLibrary;

class TArtist {
 public:
  TArtist(const TArtist&) = delete;
  TArtist& operator=(const TArtist&) = delete;
  ~TArtist();

  int AlbumCount() const { return static_cast<int>(Albums.size()); }
  TAlbum* Album(int index) const { return Albums[static_cast<size_t>(index)].get(); }
  // Index of the album with this name ignoring case, or -1.
  int FindAlbum(std::string_view name) const;
  // The album with this name ignoring case; appended (and duplicate names
  // marked across the library) when there is none.
  TAlbum* AddAlbum(std::string_view name);

  const std::string& Name() const { return ArtistName; }  // the album artist tag; may be empty
  const std::string& FoldedName() const { return Folded; }
  TLibrary* Library() const { return Owner; }

 private:
  friend class TLibrary;
  friend class TAlbum;
  TArtist(TLibrary* owner, std::string_view name, std::string folded);
  int FindAlbumFolded(std::string_view folded) const;
  TAlbum* AddAlbumFolded(std::string_view name, std::string_view folded);

  std::vector<std::unique_ptr<TAlbum>> Albums;
  std::string ArtistName;
  std::string Folded;
  TLibrary* Owner;
  int Position = 0;  // index in the library's artists, kept by the library
};

}  // namespace tunevale
