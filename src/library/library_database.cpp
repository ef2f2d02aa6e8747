#include "library/library_database.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
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

constexpr size_t kMaxLength = 0xFFFF;
constexpr std::string_view kLoadingText = "Loading library...";
constexpr std::string_view kIncomplete = "Incomplete";

// The tags the loader looks at, as slots of a field table.
enum TTag : uint8_t {
  tgPTH,
  tgREL,
  tgFMD,
  tgNAM,
  tgRES,
  tgTIT,
  tgAR1,
  tgAR2,
  tgALB,
  tgTRK,
  tgYER,
  tgLEN,
  tgGEN,
  tgPUB,
  tgCOM,
  tgCOP,
  tgCMT,
  tgWWW,
  tgLIB,
  tgCount,
  tgUnknown = tgCount
};

constexpr uint32_t Key(const char* s) {
  return (uint32_t(uint8_t(s[0])) << 16) | (uint32_t(uint8_t(s[1])) << 8) | uint8_t(s[2]);
}

TTag TagOf(const char* s) {
  switch (Key(s)) {
    case Key("PTH"):
      return tgPTH;
    case Key("REL"):
      return tgREL;
    case Key("FMD"):
      return tgFMD;
    case Key("NAM"):
      return tgNAM;
    case Key("RES"):
      return tgRES;
    case Key("TIT"):
      return tgTIT;
    case Key("AR1"):
      return tgAR1;
    case Key("AR2"):
      return tgAR2;
    case Key("ALB"):
      return tgALB;
    case Key("TRK"):
      return tgTRK;
    case Key("YER"):
      return tgYER;
    case Key("LEN"):
      return tgLEN;
    case Key("GEN"):
      return tgGEN;
    case Key("PUB"):
      return tgPUB;
    case Key("COM"):
      return tgCOM;
    case Key("COP"):
      return tgCOP;
    case Key("CMT"):
      return tgCMT;
    case Key("WWW"):
      return tgWWW;
    case Key("LIB"):
      return tgLIB;
    default:
      return tgUnknown;
  }
}

size_t ReadLength(const char* p) { return (size_t(uint8_t(p[0])) << 8) | uint8_t(p[1]); }

// Walks the records of a file (after its header). A record cut short by the
// end of the file ends the walk; it comes back with `truncated` set.
class TRecordReader {
 public:
  // Records start at `start`. Unless `atEnd`, the data is a part of the file
  // and a record not wholly in it is left for the next part.
  explicit TRecordReader(std::string_view data, size_t start = kLibraryDbHeader.size(), bool atEnd = true)
      : Data(data), Pos(start), AtEnd(atEnd) {}
  bool Next(std::string_view& type, std::string_view& body, bool& truncated) {
    if (Pos >= Data.size()) return false;
    const size_t left = Data.size() - Pos;
    if (!AtEnd && (left < 5 || left - 5 < ReadLength(Data.data() + Pos + 3))) return false;
    truncated = false;
    if (left < 5) {
      type = Data.substr(Pos, std::min<size_t>(left, 3));
      body = {};
      truncated = true;
      Pos = Data.size();
      return true;
    }
    type = Data.substr(Pos, 3);
    const size_t length = ReadLength(Data.data() + Pos + 3);
    Pos += 5;
    body = Data.substr(Pos, length);
    truncated = body.size() < length;
    Pos += body.size();
    return true;
  }

  size_t Position() const { return Pos; }

 private:
  std::string_view Data;
  size_t Pos;
  bool AtEnd;
};

// Calls f(tag, value) for each field; false when the fields do not fill the body exactly.
template <class F>
bool ForEachField(std::string_view body, F&& f) {
  size_t pos = 0;
  while (pos < body.size()) {
    if (body.size() - pos < 5) return false;
    const size_t length = ReadLength(body.data() + pos + 3);
    if (body.size() - pos - 5 < length) return false;
    f(body.substr(pos, 3), body.substr(pos + 5, length));
    pos += 5 + length;
  }
  return true;
}

