// An album: the tracks of one album tag under one album artist, in insertion order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/track.h"

namespace tunevale {

class TArtist;

class TAlbum {
 public:
  TAlbum(const TAlbum&) = delete;
  TAlbum& operator=(const TAlbum&) = delete;
  ~TAlbum();

  int TrackCount() const { return static_cast<int>(Tracks.size()); }
  TTrack* Track(int index) const { return Tracks[static_cast<size_t>(index)].get(); }
  // Index of the track with exactly this path, or -1.
  int FindTrack(std::string_view path) const;
  // Takes the track: replaces one with the same path in place, or appends it
  // and settles its name (title, else the file's display name). `pathIsNew`:
  // the caller knows no track of the library has that path (skips the look-up).
  TTrack* AddTrack(TTrackPtr track, bool pathIsNew = false);

  const std::string& Name() const { return AlbumName; }  // the album tag; may be empty
  const std::string& FoldedName() const { return Folded; }
  TArtist* Artist() const { return Owner; }
  // Another album anywhere in the library has the same name, ignoring case.
  bool DuplicateName() const { return Duplicate; }
  // What the albums list shows: the name or "<unknown>", and " (artist)"
  // when the artist has a name and the album no name or a shared one.
  std::string Caption() const;

 private:
  friend class TArtist;
  friend class TLibrary;
  TAlbum(TArtist* owner, std::string_view name, std::string folded);
  TTrackPtr TakeTrack(int index);  // unlinks and returns the track (the gap closed)

  std::vector<TTrackPtr> Tracks;
  std::string AlbumName;
  std::string Folded;
  TArtist* Owner;
  bool Duplicate = false;
};

}  // namespace tunevale
