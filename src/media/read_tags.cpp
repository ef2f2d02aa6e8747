#include "media/read_tags.h"

#include <sys/stat.h>

#include "media/asf_reader.h"
#include "media/file_source.h"
#include "media/id3_reader.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

enum TReader { rdNone, rdId3, rdAsf };

TReader ReaderFor(const std::string& fileName) {
  const std::string ext = AsciiLower(ExtractFileExt(fileName));
  if (ext == ".mp3") return rdId3;
  if (ext == ".wma" || ext == ".wmv" || ext == ".dvr-ms") return rdAsf;
  return rdNone;
}

bool FileExists(const std::string& fileName) {
  struct stat st;
  return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
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
  return readerKind == rdId3 ? ReadId3(file, meta) : ReadAsf(file, meta);
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
