#include "library/crawler.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <limits>
#include <memory>
#include <thread>
#include <vector>

#include "library/tag_prefetcher.h"
#include "media/read_tags.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr const char* kSearchingText = "Searching for new files...";
constexpr const char* kCheckingText = "Checking current files...";
// How far the walk may run ahead of the entry the crawler handles.
constexpr size_t kMaxStepsAhead = 1024;
constexpr size_t kReadsAheadPerThread = 16;

std::string RealPath(const std::string& path) {
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return {};
  std::string result = real;
  free(real);
  return result;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Missing, or there but empty: a mount point whose disk is not mounted looks
// like that. (A folder that exists but cannot be listed is neither.)
bool IsMissingOrEmptyFolder(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return !FileExists(folder);
  bool empty = true;
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name != "." && name != "..") {
      empty = false;
      break;
    }
  }
  closedir(dir);
  return empty;
}

}  // namespace

TCrawler::TCrawler(TLibrary& library, const TFileExtensions& extensions, TMessagePump& pump,
                   TTagReader readTags)
    : Library(library), Extensions(extensions), Pump(pump), ReadTagsFunction(std::move(readTags)) {
  if (!ReadTagsFunction) {
    ReadTagsFunction = [this](const std::string& path, TMetaData& meta, bool fromLibrary) {
      return tunevale::ReadTags(path, meta, fromLibrary, &Library);
    };
    ReadThreads = std::max(1u, std::thread::hardware_concurrency());
  }
}

uint8_t TCrawler::ReadTags(const std::string& path, TMetaData& meta, bool fromLibrary) {
  ++TagReadCount;
  return ReadTagsFunction(path, meta, fromLibrary);
}

void TCrawler::CancelCrawlActionExecute() {
  if (Library.Crawling) Library.Flags.CancelCrawl = true;
}

void TCrawler::ProcessCrawlTasks() {
  if (Library.Crawling) return;
  TCrawlTasks& tasks = Library.CrawlTasks;
  if (tasks.Count() == 0) return;
  Library.BusyText = kSearchingText;
  // One task after the other. A task leaves the queue as it starts, so a change
  // noticed during its run queues the same task again and is looked at afterwards.
  while (!Library.Crawling && tasks.Count() > 0) {
    Task = tasks.Task(0);
    tasks.PopFirst();
    Library.Flags.CancelCrawl = false;
    Task.Path = NormalizePath(Task.Path);
    Library.BusyText = kSearchingText;
    if (!Library.Settings().UseLibrary) {
      Library.Clear();
    } else {
      Library.Crawling = true;
      RunTask();
    }
    if (RefreshLibraryLists && Library.Flags.ListsStale) {
      try {
        RefreshLibraryLists();
      } catch (...) {
        // A failed refill leaves the old lists; the next refill repairs them.
      }
    }
    Library.Crawling = false;
  }
  Library.BusyText.clear();
}

void TCrawler::RunTask() {
  Listed.clear();
  ReadInCheck.clear();
  LinkedFolders.clear();
  TaskFolder = Task.Path.empty() ? std::string() : Library.ResolveFolder(Task.Path);
  if (Task.SearchNew || Task.ForceReread) {
    if (Task.Path.empty()) {
      // The settings dialog may change the folders meanwhile: re-read the count.
      for (size_t i = 0; i < Library.Settings().LibraryFolders.size(); ++i) {
        const std::string entry = Library.Settings().LibraryFolders[i];
        const std::string resolved = Library.ResolveFolder(entry);
        CrawlFolder(resolved, resolved != entry);
      }
    } else {
      CrawlFolder(TaskFolder, IsUnderRelativeFolder(TaskFolder));
    }
  }
  if (!Cancelled()) {
    Library.BusyText = kCheckingText;
    CheckCurrentFiles();
  }
  if (!Cancelled()) Library.RemoveEmpty();
  Listed.clear();
  ReadInCheck.clear();
}

std::unique_ptr<TTagPrefetcher> TCrawler::MakePrefetcher() const {
  if (ReadThreads == 0) return nullptr;
  return std::make_unique<TTagPrefetcher>(ReadThreads, [](const std::string& path, TMetaData& meta) {
    // Without the library: its copy, which stands in for a file that cannot be
    // opened, is asked for on this thread when the file's turn comes.
    return tunevale::ReadTags(path, meta, false);
  });
}

