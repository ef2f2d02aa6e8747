#include "media/id3_reader.h"

#include <cstring>

#include "media/byte_reader.h"
#include "media/mpeg_length.h"
#include "media/tag_text.h"
#include "util/text.h"

namespace tunevale {

namespace {

// Values this long or longer are skipped like unknown frames.
constexpr int64_t MaxFrameValue = 2048;

// clang-format off
enum TFrameField { ffTitle, ffYear, ffPublisher, ffGenre, ffAlbum, ffArtist, ffAlbumArtist, ffTrack,
                   ffComposer, ffCopyright, ffComment, ffURL, ffLength, ffRecordingTime };
// clang-format on

struct TFrameRow {
  char Id4[4];
  char Id3[3];
  TFrameField Field;
};

// clang-format off
constexpr TFrameRow FrameTable[] = {
    {{'T', 'I', 'T', '2'}, {'T', 'T', '2'}, ffTitle},     {{'T', 'Y', 'E', 'R'}, {'T', 'Y', 'E'}, ffYear},
    {{'T', 'P', 'U', 'B'}, {'T', 'P', 'B'}, ffPublisher}, {{'T', 'C', 'O', 'N'}, {'T', 'C', 'O'}, ffGenre},
    {{'T', 'A', 'L', 'B'}, {'T', 'A', 'L'}, ffAlbum},     {{'T', 'P', 'E', '1'}, {'T', 'P', '1'}, ffArtist},
    {{'T', 'P', 'E', '2'}, {'T', 'P', '2'}, ffAlbumArtist}, {{'T', 'R', 'C', 'K'}, {'T', 'R', 'K'}, ffTrack},
    {{'T', 'C', 'O', 'M'}, {'T', 'C', 'M'}, ffComposer},  {{'T', 'C', 'O', 'P'}, {'T', 'C', 'R'}, ffCopyright},
    {{'C', 'O', 'M', 'M'}, {'C', 'O', 'M'}, ffComment},   {{'W', 'X', 'X', 'X'}, {'T', 'X', 'X'}, ffURL},
    {{'T', 'L', 'E', 'N'}, {'T', 'L', 'E'}, ffLength},
    // ID3v2.4 replaced TYER by a timestamp; it has no three-letter form.
    {{'T', 'D', 'R', 'C'}, {0, 0, 0}, ffRecordingTime},
};
// clang-format on

const TFrameRow* FindFrame(const uint8_t id[4]) {
  for (const TFrameRow& row : FrameTable) {
    if (id[3] != 0 ? std::memcmp(id, row.Id4, 4) == 0 : std::memcmp(id, row.Id3, 3) == 0) return &row;
  }
  return nullptr;
}

bool IsFrameIdByte(uint8_t c) { return c == 0 || (c >= 0x30 && c <= 0x5B); }

// An empty text gives 0, as does a text that is not a valid integer.
int32_t TagNumber(std::string_view text) { return StrToIntDef(text, 0); }

std::string_view AsView(const std::string& s, size_t from) {
  return from < s.size() ? std::string_view(s).substr(from) : std::string_view();
}

// Where the text after the first terminator of `bytes` begins (the end when there is none).
size_t AfterFirstTerminator(std::string_view bytes, uint8_t encoding) {
  if (encoding == teUtf16 || encoding == teUtf16BE) {
    for (size_t k = 0; k + 1 < bytes.size(); k += 2)
      if (bytes[k] == 0 && bytes[k + 1] == 0) return k + 2;
    return bytes.size();
  }
  const size_t zero = bytes.find('\0');
  return zero == std::string_view::npos ? bytes.size() : zero + 1;
}

// `value` is the frame body: the encoding byte and the bytes after it.
// `tyerSeen`: a TYER frame was read; TYER wins over TDRC wherever it stands.
void ApplyFrame(const TFrameRow& row, bool fourLetterId, const std::string& value, TMetaData& meta,
                bool& tyerSeen) {
  const uint8_t encoding = value.empty() ? 0 : static_cast<uint8_t>(value[0]);
  const std::string_view body = AsView(value, 1);
  switch (row.Field) {
    case ffTitle: meta.Title = DecodeTagText(encoding, body); break;
    case ffYear:
      meta.Year = TagNumber(DecodeTagText(encoding, body));
      tyerSeen = true;
      break;
    case ffRecordingTime:
      if (const int32_t year = LeadingYear(DecodeTagText(encoding, body)); year > 0 && !tyerSeen)
        meta.Year = year;
      break;
    case ffPublisher: meta.Publisher = DecodeTagText(encoding, body); break;
    case ffGenre: meta.Genre = DecodeTagText(encoding, body); break;
    case ffAlbum: meta.Album = DecodeTagText(encoding, body); break;
    case ffArtist: meta.Artist = DecodeTagText(encoding, body); break;
    case ffAlbumArtist: meta.AlbumArtist = DecodeTagText(encoding, body); break;
    case ffComposer: meta.Composer = DecodeTagText(encoding, body); break;
    case ffCopyright: meta.Copyright = DecodeTagText(encoding, body); break;
    case ffTrack: {
      const std::string text = DecodeTagText(encoding, body);
      meta.Track = TagNumber(std::string_view(text).substr(0, text.find('/')));
      break;
    }
    case ffComment:
      // The first comment wins; its language code is not text.
      if (meta.Comment.empty()) meta.Comment = DecodeTagText(encoding, body.substr(std::min<size_t>(3, body.size())));
      break;
    case ffURL:
      if (fourLetterId) {
        // The description is in the frame's encoding, the address always 8-bit.
        const size_t split = AfterFirstTerminator(body, encoding);
        meta.URL = Trim(DecodeTagText(encoding, body.substr(0, split)) + DecodeTagText(teLatin1, body.substr(split)));
      } else {
        meta.URL = DecodeTagText(encoding, body);
      }
      break;
    case ffLength: {
      const int32_t ms = TagNumber(DecodeTagText(encoding, body));
      meta.Length = ms > 0 ? ms : 0;
      break;
    }
  }
}

// The frame loop is not bounded by the tag size: it ends at padding, at an id
// with characters no frame id has (the FF of the first audio frame), or when
// fewer than 4 bytes are left.
void ReadFrames(TByteReader& reader, uint8_t majorVersion, TMetaData& meta) {
  uint8_t id[4];
  bool tyerSeen = false;
  auto nextId = [&] {
    if (reader.Remaining() < 4) return false;
    reader.Read(id, 4);
    return true;
  };
  if (!nextId()) return;
  while (id[0] != 0) {
    if (!IsFrameIdByte(id[0]) || !IsFrameIdByte(id[1]) || !IsFrameIdByte(id[2])) return;
    int64_t size;
    int64_t skip;
    // In an ID3v2.2 tag every id has three letters and its fourth byte is the
    // high byte of the size, so a frame of 64 KiB or more (a picture) is no
    // four-letter frame there.
    if (id[3] != 0 && majorVersion != 2) {
      uint8_t s[4];
      reader.Read(s, 4);
      if (majorVersion >= 4 && ((s[0] | s[1] | s[2] | s[3]) & 0x80) == 0)
        size = int64_t(s[0]) << 21 | int64_t(s[1]) << 14 | int64_t(s[2]) << 7 | s[3];  // syncsafe in v2.4
      else
        size = int64_t(s[0]) << 24 | int64_t(s[1]) << 16 | int64_t(s[2]) << 8 | s[3];
      skip = 3;  // two flag bytes and the encoding byte
    } else {
      uint8_t s[2];
      reader.Read(s, 2);
      size = int64_t(majorVersion == 2 ? id[3] : 0) << 16 | int64_t(s[0]) << 8 | s[1];
      skip = 1;
    }
    if (size == 0) {
      reader.Skip(2);
    } else {
      const TFrameRow* row = FindFrame(id);
      if (row != nullptr && size - 1 < MaxFrameValue) {
        reader.Skip(skip - 1);
        ApplyFrame(*row, id[3] != 0, reader.ReadText(static_cast<size_t>(size)), meta, tyerSeen);
      } else {
        reader.Skip(skip + size - 1);
      }
    }
    if (!nextId()) return;
  }
}

// Fixed-width ID3v1 field: cut at its first zero byte, 8-bit text, trimmed.
std::string Id3v1Field(const uint8_t* tag, size_t offset, size_t width) {
  const std::string_view raw(reinterpret_cast<const char*>(tag) + offset, width);
  return Trim(Latin1OrUtf8(raw.substr(0, raw.find('\0'))));
}

bool HasId3v1(TByteReader& reader) {
  if (reader.Size() < 128) return false;
  uint8_t t[3];
  reader.ReadAt(reader.Size() - 128, t, 3);
  return std::memcmp(t, "TAG", 3) == 0;
}

}  // namespace

uint8_t ReadId3(TByteSource& source, TMetaData& meta) {
  try {
    TByteReader reader(source);
    int64_t tagSize = 0;
    bool hasTrailingTag = false;
    uint8_t head[3];
    reader.Read(head, 3);
    if (std::memcmp(head, "ID3", 3) == 0) {
      const uint8_t majorVersion = reader.ReadU8();
      reader.Seek(6);
      uint8_t b[4];
      reader.Read(b, 4);
      // Syncsafe, but the bytes are taken as they stand (top bits not masked).
      tagSize = int64_t(b[0]) * (1 << 21) + int64_t(b[1]) * (1 << 14) + int64_t(b[2]) * (1 << 7) + b[3] + 10;
      ReadFrames(reader, majorVersion, meta);
    } else {
      uint8_t tag[128];
      reader.ReadAt(reader.Size() - 128, tag, 128);  // a file shorter than 128 bytes fails here
      if (std::memcmp(tag, "TAG", 3) == 0) {
        hasTrailingTag = true;
        meta.Title = Id3v1Field(tag, 3, 30);
        meta.AlbumArtist = Id3v1Field(tag, 33, 30);
        meta.Album = Id3v1Field(tag, 63, 30);
        meta.Year = TagNumber(Id3v1Field(tag, 93, 4));
        if (tag[127] != 0) meta.Genre = "(" + std::to_string(tag[127]) + ")";
        meta.Comment = Id3v1Field(tag, 97, 29);
        meta.Track = tag[126];
      }
    }
    if (meta.Year == 0) meta.Year = -1;
    meta.Genre = ResolveGenre(meta.Genre);
    if (meta.Length == 0) {
      // A trailing ID3v1 tag behind an ID3v2 tag is not read, but its bytes are no audio.
      if (tagSize > 0) hasTrailingTag = HasId3v1(reader);
      meta.Length = MpegLength(reader, tagSize, hasTrailingTag);
    }
    return 0;
  } catch (const EReadError&) {
    return 1;
  }
}

}  // namespace tunevale