// The first value of each known tag in a body; absent tags are empty.
struct TFieldTable {
  std::array<std::string_view, tgCount> Values{};
  std::array<bool, tgCount> Seen{};
  bool Parse(std::string_view body) {
    Seen.fill(false);
    Values.fill({});
    return ForEachField(body, [this](std::string_view tag, std::string_view value) {
      const TTag t = TagOf(tag.data());
      if (t != tgUnknown && !Seen[t]) {
        Seen[t] = true;
        Values[t] = value;
      }
    });
  }
  std::string_view operator[](TTag t) const { return Values[t]; }
};

// A number field: absent or empty gives `fallback`; false when it is not an integer.
bool NumberField(std::string_view value, int32_t fallback, int32_t& out) {
  if (value.empty()) {
    out = fallback;
    return true;
  }
  const std::optional<int32_t> n = ParseInt32(value);
  if (!n) return false;
  out = *n;
  return true;
}

class TLoader {
 public:
  TLoader(TLibrary& library, const TLoadOptions& options) : Library(library), Options(options) {}

  // A whole file in memory. False when it is damaged.
  bool Load(std::string_view file) {
    if (file.size() < kLibraryDbHeader.size()) return TooShort();
    Reserve(file.size());
    Feed(file.substr(kLibraryDbHeader.size()), true);
    return Whole;
  }

  // A track record takes some 250 bytes; room for more than that is cheap.
  void Reserve(size_t fileSize) { Library.ReserveTracks(Library.TrackCount() + fileSize / 200); }
  bool TooShort() {
    Library.CrawlTasks.QueueFullCrawl();
    return Whole = false;
  }
  // Handles the records wholly in `data` (a part of the file after its
  // header); at the end of the file also one cut short. The bytes used.
  size_t Feed(std::string_view data, bool atEnd) {
    TRecordReader reader(data, 0, atEnd);
    std::string_view type, body;
    bool truncated = false;
    while (!Stopped() && reader.Next(type, body, truncated)) {
      if (truncated || !HandleRecord(type, body)) TooShort();
      if (Options.Pump) Options.Pump->PumpMessages();
    }
    return reader.Position();
  }
  bool Stopped() const { return Options.Cancel && Options.Cancel->load(std::memory_order_relaxed); }
  bool Whole = true;  // no record was damaged

 private:
  // False when the record is damaged.
  bool HandleRecord(std::string_view type, std::string_view body) {
    if (type == "MUS") return HandleTrack(body);
    if (type == "PLS") return HandleItem(body, Library.Playlists);
    if (type == "VID") return HandleItem(body, Library.Videos);
    if (type == "SET") {
      if (!Fields.Parse(body)) return false;
      if (Fields[tgLIB] == kIncomplete) {
        Library.CrawlTasks.QueueFullCrawl();
        Library.Flags.LibraryDirty = true;
      }
    }
    return true;  // other types are skipped
  }

  // The path of an entry: relative ones resolved against the program's folder.
  // Empty when the entry is unusable (a full crawl is then queued).
  std::string_view EntryPath(bool relative) {
    std::string_view path = Fields[tgPTH];
    if (relative && !path.empty()) {
      Resolved = ExpandPath(Library.ProgramFolder(), path);
      path = Resolved;
    }
    if (path.empty() || !Library.IsInLibraryFolders(path)) {
      Library.CrawlTasks.QueueFullCrawl();
      return {};
    }
    return path;
  }

  bool HandleTrack(std::string_view body) {
    if (!Fields.Parse(body)) return false;
    TTrackFields f;
    f.Relative = !Fields[tgREL].empty();
    f.Path = EntryPath(f.Relative);
    if (f.Path.empty()) return true;
    Library.PrefetchTrack(f.Path);  // in cache by the time the track is built
    int32_t readResult = 2;
    if (!NumberField(Fields[tgFMD], 0, f.FileDate) || !NumberField(Fields[tgRES], 2, readResult) ||
        readResult < 0 || readResult > 255 || !NumberField(Fields[tgTRK], 0, f.Track) ||
        !NumberField(Fields[tgYER], 0, f.Year) || !NumberField(Fields[tgLEN], 0, f.Length))
      return false;
    f.ReadResult = static_cast<uint8_t>(readResult);
    if (readResult == 2) Library.CrawlTasks.QueueRecheck();
    f.Title = Fields[tgTIT];
    f.Artist = Fields[tgAR1];
    f.AlbumArtist = Fields[tgAR2];
    f.Album = Fields[tgALB];
    f.Genre = Fields[tgGEN];
    f.Publisher = Fields[tgPUB];
    f.Composer = Fields[tgCOM];
    f.Copyright = Fields[tgCOP];
    f.Comment = Fields[tgCMT];
    f.URL = Fields[tgWWW];
    // The name the album would give it, settled now so the track is built once.
    f.Name = TTrack::NameForAlbum(Fields[tgNAM], f.Title, f.Path, NameScratch);
    Library.AddTrack(TTrack::Create(f, &Library.BulkArena()));
    return true;
  }

