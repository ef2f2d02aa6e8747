#include "media/asf_reader.h"

#include <cstring>
#include <string>

#include "media/byte_reader.h"
#include "media/tag_text.h"
#include "util/text.h"

namespace tunevale {

namespace {

using TGuid = uint8_t[16];

// The standard GUIDs in their file layout (first three groups little-endian).
constexpr TGuid HeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr TGuid ContentDescriptionObject = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                            0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr TGuid ExtendedContentDescriptionObject = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                                    0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};

constexpr size_t MaxTextUnits = 250;  // every text is cut to this many UTF-16 units
constexpr int64_t ObjectHeaderSize = 24;
constexpr int64_t MaxTrackNumber = 65535;

constexpr uint16_t AsfString = 0, AsfDword = 3, AsfQword = 4, AsfWord = 5;

// An object's bytes: reads past its end are truncation, like reads past the file's end.
class TObjectReader {
 public:
  TObjectReader(TByteReader& reader, int64_t end) : Reader(reader), End(end) {}
  void Need(int64_t count) const {
    if (count > End - Reader.Position()) throw EReadError("object truncated");
  }
  uint16_t ReadU16() {
    Need(2);
    return Reader.ReadU16LE();
  }
  std::string ReadBytes(size_t count) {
    Need(static_cast<int64_t>(count));
    return Reader.ReadText(count);
  }
  void Skip(int64_t count) {
    Need(count);
    Reader.Skip(count);
  }

  // A text of `length` bytes: at most 250 UTF-16LE units are kept, the rest skipped.
  std::string ReadWideText(uint16_t length) {
    size_t units = std::min<size_t>(length / 2, MaxTextUnits);
    std::string bytes = ReadBytes(units * 2);
    Skip(length - static_cast<int64_t>(units) * 2);
    // A cut between the two halves of a surrogate pair leaves no character behind.
    if (units == MaxTextUnits && length / 2 > MaxTextUnits) {
      const auto hi = static_cast<uint8_t>(bytes[2 * units - 1]);
      if (hi >= 0xD8 && hi <= 0xDB) bytes.resize(2 * (units - 1));
    }
    return DecodeTagText(teUtf16, bytes);
  }

 private:
  TByteReader& Reader;
  int64_t End;
};

void AppendTitle(std::string& title, const std::string& value) {
  if (value.empty()) return;  // nothing to append; avoids a dangling " - "
  title = title.empty() ? value : title + " - " + value;
}

void ReadContentDescription(TObjectReader& object, TMetaData& meta) {
  uint16_t lengths[5];
  for (uint16_t& l : lengths) l = object.ReadU16();
  for (int i = 0; i < 5; ++i) {
    if (lengths[i] == 0) continue;
    const std::string text = object.ReadWideText(lengths[i]);
    if (i == 0) AppendTitle(meta.Title, text);
    if (i == 1) meta.Artist = text;
    if (i == 3) meta.Comment = text;  // 2 is the copyright, 4 the rating: not used here
  }
}

void ApplyAttribute(const std::string& name, const std::string& value, TMetaData& meta) {
  if (name == "WM/TITLE" || name == "WM/SUBTITLE") AppendTitle(meta.Title, value);
  else if (name == "WM/AUTHOR") meta.Artist = value;
  else if (name == "WM/ALBUMARTIST") meta.AlbumArtist = value;
  else if (name == "WM/ALBUMTITLE") meta.Album = value;
  else if (name == "WM/GENRE") meta.Genre = value;
  else if (name == "WM/DESCRIPTION" || name == "WM/SUBTITLEDESCRIPTION") meta.Comment = value;
  else if (name == "WM/COMPOSER" || name == "WM/MEDIACREDITS") meta.Composer = value;
  else if (name == "WM/PUBLISHER" || name == "WM/MEDIASTATIONCALLSIGN") meta.Publisher = value;
  else if (name == "WM/PROVIDERCOPYRIGHT") meta.Copyright = value;
  else if (name == "WM/AUTHORURL") meta.URL = value;
  else if (name == "WM/YEAR") {
    const auto year = ParseInt32(value);
    if (!year) throw EReadError("WM/Year is not a number");
    meta.Year = *year;
  }
}

void ReadExtendedContentDescription(TObjectReader& object, TMetaData& meta) {
  const uint16_t count = object.ReadU16();
  for (uint16_t i = 0; i < count; ++i) {
    const std::string name = AsciiUpper(object.ReadWideText(object.ReadU16()));
    const uint16_t valueType = object.ReadU16();
    const uint16_t valueLength = object.ReadU16();
    if (name == "WM/TRACKNUMBER") {
      const std::string raw = object.ReadBytes(std::min<size_t>(valueLength, 2 * MaxTextUnits));
      object.Skip(valueLength - static_cast<int64_t>(raw.size()));
      meta.Track = AsfTrackNumber(valueType, reinterpret_cast<const uint8_t*>(raw.data()), raw.size());
    } else {
      ApplyAttribute(name, object.ReadWideText(valueLength), meta);
    }
  }
}

uint64_t LittleEndian(const uint8_t* b, size_t n) {
  uint64_t v = 0;
  for (size_t i = n; i-- > 0;) v = v << 8 | b[i];
  return v;
}

}  // namespace

int32_t AsfTrackNumber(uint16_t valueType, const uint8_t* value, size_t length) {
  switch (valueType) {
    case AsfWord:
      return length >= 2 ? static_cast<int32_t>(LittleEndian(value, 2)) : 0;
    case AsfDword: {
      const uint64_t v = length >= 4 ? LittleEndian(value, 4) : 0;
      return v <= uint64_t(MaxTrackNumber) ? static_cast<int32_t>(v) : 0;
    }
    case AsfQword: {
      const uint64_t v = length >= 8 ? LittleEndian(value, 8) : 0;
      return v <= uint64_t(MaxTrackNumber) ? static_cast<int32_t>(v) : 0;
    }
    case AsfString: {
      return LeadingTrackNumber(
          DecodeTagText(teUtf16, std::string_view(reinterpret_cast<const char*>(value), length)));
    }
    default:
      return 0;
  }
}

uint8_t ReadAsf(TByteSource& source, TMetaData& meta) {
  try {
    TByteReader reader(source);
    uint8_t guid[16];
    reader.Read(guid, 16);
    if (std::memcmp(guid, HeaderObject, 16) != 0) return 0;
    reader.Skip(8);
    const uint32_t objectCount = reader.ReadU32LE();
    reader.Skip(2);
    for (uint32_t i = 0; i < objectCount; ++i) {
      const int64_t p = reader.Position();
      reader.Read(guid, 16);
      const int64_t size = reader.ReadU32LE();  // the low half of the 64-bit size
      // An object smaller than its own header would be walked again forever;
      // one past the end of the file is truncated.
      if (size < ObjectHeaderSize || size > reader.Size() - p) return 1;
      reader.Skip(4);
      TObjectReader object(reader, p + size);
      if (std::memcmp(guid, ContentDescriptionObject, 16) == 0)
        ReadContentDescription(object, meta);
      else if (std::memcmp(guid, ExtendedContentDescriptionObject, 16) == 0)
        ReadExtendedContentDescription(object, meta);
      reader.Seek(p + size);
    }
    return 0;
  } catch (const EReadError&) {
    return 1;
  }
}

}  // namespace tunevale
