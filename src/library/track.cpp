#include "library/track.h"

#include <array>
#include <new>

#include "library/track_arena.h"
#include "util/text.h"

namespace tunevale {

namespace {

// Slots that are folded, with the slot of their original.
struct TFoldPair {
  size_t Folded;
  size_t Original;
};

// Case folding with a tight loop for pure ASCII texts, by far the most common.
void FoldAppend(std::string& out, std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) {
      CaseFoldAppend(out, s);
      return;
    }
  const size_t start = out.size();
  out.resize(start + s.size());
  char* dst = out.data() + start;
  for (size_t i = 0; i < s.size(); ++i) dst[i] = AsciiLowerChar(s[i]);
}

}  // namespace

void TTrackDeleter::operator()(TTrack* track) const {
  if (!track) return;
  const bool inArena = track->InArena;
  track->~TTrack();
  if (!inArena) ::operator delete(track);
}

TTrackPtr TTrack::Create(std::string_view path, std::string_view name, const TMetaData& meta,
                         uint8_t readResult, bool relative) {
  TTrackFields f;
  f.Path = path;
  f.Name = name;
  f.Title = meta.Title;
  f.Artist = meta.Artist;
  f.AlbumArtist = meta.AlbumArtist;
  f.Album = meta.Album;
  f.Genre = meta.Genre;
  f.Publisher = meta.Publisher;
  f.Composer = meta.Composer;
  f.Copyright = meta.Copyright;
  f.Comment = meta.Comment;
  f.URL = meta.URL;
  f.Track = meta.Track;
  f.Year = meta.Year;
  f.Length = meta.Length;
  f.FileDate = meta.FileDate;
  f.ReadResult = readResult;
  f.Relative = relative;
  return Create(f);
}

// The slot texts of a track and the slots they may share bytes with; the
// folded forms are kept in `folded`, which must outlive the views.
struct TTrackTexts {
  std::array<std::string_view, TTrack::kTrackSlots> Texts;
  std::array<int8_t, TTrack::kTrackSlots> Twins;
  std::string Folded;
};

void TTrack::PrepareTexts(const TTrackFields& f, TTrackTexts& out) {
  auto& texts = out.Texts;
  texts.fill({});
  texts[kPath] = f.Path;
  texts[kName] = f.Name;
  texts[kTitle] = f.Title;
  texts[kArtist] = f.Artist;
  texts[kAlbumArtist] = f.AlbumArtist;
  texts[kAlbumName] = f.Album;
  texts[kGenre] = f.Genre;
  texts[kPublisher] = f.Publisher;
  texts[kComposer] = f.Composer;
  texts[kCopyright] = f.Copyright;
  texts[kComment] = f.Comment;
  texts[kURL] = f.URL;
  static constexpr std::array<TFoldPair, 8> kFolds = {{{kFoldedPath, kPath},
                                                       {kFoldedName, kName},
                                                       {kFoldedTitle, kTitle},
                                                       {kFoldedArtist, kArtist},
                                                       {kFoldedAlbumArtist, kAlbumArtist},
                                                       {kFoldedAlbumName, kAlbumName},
                                                       {kFoldedGenre, kGenre},
                                                       {kFoldedComposer, kComposer}}};
  // All folded forms go into one text; views are taken once it is complete.
  std::array<size_t, kFolds.size() + 1> ends{};
  size_t total = 0;
  for (const TFoldPair& fold : kFolds) total += texts[fold.Original].size();
  out.Folded.clear();
  out.Folded.reserve(total + total / 4);
  for (size_t i = 0; i < kFolds.size(); ++i) {
    FoldAppend(out.Folded, texts[kFolds[i].Original]);
    ends[i + 1] = out.Folded.size();
  }
  for (size_t i = 0; i < kFolds.size(); ++i)
    texts[kFolds[i].Folded] = std::string_view(out.Folded).substr(ends[i], ends[i + 1] - ends[i]);
  // A text shares the bytes of an earlier slot when they are equal: a form
  // equal to its folded form, and the usual repeats (name = title, artist =
  // album artist).
  auto& twins = out.Twins;
  twins.fill(-1);
  twins[kFoldedPath] = kPath;
  twins[kFoldedName] = kName;
  twins[kFoldedTitle] = kFoldedName;
  twins[kFoldedAlbumArtist] = kFoldedArtist;
  twins[kTitle] =
      static_cast<int8_t>(texts[kTitle] == texts[kFoldedTitle] ? size_t(kFoldedTitle) : size_t(kName));
  twins[kArtist] = kFoldedArtist;
  twins[kAlbumArtist] = texts[kAlbumArtist] == texts[kFoldedAlbumArtist] ? kFoldedAlbumArtist : kArtist;
  twins[kAlbumName] = kFoldedAlbumName;
  twins[kGenre] = kFoldedGenre;
  twins[kComposer] = kFoldedComposer;
}

TTrackPtr TTrack::Create(const TTrackFields& f, TTrackArena* arena) {
  // Reused: a load builds a million of these, each a heap block made and freed.
  thread_local TTrackTexts prepared;
  PrepareTexts(f, prepared);
  const size_t blockSize = TTextPack::BlockSize(prepared.Texts, prepared.Twins);
  void* memory = arena ? arena->Allocate(sizeof(TTrack), TTrackArena::alTracks)
                       : ::operator new(sizeof(TTrack) + blockSize);
  void* block = arena ? arena->Allocate(blockSize) : static_cast<char*>(memory) + sizeof(TTrack);
  TTrack* track = new (memory) TTrack();
  track->InArena = arena != nullptr;
  track->Texts.Build(prepared.Texts, prepared.Twins, block);
  track->IsRelative = f.Relative;
  track->TrackNumber = f.Track;
  track->YearValue = f.Year;
  track->LengthMs = f.Length;
  track->FileDateValue = f.FileDate;
  track->Result = f.ReadResult;
  return TTrackPtr(track);
}

std::string_view TTrack::NameForAlbum(std::string_view name, std::string_view title, std::string_view path,
                                      std::string& scratch) {
  if (!name.empty() && (title.empty() || title == name)) return name;
  if (!title.empty()) return title;
  scratch = FileDisplayName(path);
  return scratch;
}

void TTrack::SetName(std::string_view name) {
  TTrackFields f;
  f.Path = Path();
  f.Name = name;
  f.Title = Title();
  f.Artist = Artist();
  f.AlbumArtist = AlbumArtist();
  f.Album = AlbumName();
  f.Genre = Genre();
  f.Publisher = Publisher();
  f.Composer = Composer();
  f.Copyright = Copyright();
  f.Comment = Comment();
  f.URL = URL();
  // The new block is complete before the old one (which the views above
  // point into) is released; it is allocated apart from the track.
  TTrackTexts prepared;
  PrepareTexts(f, prepared);
  TTextPack pack;
  pack.Build(prepared.Texts, prepared.Twins);
  Texts = std::move(pack);
}

void TTrack::CopyMeta(TMetaData& meta) const {
  meta.Title = Title();
  meta.Artist = Artist();
  meta.AlbumArtist = AlbumArtist();
  meta.Album = AlbumName();
  meta.Genre = Genre();
  meta.Publisher = Publisher();
  meta.Composer = Composer();
  meta.Copyright = Copyright();
  meta.Comment = Comment();
  meta.URL = URL();
  meta.Track = TrackNumber;
  meta.Year = YearValue;
  meta.Length = LengthMs;
  meta.FileDate = FileDateValue;
}

TMetaData TTrack::Meta() const {
  TMetaData meta;
  CopyMeta(meta);
  return meta;
}

}  // namespace tunevale