void TCrawler::CrawlFolder(const std::string& folder, bool relative) {
  if (Cancelled()) return;
  TFolderWalk walk(
      IncludeTrailingSlash(NormalizePath(folder)), Extensions,
      [this](const std::string& parent, const TWalkStep& step) { return MayEnter(parent, step); });
  const std::unique_ptr<TTagPrefetcher> prefetcher = MakePrefetcher();
  // The walk runs ahead of the entries handled, far enough to keep the readers busy.
  const size_t maxAhead = prefetcher ? kMaxStepsAhead : 1;
  const size_t maxReads = kReadsAheadPerThread * ReadThreads;
  struct TAhead {
    TWalkStep Step;
    size_t Ticket;
    bool Read;  // queued for reading
  };
  std::deque<TAhead> ahead;
  size_t tickets = 0, reads = 0;  // reads queued and not yet handled
  bool walked = false;
  // Steps deeper than this lie in a folder the crawl did not enter after all.
  int skipBelow = std::numeric_limits<int>::max();
  for (;;) {
    while (!walked && ahead.size() < maxAhead && (!prefetcher || reads < maxReads)) {
      TWalkStep step;
      if (!walk.Next(step)) {
        walked = true;
        break;
      }
      const size_t ticket = tickets++;
      const bool read =
          prefetcher && step.Entry.Kind == mkMusic && !UnchangedTrack(step.Path, step.Entry.FileDate);
      if (read) prefetcher->Queue(ticket, step.Path);
      reads += read;
      ahead.push_back({std::move(step), ticket, read});
    }
    if (ahead.empty()) break;
    const auto [step, ticket, read] = std::move(ahead.front());
    ahead.pop_front();
    reads -= read;
    if (step.Depth > skipBelow) continue;
    skipBelow = std::numeric_limits<int>::max();
    if (step.Entry.IsFolder) {
      // Cancelling stops the crawl from entering any further folder.
      if (Cancelled()) skipBelow = step.Depth;
      continue;
    }
    CrawlFile(step, relative, prefetcher.get(), ticket);
    Pump.PumpMessages();
  }
}

bool TCrawler::MayEnter(const std::string& parent, const TWalkStep& folder) {
  const TFolderEntry& entry = folder.Entry;
  return Task.Recursive &&
         (!entry.ViaLink || MayEnterLinkedFolder(parent, folder.Path, entry.Device, entry.Inode)) &&
         !Cancelled();
}

const TTrack* TCrawler::UnchangedTrack(const std::string& path, int32_t fileDate) const {
  // The walk's paths are normalised as they stand.
  const TTrack* track = Library.TrackOfPath(path);
  return track && track->FileDate() == fileDate && track->ReadResult() != 2 && !Task.ForceReread ? track
                                                                                                 : nullptr;
}

void TCrawler::CrawlFile(const TWalkStep& step, bool relative, TTagPrefetcher* prefetcher, size_t ticket) {
  const std::string& path = step.Path;
  switch (step.Entry.Kind) {
    case mkMusic: {
      // Asked again: the library may have changed since the walk passed here.
      const TTrack* track = UnchangedTrack(path, step.Entry.FileDate);
      if (!track) track = AddFreshTrack(path, relative, step.Entry.FileDate, prefetcher, ticket);
      Listed.push_back(track);
      break;
    }
    case mkPlaylist:
    case mkVideo: {
      TLibraryItems& items = step.Entry.Kind == mkVideo ? Library.Videos : Library.Playlists;
      // Only what is new changes the library (so a search of unchanged folders saves nothing).
      int i = items.Find(path);
      if (i < 0) {
        items.Add(path, FileDisplayName(ExtractFileName(path)), relative);
        i = items.Find(path);
      }
      if (i >= 0) Listed.push_back(items.Item(i));
      break;
    }
    default:
      break;
  }
}

bool TCrawler::MayEnterLinkedFolder(const std::string& parent, const std::string& link, dev_t device,
                                    ino_t inode) {
  // Only links can make a folder tree loop. Each linked folder is walked once, and
  // never one that holds the folder the link is in (that would go round for ever).
  if (!LinkedFolders.emplace(device, inode).second) return false;
  const std::string target = RealPath(link);
  const std::string here = RealPath(parent);
  return !target.empty() && !here.empty() && !IsPathInFolder(here, target);
}

