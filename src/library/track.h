// One music file of the library. Its texts live in one compact block (see
// text_pack.h); Meta() rebuilds the tags record on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "library/library_item.h"
#include "media/metadata.h"

namespace tunevale {

class TAlbum;
class TTrack;
class TTrackArena;
struct TTrackTexts;

struct TTrackDeleter {
  void operator()(TTrack* track) const;
};
// Owning pointer of a track; the library takes it over in AddTrack.
using TTrackPtr = std::unique_ptr<TTrack, TTrackDeleter>;

// The texts and numbers of a new track, as views; nothing is copied before Create.
struct TTrackFields {
  std::string_view Path, Name;
  std::string_view Title, Artist, AlbumArtist, Album, Genre, Publisher, Composer, Copyright, Comment, URL;
  int32_t Track = 0;
  int32_t Year = -1;
  int32_t Length = 0;
  int32_t FileDate = 0;
  uint8_t ReadResult = 0;
  bool Relative = false;
};

class TTrack : public TLibraryItem {
 public:
  // With an `arena` the track lives in its memory (see track_arena.h).
  static TTrackPtr Create(const TTrackFields& fields, TTrackArena* arena = nullptr);
  // A track for `path` (kept exactly) with the given tags, read result and
  // name; the name may be empty (the album fills it in when it takes the track).
  // The track and its texts share one allocation.
  static TTrackPtr Create(std::string_view path, std::string_view name, const TMetaData& meta,
                          uint8_t readResult, bool relative);

  // The name an album gives a track it appends: `name` unless it is empty or
  // a non-empty title differs from it; then the title, else the file's display name.
  static std::string_view NameForAlbum(std::string_view name, std::string_view title, std::string_view path,
                                       std::string& scratch);

  // The tags.
  std::string_view Title() const { return Texts.Get(kTitle); }
  std::string_view Artist() const { return Texts.Get(kArtist); }
  std::string_view AlbumArtist() const { return Texts.Get(kAlbumArtist); }
  std::string_view AlbumName() const { return Texts.Get(kAlbumName); }  // the album tag
  std::string_view Genre() const { return Texts.Get(kGenre); }
  std::string_view Publisher() const { return Texts.Get(kPublisher); }
  std::string_view Composer() const { return Texts.Get(kComposer); }
  std::string_view Copyright() const { return Texts.Get(kCopyright); }
  std::string_view Comment() const { return Texts.Get(kComment); }
  std::string_view URL() const { return Texts.Get(kURL); }
  int32_t TrackNo() const { return TrackNumber; }
  int32_t Year() const { return YearValue; }  // -1 when unknown
  int32_t Length() const { return LengthMs; }
  int32_t FileDate() const { return FileDateValue; }
  // Result of the tag read; 2 makes the crawler read the file again.
  uint8_t ReadResult() const { return Result; }

  // Unicode case-folded tags, for the search (FoldedPath() is in the base).
  std::string_view FoldedTitle() const { return Texts.Get(kFoldedTitle); }
  std::string_view FoldedArtist() const { return Texts.Get(kFoldedArtist); }
  std::string_view FoldedAlbumArtist() const { return Texts.Get(kFoldedAlbumArtist); }
  std::string_view FoldedAlbumName() const { return Texts.Get(kFoldedAlbumName); }
  std::string_view FoldedGenre() const { return Texts.Get(kFoldedGenre); }
  std::string_view FoldedComposer() const { return Texts.Get(kFoldedComposer); }

  // The tags as a record (a copy; FileDate included).
  TMetaData Meta() const;
  void CopyMeta(TMetaData& meta) const;

  // The owning album; null while the track is not in the library.
  TAlbum* Album() const { return Owner; }

 private:
  friend class TAlbum;
  friend class TLibrary;
  friend struct TTrackTexts;
  friend struct TTrackDeleter;
  TTrack() = default;
  ~TTrack() = default;
  // Rebuilds the texts with another name (only before the track is shared).
  void SetName(std::string_view name);
  static void PrepareTexts(const TTrackFields& fields, TTrackTexts& out);

  // The folded forms come first: a search reads them, and the texts lie in
  // slot order, so they sit near the start of the block.
  enum : size_t {
    kFoldedTitle = kItemSlots,
    kFoldedArtist,
    kFoldedAlbumArtist,
    kFoldedAlbumName,
    kFoldedGenre,
    kFoldedComposer,
    kTitle,
    kArtist,
    kAlbumArtist,
    kAlbumName,
    kGenre,
    kPublisher,
    kComposer,
    kCopyright,
    kComment,
    kURL,
    kTrackSlots
  };

  TAlbum* Owner = nullptr;
  int32_t TrackNumber = 0;
  int32_t YearValue = -1;
  int32_t LengthMs = 0;
  int32_t FileDateValue = 0;
  uint8_t Result = 0;
  bool InArena = false;
};

}  // namespace tunevale
