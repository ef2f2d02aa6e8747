// Reading "Library.db": a file load parses on one thread and files the
// tracks in the library on another.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "library/chunk_prefaulter.h"
#include "library/library_database.h"
#include "util/path.h"
#include "util/runtime.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr std::string_view kLoadingText = "Loading library...";
// From this size a load reads in bigger blocks and zeroes arena pages ahead on a thread.
constexpr size_t kBigFile = size_t(16) << 20;

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

// One thing a record asks of the library. Steps are made without touching
// the library (on the reading thread) and applied in file order.
struct TLoadStep {
  enum TKind : uint8_t { lsTrack, lsPlaylist, lsVideo, lsFullCrawl, lsRecheck, lsIncomplete, lsDamaged };
  TKind Kind = lsTrack;
  bool Relative = false;
  TTrackPtr Track;         // lsTrack
  std::string Path, Name;  // lsPlaylist, lsVideo
};
using TLoadSteps = std::vector<TLoadStep>;

// Turns records into steps. Keeps its own copy of the library's folders and
// builds tracks in the library's bulk arena, which nothing else touches
// during a load.
class TStepMaker {
 public:
  explicit TStepMaker(TLibrary& library)
      : ProgramFolder(library.ProgramFolder()),
        Folders(library.ResolvedLibraryFolders()),
        Arena(library.BulkArena()) {}

  TTrackArena& TrackArena() { return Arena; }

  // Makes the steps of the records wholly in `data` (a part of the file after
  // its header; at its end also one cut short) into `out`, while goOn() holds
  // before a record; after() follows each record. The bytes used.
  template <class TGoOn, class TAfter>
  size_t Feed(std::string_view data, bool atEnd, TLoadSteps& out, TGoOn&& goOn, TAfter&& after) {
    TRecordReader records(data, 0, atEnd);
    std::string_view type, body;
    bool truncated = false;
    while (goOn() && records.Next(type, body, truncated)) {
      if (truncated || !HandleRecord(type, body, out)) Add(out, TLoadStep::lsDamaged);
      after();
    }
    return records.Position();
  }

 private:
  static TLoadStep& Add(TLoadSteps& out, TLoadStep::TKind kind) {
    TLoadStep& step = out.emplace_back();
    step.Kind = kind;
    return step;
  }

  // False when the record is damaged.
  bool HandleRecord(std::string_view type, std::string_view body, TLoadSteps& out) {
    if (type == "MUS") return HandleTrack(body, out);
    if (type == "PLS") return HandleItem(body, TLoadStep::lsPlaylist, out);
    if (type == "VID") return HandleItem(body, TLoadStep::lsVideo, out);
    if (type == "SET") {
      if (!Fields.Parse(body)) return false;
      if (Fields[tgLIB] == kIncompleteMark) Add(out, TLoadStep::lsIncomplete);
    }
    return true;  // other types are skipped
  }

  // The path of an entry: relative ones resolved against the program's folder.
  // Empty when the entry is unusable (a full crawl is then queued).
  std::string_view EntryPath(bool relative, TLoadSteps& out) {
    std::string_view path = Fields[tgPTH];
    if (relative && !path.empty()) {
      Resolved = ExpandPath(ProgramFolder, path);
      path = Resolved;
    }
    if (path.empty() || !InLibraryFolders(path)) {
      Add(out, TLoadStep::lsFullCrawl);
      return {};
    }
    return path;
  }

  bool HandleTrack(std::string_view body, TLoadSteps& out) {
    if (!Fields.Parse(body)) return false;
    TTrackFields f;
    f.Relative = !Fields[tgREL].empty();
    f.Path = EntryPath(f.Relative, out);
    if (f.Path.empty()) return true;
    int32_t readResult = 2;
    if (!NumberField(Fields[tgFMD], 0, f.FileDate) || !NumberField(Fields[tgRES], 2, readResult) ||
        readResult < 0 || readResult > 255 || !NumberField(Fields[tgTRK], 0, f.Track) ||
        !NumberField(Fields[tgYER], 0, f.Year) || !NumberField(Fields[tgLEN], 0, f.Length))
      return false;
    f.ReadResult = static_cast<uint8_t>(readResult);
    if (readResult == 2) Add(out, TLoadStep::lsRecheck);
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
    Add(out, TLoadStep::lsTrack).Track = TTrack::Create(f, &Arena);
    return true;
  }

  bool HandleItem(std::string_view body, TLoadStep::TKind kind, TLoadSteps& out) {
    if (!Fields.Parse(body)) return false;
    const bool relative = !Fields[tgREL].empty();
    const std::string_view path = EntryPath(relative, out);
    if (path.empty()) return true;
    TLoadStep& step = Add(out, kind);
    step.Path = path;
    step.Name = Fields[tgNAM];
    step.Relative = relative;
    return true;
  }

  bool InLibraryFolders(std::string_view path) const {
    return std::any_of(Folders.begin(), Folders.end(),
                       [&](const std::string& folder) { return IsPathInFolder(path, folder); });
  }