const TTrack* TCrawler::AddFreshTrack(const std::string& path, bool relative, int32_t fileDate,
                                      TTagPrefetcher* prefetcher, size_t ticket) {
  TMetaData meta;
  uint8_t result = ReadResultOk;
  if (prefetcher && prefetcher->Take(ticket, meta, result) && result != ReadResultNotOpened)
    ++TagReadCount;
  else
    result = ReadTags(path, meta, false);
  meta.FileDate = fileDate;
  return Library.AddTrack(TTrack::Create(path, FileDisplayName(path), meta, result, relative));
}

bool TCrawler::IsUnderRelativeFolder(std::string_view path) const {
  // Watcher and player tasks carry full paths; the flag comes from the library
  // folder holding them, as written in the settings, so a portable library stays
  // relative whichever way its files were found.
  for (const std::string& entry : Library.Settings().LibraryFolders) {
    const std::string resolved = Library.ResolveFolder(entry);
    if (IsPathInFolder(path, resolved)) return resolved != entry;
  }
  return path != Task.Path;
}

bool TCrawler::IsOffline(std::string_view path) {
  bool inside = false;
  for (const std::string& entry : Library.Settings().LibraryFolders) {
    const std::string resolved = Library.ResolveFolder(entry);
    if (!IsPathInFolder(path, resolved)) continue;
    inside = true;
    auto known = MissingRoots.find(resolved);
    if (known == MissingRoots.end())
      known = MissingRoots.emplace(resolved, IsMissingOrEmptyFolder(resolved)).first;
    if (!known->second) return false;
  }
  return inside;
}

bool TCrawler::IsVerified(const TLibraryItem* item) const {
  return std::binary_search(Listed.begin(), Listed.end(), item) || ReadInCheck.count(item);
}

void TCrawler::CheckCurrentFiles() {
  MissingRoots.clear();
  std::sort(Listed.begin(), Listed.end());
  // Indices, not pointers: the library may change under us at every pump.
  int a = 0, b = 0, t = 0;
  while (!Cancelled()) {
    if (a >= Library.ArtistCount()) break;
    const TArtist* artist = Library.Artist(a);
    if (b >= artist->AlbumCount()) {
      ++a, b = 0, t = 0;
      continue;
    }
    const TAlbum* album = artist->Album(b);
    if (t >= album->TrackCount()) {
      ++b, t = 0;
      continue;
    }
    const TTrack* track = album->Track(t);
    if (!TaskFolder.empty() && !IsPathInFolder(track->Path(), TaskFolder)) {
      ++t;
      continue;
    }
    if (!Library.IsInLibraryFolders(track->Path())) {
      Library.RemoveTrack(a, b, t);
    } else if (IsVerified(track)) {
      // Listed a moment ago with an unchanged time stamp, or read in this run: a
      // file that cannot be read would otherwise be re-added behind us and read forever.
      ++t;
    } else {
      const std::string path(track->Path());
      struct stat st;
      if (stat(path.c_str(), &st) == 0) {
        const int32_t fileDate = PackFileDate(st.st_mtime);
        if (fileDate == track->FileDate() && track->ReadResult() != 2) {
          ++t;
        } else {
          const bool relative = track->Relative();
          Library.RemoveTrack(a, b, t);
          ReadInCheck.insert(AddFreshTrack(path, relative, fileDate));
        }
      } else if (errno != ENOENT && errno != ENOTDIR) {
        ++t;  // cannot be looked up now: left for a later check
      } else if (IsOffline(path)) {
        ++t;  // its library folder is missing or empty (an unmounted disk): kept as it is
      } else {
        Library.RemoveTrack(a, b, t);
      }
    }
    Pump.PumpMessages();
  }
  if (Cancelled()) return;
  CheckItems(Library.Playlists);
  CheckItems(Library.Videos);
}

