#include "library/library_database.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>

#include "util/atomic_file.h"
#include "util/path.h"
#include "util/runtime.h"
#include "util/text.h"

namespace tunevale {

namespace {

class TWriter {
 public:
  explicit TWriter(std::string& out) : Out(out) {}
  // Hands what is written so far to `write` once it reaches a block (after a whole record).
  void FlushBlocks(const TPieceWriter* write) { Write = write; }
  void BeginRecord(std::string_view type) {
    Out += type;
    Out.append(2, '\0');
    Start = Out.size();
  }
  void EndRecord() {
    const size_t length = Out.size() - Start;
    Out[Start - 2] = static_cast<char>(length >> 8);
    Out[Start - 1] = static_cast<char>(length & 0xFF);
    if (Write && Out.size() >= kBlock) Flush();
  }
  bool Flush() {
    if (Written && !Out.empty()) Written = (*Write)(Out);
    Out.clear();
    return Written;
  }
  static constexpr size_t kBlock = size_t(1) << 20;
  // Empty values are left out. A value the format cannot hold (over 65535
  // bytes, or more than the record has room for) is cut at a character boundary.
  void Field(std::string_view tag, std::string_view value) {
    const size_t used = Out.size() - Start;
    if (value.empty() || used + 5 > kMaxFieldLength) return;
    value = CutUtf8(value, std::min(kMaxFieldLength, kMaxFieldLength - used - 5));
    if (value.empty()) return;
    Out += tag;
    Out += static_cast<char>(value.size() >> 8);
    Out += static_cast<char>(value.size() & 0xFF);
    Out += value;
  }
  void Number(std::string_view tag, int64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    Field(tag, std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
  }
  void Flag(std::string_view tag, bool value) {
    if (value) Field(tag, " ");
  }

 private:
  std::string& Out;
  size_t Start = 0;
  const TPieceWriter* Write = nullptr;
  bool Written = true;
};

void WriteItems(TWriter& w, std::string_view type, const TLibraryItems& items) {
  for (int i = 0; i < items.Count(); ++i) {
    const TLibraryItem& item = *items.Item(i);
    w.BeginRecord(type);
    w.Field("PTH", item.Path());
    w.Field("NAM", item.Name());
    w.Flag("REL", item.Relative());
    w.EndRecord();
  }
}


void EncodeRecords(const TLibrary& library, TWriter& w) {
  if (library.CrawlUnfinished()) {
    w.BeginRecord("SET");
    w.Field("LIB", kIncompleteMark);
    w.EndRecord();
  }
  std::string relativePath;
  for (int a = 0; a < library.ArtistCount(); ++a) {
    const TArtist& artist = *library.Artist(a);
    for (int b = 0; b < artist.AlbumCount(); ++b) {
      const TAlbum& album = *artist.Album(b);
      for (int t = 0; t < album.TrackCount(); ++t) {
        const TTrack& track = *album.Track(t);
        w.BeginRecord("MUS");
        if (track.Relative()) {
          relativePath = RelativePath(library.ProgramFolder(), track.Path());
          w.Field("PTH", relativePath);
        } else {
          w.Field("PTH", track.Path());
        }
        w.Flag("REL", track.Relative());
        w.Number("FMD", track.FileDate());
        w.Field("NAM", track.Name());
        w.Number("RES", track.ReadResult());
        w.Field("TIT", track.Title());
        w.Field("AR1", track.Artist());
        w.Field("AR2", track.AlbumArtist());
        w.Field("ALB", track.AlbumName());
        w.Number("TRK", track.TrackNo());
        w.Number("YER", track.Year());
        w.Number("LEN", track.Length());
        w.Field("GEN", track.Genre());
        w.Field("PUB", track.Publisher());
        w.Field("COM", track.Composer());
        w.Field("COP", track.Copyright());
        w.Field("CMT", track.Comment());
        w.Field("WWW", track.URL());
        w.EndRecord();
      }
    }
  }
  WriteItems(w, "PLS", library.Playlists);
  WriteItems(w, "VID", library.Videos);
}

// The file a block at a time: the bytes of a big library are never all in memory.
bool EncodeLibraryTo(const TLibrary& library, const TPieceWriter& write) {
  std::string block;
  block.reserve(TWriter::kBlock + 2 * 65540);
  block += kLibraryDbHeader;
  TWriter w(block);
  w.FlushBlocks(&write);
  EncodeRecords(library, w);
  return w.Flush();
}

}  // namespace

std::string EncodeLibrary(const TLibrary& library) {
  std::string out;
  out.reserve(kLibraryDbHeader.size() + library.TrackCount() * 320);
  out += kLibraryDbHeader;
  TWriter w(out);
  EncodeRecords(library, w);
  return out;
}

namespace {

// A damaged file may hold what the load could not use: before the first save
// replaces it, it stays beside it (one generation: an older copy is replaced).
bool KeepDamagedCopy(TLibrary& library, const std::string& fileName, std::string* error) {
  if (library.DamagedDbPath != fileName) return true;
  const std::string copy = fileName + ".damaged";
  ::unlink(copy.c_str());
  if (::link(fileName.c_str(), copy.c_str()) != 0 && errno != ENOENT) {
    std::string bytes;  // a file system without hard links
    if (!ReadWholeFile(fileName, bytes)) {
      if (error) *error = "cannot read " + fileName + ": " + std::strerror(errno);
      return false;
    }
    if (!WriteFileAtomically(copy, bytes, error)) return false;
  }
  library.DamagedDbPath.clear();
  return true;
}

}  // namespace

bool SaveLibrary(TLibrary& library, std::string* error) {
  // A save from inside the load (its message processing) would replace the
  // file with the part read so far.
  if (library.Loading) return true;
  if (!library.Flags.LibraryDirty && library.CrawlUnfinished() == library.SavedIncomplete) return true;
  const std::string& fileName = library.Settings().LibraryDbPath;
  if (fileName.empty()) return true;
  if (!KeepDamagedCopy(library, fileName, error)) return false;
  if (!library.Settings().UseLibrary ||
      (library.ArtistCount() == 0 && library.Videos.Count() == 0 && library.Playlists.Count() == 0)) {
    if (::unlink(fileName.c_str()) != 0 && errno != ENOENT) {
      if (error) *error = "cannot delete " + fileName + ": " + std::strerror(errno);
      return false;
    }
    return true;
  }
  const std::string folder = ExtractFileDir(fileName);
  if (!folder.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
  }
  const bool incomplete = library.CrawlUnfinished();
  if (!WriteFileAtomically(
          fileName, [&](const TPieceWriter& write) { return EncodeLibraryTo(library, write); }, error))
    return false;
  library.SavedIncomplete = incomplete;
  library.Flags.LibraryDirty = false;
  return true;
}

}  // namespace tunevale