  const std::string ProgramFolder;
  const std::vector<std::string> Folders;
  TTrackArena& Arena;
  TFieldTable Fields;
  std::string Resolved;
  std::string NameScratch;
};

// Applies steps to the library, on the loading thread.
class TLoader {
 public:
  TLoader(TLibrary& library, const TLoadOptions& options) : Library(library), Options(options) {}

  // A whole file in memory, on this thread. False when it is damaged.
  bool Load(std::string_view file) {
    if (file.size() < kLibraryDbHeader.size()) return TooShort();
    Reserve(file.size());
    TStepMaker maker(Library);
    Feed(maker, file.substr(kLibraryDbHeader.size()), true);
    return Whole;
  }

  // A track record takes some 250 bytes; room for more than that is cheap.
  void Reserve(size_t fileSize) { Library.ReserveTracks(Library.TrackCount() + fileSize / 200); }
  bool TooShort() {
    Library.CrawlTasks.QueueFullCrawl();
    Library.Flags.LibraryDirty = true;
    return Whole = false;
  }
  // Makes and applies the steps of the records in `data` (see
  // TStepMaker::Feed) one record at a time, pumping messages in between.
  size_t Feed(TStepMaker& maker, std::string_view data, bool atEnd) {
    return maker.Feed(
        data, atEnd, Steps, [&] { return !Stopped(); },
        [&] {
          Apply(Steps);
          if (Options.Pump) Options.Pump->PumpMessages();
        });
  }
  void Apply(TLoadSteps& steps) {
    // The index slot of a track a few steps on is asked for ahead of its insertion.
    constexpr size_t kAhead = 8;
    for (size_t i = 0; i < steps.size(); ++i) {
      if (i + kAhead < steps.size() && steps[i + kAhead].Track)
        Library.PrefetchTrack(steps[i + kAhead].Track->Path());
      Apply(steps[i]);
    }
    steps.clear();
  }
  bool Stopped() const { return Options.Cancel && Options.Cancel->load(std::memory_order_relaxed); }
  bool Pumps() const { return Options.Pump != nullptr; }
  bool Whole = true;  // no record was damaged

 private:
  void Apply(TLoadStep& step) {
    // What is filed as the file holds it leaves the library as saved, so a load
    // alone never rewrites the file; one that dropped or lacks something does.
    const bool dirty = Library.Flags.LibraryDirty;
    switch (step.Kind) {
      case TLoadStep::lsTrack:
        Library.AddTrack(std::move(step.Track));
        break;
      case TLoadStep::lsPlaylist:
        Library.Playlists.Add(step.Path, step.Name, step.Relative);
        break;
      case TLoadStep::lsVideo:
        Library.Videos.Add(step.Path, step.Name, step.Relative);
        break;
      case TLoadStep::lsRecheck:
        Library.CrawlTasks.QueueRecheck();
        break;
      case TLoadStep::lsFullCrawl:
      case TLoadStep::lsIncomplete:
        Library.CrawlTasks.QueueFullCrawl();
        Library.Flags.LibraryDirty = true;
        return;
      case TLoadStep::lsDamaged:
        TooShort();
        return;
    }
    Library.Flags.LibraryDirty = dirty;
  }

  TLibrary& Library;
  const TLoadOptions& Options;
  TLoadSteps Steps;
};

// Reads a file a block at a time, so its bytes are never all in memory beside
// the library made of them. `feed(data, atEnd)` takes the bytes after the
// header and answers how many it used; `tooShort` is called for a file
// shorter than its header. False when the file cannot be read.
template <class TFeed, class TStopped, class TTooShort>
bool ReadBlocks(int fd, size_t fileSize, TFeed&& feed, TStopped&& stopped, TTooShort&& tooShort) {
  // A small file's few blocks go through a buffer that stays in the cache: in a
  // fresh process every page of it costs a fault.
  const size_t block = size_t(fileSize >= kBigFile ? 1024 : 256) << 10;
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  // Room for a block and a record cut at its end (at most 5 + 65535 bytes), left
  // uninitialised: only what the reads fill is ever looked at.
  const size_t size = block + 5 + kMaxFieldLength;
  const std::unique_ptr<char[]> buffer(new char[size]);
  size_t have = 0;
  bool header = true, atEnd = false;
  while (!atEnd && !stopped()) {
    const ssize_t n = ::read(fd, buffer.get() + have, size - have);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    atEnd = n == 0;
    have += static_cast<size_t>(n);
    size_t start = 0;
    if (header) {
      if (have < kLibraryDbHeader.size()) {
        if (atEnd) tooShort();
        continue;
      }
      start = kLibraryDbHeader.size();
      header = false;
    }
    const size_t used = start + feed(std::string_view(buffer.get() + start, have - start), atEnd);
    std::memmove(buffer.get(), buffer.get() + used, have - used);
    have -= used;
  }
  return true;
}