void TCrawler::CheckItems(TLibraryItems& items) {
  for (int i = 0; i < items.Count() && !Cancelled();) {
    const TLibraryItem* item = items.Item(i);
    const std::string path(item->Path());
    const bool inside = Library.IsInLibraryFolders(path);
    if (inside && (IsVerified(item) || FileExists(path) || IsOffline(path)))
      ++i;
    else
      items.Delete(i);
    Pump.PumpMessages();
  }
}

uint8_t TCrawler::NoticeFile(const std::string& path, TMetaData& meta, bool fromLibrary) {
  const uint8_t result = ReadTags(path, meta, fromLibrary);
  const std::string normal = NormalizePath(path);
  bool queued = false;
  if (result == 0) {
    const TTrack* track = Library.FindTrackByPath(normal);
    bool due = false;
    bool force = false;
    if (!track) {
      due = Library.Videos.Find(normal) < 0 && Library.Playlists.Find(normal) < 0 &&
            Library.IsInLibraryFolders(normal);
    } else if (!fromLibrary) {
      int32_t fileDate = 0;
      if (!ReadFileDate(path, fileDate) || fileDate != track->FileDate()) {
        due = true;
      } else if (!MetaDataEquals(track->Meta(), meta)) {
        // The tags changed without the file changing (the stored copy is stale).
        due = true;
        force = true;
      }
    }
    if (due) {
      QueueFolderOf(normal, force);
      queued = true;
    }
  }
  if (!fromLibrary && !queued && Library.IsInLibraryFolders(normal) && !FileExists(path))
    QueueFolderOf(normal, false);
  return result;
}

void TCrawler::QueueFolderOf(std::string_view path, bool forceReread) {
  Library.CrawlTasks.AddTask(ExtractFileDir(path), false, true, forceReread);
}

void TCrawler::AskRefreshSoon() {
  if (RefreshSoon) RefreshSoon();
}

void TCrawler::ShellChange1(TFolderEventKind kind, const std::string& path) {
  if (Library.IsInLibraryFolders(path)) {
    if (kind == fekFolderCreated || kind == fekFolderRemoved)
      Library.CrawlTasks.AddTask(path, true, true, false);
    else
      QueueFolderOf(path, false);
  }
  AskRefreshSoon();
}

void TCrawler::ShellChange2(TFolderEventKind kind, const std::string& oldPath, const std::string& newPath) {
  for (const std::string* path : {&newPath, &oldPath}) {
    if (!Library.IsInLibraryFolders(*path)) continue;
    if (kind == fekFolderRenamed)
      Library.CrawlTasks.AddTask(*path, true, true, false);
    else
      QueueFolderOf(*path, false);
  }
  AskRefreshSoon();
}

void TCrawler::HandleFolderEvent(const TFolderEvent& event) {
  switch (event.Kind) {
    case fekRenamed:
    case fekFolderRenamed:
      ShellChange2(event.Kind, event.Path, event.NewPath);
      break;
    case fekEventsLost:
      // Changes went unreported: look at the whole watched folder again.
      if (Library.IsInLibraryFolders(event.Path)) Library.CrawlTasks.AddTask(event.Path, true, true, false);
      AskRefreshSoon();
      break;
    case fekUnwatched:
      NoteUnwatched(event.Path);
      break;
    default:
      ShellChange1(event.Kind, event.Path);
      break;
  }
}

void TCrawler::WatchLibraryFolders(TFolderWatcher& watcher) {
  std::vector<std::string> roots;
  for (const std::string& entry : Library.Settings().LibraryFolders)
    roots.push_back(Library.ResolveFolder(entry));
  watcher.OnChange = [this](const TFolderEvent& event) { HandleFolderEvent(event); };
  Unwatched.clear();
  watcher.SetRoots(roots);
}

void TCrawler::NoteUnwatched(const std::string& folder) {
  for (const std::string& known : Unwatched)
    if (IsPathInFolder(folder, known)) return;
  std::erase_if(Unwatched, [&](const std::string& known) { return IsPathInFolder(known, folder); });
  Unwatched.push_back(folder);
}

bool TCrawler::QueueUnwatchedFolders() {
  bool queued = false;
  for (const std::string& folder : Unwatched) {
    if (!Library.IsInLibraryFolders(folder)) continue;
    Library.CrawlTasks.AddTask(folder, true, true, false);
    queued = true;
  }
  return queued;
}

}  // namespace tunevale
