#include "media/read_tags.h"

#include <sys/stat.h>

#include <cstring>

#include "media/asf_reader.h"
#include "media/file_source.h"
#include "media/flac_reader.h"
#include "media/id3_reader.h"
#include "media/ogg_reader.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

enum TReader { rdNone, rdId3, rdAsf, rdXiph };

TReader ReaderFor(const std::string& fileName) {
  const std::string ext = AsciiLower(ExtractFileExt(fileName));
  if (ext == ".mp3") return rdId3;
  if (ext == ".wma" || ext == ".wmv" || ext == ".dvr-ms") return rdAsf;
  if (ext == ".flac" || ext == ".ogg" || ext == ".oga" || ext == ".opus") return rdXiph;
  return rdNone;
}

bool FileExists(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Files of these types are FLAC or Ogg whatever their name says: the first bytes tell.
uint8_t ReadFlacOrOgg(TByteSource& source, TMetaData& meta) {
  // One window serves the look and the reader; their headers are small.
  TByteReader reader(source, 4096);
  char mark[4];
  try {
    if (reader.ReadUpTo(mark, 4) != 4) return ReadResultFailed;
  } catch (const EReadError&) {
    return ReadResultFailed;
  }
  if (std::memcmp(mark, "OggS", 4) == 0) return ReadOggFrom(reader, meta);
  if (std::memcmp(mark, "fLaC", 4) == 0 || std::memcmp(mark, "ID3", 3) == 0)
    return ReadFlacFrom(reader, meta);
  return ReadResultFailed;
}

uint8_t ReadFile(TReader readerKind, const std::string& fileName, TMetaData& meta, const TTrackLookup* library) {
  TFileSource file;
  switch (file.Open(fileName)) {
    case TFileSource::osMissing:
      return ReadResultOk;
    case TFileSource::osFailed:
      if (readerKind == rdAsf) return ReadResultFailed;
      // The library's copy stands in until the file can be read again.
      if (library != nullptr) {
        uint8_t ignored;
        if (!library->LookupTrack(fileName, meta, ignored)) ClearMetaData(meta);
      }
      return ReadResultNotOpened;
    case TFileSource::osOpened:
      break;
  }
  switch (readerKind) {
    case rdId3:
      return ReadId3(file, meta);
    case rdAsf:
      return ReadAsf(file, meta);
    default:
      return ReadFlacOrOgg(file, meta);
  }
}

}  // namespace

uint8_t ReadTags(const std::string& fileName, TMetaData& meta, bool fromLibrary, const TTrackLookup* library) {
  ClearMetaData(meta);
  uint8_t result = ReadResultOk;
  if (fromLibrary && library != nullptr) {
    if (library->LookupTrack(fileName, meta, result)) return result;
    ClearMetaData(meta);
    result = ReadResultOk;
  }
  const TReader readerKind = ReaderFor(fileName);
  if (readerKind == rdNone)
    result = FileExists(fileName) ? ReadResultFailed : ReadResultOk;
  else
    result = ReadFile(readerKind, fileName, meta, library);
  if (meta.AlbumArtist.empty()) meta.AlbumArtist = meta.Artist;
  if (meta.Artist.empty()) meta.Artist = meta.AlbumArtist;
  return result;
}

}  // namespace tunevale