// Batches of steps from the reading thread to the loading thread, in order.
// A bounded number wait, so the reader runs only a little ahead.
class TStepQueue {
 public:
  // Waits for room; false once the loading side has stopped taking.
  bool Push(TLoadSteps& batch) {
    std::unique_lock lock(Mutex);
    Room.wait(lock, [&] { return Full.size() < kAhead || Abandoned; });
    if (Abandoned) return false;
    Full.push_back(std::move(batch));
    batch = TakeSpare();
    Ready.notify_one();
    return true;
  }
  // Waits for the next batch; false when the reader finished and all were taken.
  bool Pop(TLoadSteps& batch) {
    std::unique_lock lock(Mutex);
    Ready.wait(lock, [&] { return !Full.empty() || Finished; });
    if (Full.empty()) return false;
    if (batch.capacity() > 0) Spare.push_back(std::move(batch));
    batch = std::move(Full.front());
    Full.pop_front();
    Room.notify_one();
    return true;
  }
  void Finish() {
    std::lock_guard lock(Mutex);
    Finished = true;
    Ready.notify_one();
  }
  void Abandon() {
    std::lock_guard lock(Mutex);
    Abandoned = true;
    Room.notify_one();
  }

 private:
  static constexpr size_t kAhead = 4;
  TLoadSteps TakeSpare() {
    if (Spare.empty()) return {};
    TLoadSteps batch = std::move(Spare.back());
    Spare.pop_back();
    return batch;
  }
  std::mutex Mutex;
  std::condition_variable Ready, Room;
  std::deque<TLoadSteps> Full;
  std::vector<TLoadSteps> Spare;
  bool Finished = false, Abandoned = false;
};

// On this thread, a record at a time: message handlers between records may
// look at the library.
bool LoadHere(TLoader& loader, TStepMaker& maker, int fd, size_t fileSize) {
  return ReadBlocks(
      fd, fileSize, [&](std::string_view data, bool atEnd) { return loader.Feed(maker, data, atEnd); },
      [&] { return loader.Stopped(); }, [&] { loader.TooShort(); });
}

// On two threads: a reader parses the records and builds the tracks (most of
// the work), this thread files them in the library in the file's order, so
// the library is the same as a load on one thread makes.
bool LoadPipelined(TLoader& loader, TStepMaker& maker, int fd, size_t fileSize) {
  constexpr size_t kBatch = 1024;
  TStepQueue queue;
  // A smaller file fills few chunks: pages zeroed ahead would mostly go unused.
  std::optional<TChunkPrefaulter> prefaulter;
  if (fileSize >= kBigFile) prefaulter.emplace();
  TTrackArena& arena = maker.TrackArena();
  arena.SetChunkSource(prefaulter ? &*prefaulter : nullptr);
  bool read = true, tooShort = false;
  std::exception_ptr failure;
  std::thread reader([&] {
    try {
      TLoadSteps batch;
      bool gaveUp = false;
      const auto feed = [&](std::string_view data, bool atEnd) {
        return maker.Feed(
            data, atEnd, batch, [&] { return !gaveUp; },
            [&] {
              if (batch.size() >= kBatch) gaveUp = !queue.Push(batch);
            });
      };
      read = ReadBlocks(
          fd, fileSize, feed, [&] { return gaveUp || loader.Stopped(); }, [&] { tooShort = true; });
      if (!batch.empty()) queue.Push(batch);
    } catch (...) {
      failure = std::current_exception();
    }
    queue.Finish();
  });
  {
    // The reader is let go and joined however this side ends; then the
    // arena maps its own chunks again.
    struct TJoin {
      TStepQueue& Queue;
      std::thread& Thread;
      TTrackArena& Arena;
      ~TJoin() {
        Queue.Abandon();
        Thread.join();
        Arena.SetChunkSource(nullptr);
      }
    } join{queue, reader, arena};
    TLoadSteps batch;
    while (!loader.Stopped() && queue.Pop(batch)) loader.Apply(batch);
  }
  if (failure) std::rethrow_exception(failure);
  if (tooShort) loader.TooShort();
  return read;
}

// False when the file cannot be read.
bool LoadFromFile(TLoader& loader, TLibrary& library, const std::string& fileName) {
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct TClose {
    int Fd;
    ~TClose() { ::close(Fd); }
  } close{fd};
  struct stat st {};
  const size_t size = ::fstat(fd, &st) == 0 && st.st_size > 0 ? static_cast<size_t>(st.st_size) : 0;
  if (size > 0) loader.Reserve(size);
  TStepMaker maker(library);
  return loader.Pumps() ? LoadHere(loader, maker, fd, size) : LoadPipelined(loader, maker, fd, size);
}

bool FileExists(const std::string& fileName) {
  struct stat st {};
  return ::stat(fileName.c_str(), &st) == 0;
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
    if (!LoadFromFile(loader, library, fileName))
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

}  // namespace tunevale
