#include "media/vorbis_comment.h"

#include <cstring>

#include "media/byte_reader.h"
#include "media/tag_text.h"
#include "util/text.h"

namespace tunevale {

namespace {

enum TField {
  vfTitle,
  vfArtist,
  vfAlbumArtist,
  vfAlbumArtistSpaced,
  vfAlbum,
  vfGenre,
  vfOrganization,
  vfLabel,
  vfComposer,
  vfCopyright,
  vfComment,
  vfDescription,
  vfContact,
  vfWebsite,
  vfTrack,
  vfDate,
  vfYear,
};

constexpr std::string_view FieldNames[] = {
    "TITLE",        "ARTIST",  "ALBUMARTIST", "ALBUM ARTIST", "ALBUM",   "GENRE",
    "ORGANIZATION", "LABEL",   "COMPOSER",    "COPYRIGHT",    "COMMENT", "DESCRIPTION",
    "CONTACT",      "WEBSITE", "TRACKNUMBER", "DATE",         "YEAR"};

// No name we keep is longer; a field whose "=" lies further in is skipped unread.
constexpr size_t NamePrefix = 16;

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiUpperChar(a[i]) != b[i]) return false;
  return true;
}

uint32_t ReadU32(TCommentStream& stream) {
  uint8_t b[4];
  stream.Read(b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

uint32_t ReadLength(TCommentStream& stream) {
  const uint32_t length = ReadU32(stream);
  if (length > stream.Left()) throw EReadError("comment length past the end");
  return length;
}

// One "NAME=value" field of `length` bytes; only the values of kept names are read.
void ReadField(TCommentStream& stream, uint32_t length, TVorbisComment& comment) {
  char prefix[NamePrefix];
  const size_t head = std::min<size_t>(length, NamePrefix);
  stream.Read(prefix, head);
  const auto* equals = static_cast<const char*>(std::memchr(prefix, '=', head));
  const int field =
      equals == nullptr ? -1 : TVorbisComment::FieldOf(std::string_view(prefix, equals - prefix));
  if (field < 0) {
    stream.Skip(length - head);
    return;
  }
  std::string value(equals + 1, static_cast<const char*>(prefix) + head);
  value.resize(value.size() + (length - head));
  stream.Read(value.data() + (value.size() - (length - head)), length - head);
  comment.Add(field, value);
}

}  // namespace

static_assert(std::size(FieldNames) == 17);

int TVorbisComment::FieldOf(std::string_view name) {
  for (int i = 0; i < FieldCount; ++i)
    if (SameNameIgnoringCase(name, FieldNames[i])) return i;
  return -1;
}

void TVorbisComment::Add(int field, std::string_view rawValue) {
  const std::string value = DecodeTagText(teUtf8, rawValue);
  if (value.empty()) return;
  std::string& joined = Values[field];
  // A track number or a date is taken from the first value only.
  if (field == vfTrack || field == vfDate || field == vfYear) {
    if (joined.empty()) joined = value;
    return;
  }
  if (!joined.empty()) joined += "; ";
  joined += value;
}

void TVorbisComment::ApplyTo(TMetaData& meta) const {
  auto set = [&](std::string& target, int field, int fallback) {
    const std::string& value = Values[field].empty() && fallback >= 0 ? Values[fallback] : Values[field];
    if (!value.empty()) target = value;
  };
  set(meta.Title, vfTitle, -1);
  set(meta.Artist, vfArtist, -1);
  set(meta.AlbumArtist, vfAlbumArtist, vfAlbumArtistSpaced);
  set(meta.Album, vfAlbum, -1);
  set(meta.Genre, vfGenre, -1);
  set(meta.Publisher, vfOrganization, vfLabel);
  set(meta.Composer, vfComposer, -1);
  set(meta.Copyright, vfCopyright, -1);
  set(meta.Comment, vfComment, vfDescription);
  set(meta.URL, vfContact, vfWebsite);
  if (!Values[vfTrack].empty()) meta.Track = LeadingTrackNumber(Values[vfTrack]);
  const std::string& date = Values[vfDate].empty() ? Values[vfYear] : Values[vfDate];
  if (!date.empty()) meta.Year = LeadingYear(date);
}

void ReadVorbisComment(TCommentStream& stream, TMetaData& meta) {
  TVorbisComment comment;
  try {
    stream.Skip(ReadLength(stream));  // the encoder's name
    // Every field takes at least its 4 length bytes, so a huge count ends at the data's end.
    const uint32_t count = ReadU32(stream);
    for (uint32_t i = 0; i < count; ++i) ReadField(stream, ReadLength(stream), comment);
  } catch (const EReadError&) {
    comment.ApplyTo(meta);
    throw;
  }
  comment.ApplyTo(meta);
}

}  // namespace tunevale