  bool HandleItem(std::string_view body, TLibraryItems& items) {
    if (!Fields.Parse(body)) return false;
    const bool relative = !Fields[tgREL].empty();
    const std::string_view path = EntryPath(relative);
    if (!path.empty()) items.Add(path, Fields[tgNAM], relative);
    return true;
  }

  TLibrary& Library;
  const TLoadOptions& Options;
  TFieldTable Fields;
  std::string Resolved;
  std::string NameScratch;
};

// Feeds the file to the loader a block at a time, so its bytes are never all
// in memory beside the library made of them. False when it cannot be read.
bool LoadFromFile(TLoader& loader, const std::string& fileName) {
  constexpr size_t kBlock = size_t(1) << 20;
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0) loader.Reserve(static_cast<size_t>(st.st_size));
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  // Room for a block and a record cut at its end (at most 5 + 65535 bytes).
  std::string buffer(kBlock + 5 + kMaxLength, '\0');
  size_t have = 0;
  bool header = true, atEnd = false, read = true;
  while (!atEnd && !loader.Stopped()) {
    const ssize_t n = ::read(fd, buffer.data() + have, buffer.size() - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      read = false;
      break;
    }
    atEnd = n == 0;
    have += static_cast<size_t>(n);
    size_t start = 0;
    if (header) {
      if (have < kLibraryDbHeader.size()) {
        if (atEnd) loader.TooShort();
        continue;
      }
      start = kLibraryDbHeader.size();
      header = false;
    }
    const size_t used = start + loader.Feed(std::string_view(buffer.data() + start, have - start), atEnd);
    std::memmove(buffer.data(), buffer.data() + used, have - used);
    have -= used;
  }
  ::close(fd);
  return read;
}

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return ::stat(fileName.c_str(), &st) == 0;
}

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
    if (value.empty() || used + 5 > kMaxLength) return;
    value = CutUtf8(value, std::min(kMaxLength, kMaxLength - used - 5));
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

}  // namespace

bool ReadDbRecords(std::string_view file, std::vector<TDbRecord>& records) {
  records.clear();
  if (file.size() < kLibraryDbHeader.size()) return false;
  TRecordReader reader(file);
  TDbRecord record;
  bool truncated = false;
  while (reader.Next(record.Type, record.Body, truncated)) {
    record.Fields.clear();
    const bool whole = ForEachField(record.Body, [&](std::string_view tag, std::string_view value) {
      record.Fields.push_back({tag, value});
    });
    record.Damaged = truncated || !whole;
    records.push_back(record);
  }
  return true;
}

bool LoadLibraryFromBytes(TLibrary& library, std::string_view file, const TLoadOptions& options) {
  return TLoader(library, options).Load(file);
}

void LoadLibrary(TLibrary& library, const std::string& fileName, const TLoadOptions& options) {
  if (!FileExists(fileName) || options.SettingsBuild < 17) {
    library.CrawlTasks.QueueFullCrawl();
  } else {
    const std::string shownBefore = library.BusyText;
    library.BusyText = kLoadingText;
    library.Loading = true;
    TLoader loader(library, options);
    if (!LoadFromFile(loader, fileName))
      library.CrawlTasks.QueueFullCrawl();
    else if (!loader.Whole)
      library.DamagedDbPath = fileName;
    library.Loading = false;
    library.BusyText = shownBefore;
  }
  library.Loaded = true;
  if (options.Pump) options.Pump->PumpMessages();
  library.Flags.ListsStale = true;
}

namespace {

void EncodeRecords(const TLibrary& library, TWriter& w) {
  if (library.CrawlUnfinished()) {
    w.BeginRecord("SET");
    w.Field("LIB", kIncomplete);
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
