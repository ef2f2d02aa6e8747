#include "library/folder_walk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <utility>

namespace tunevale {

namespace {

// Lists a folder in the order the file system returns it. Time stamps are taken
// for music files only (the rest need none).
template <typename TListing>
bool ListFolder(const std::string& folder, const TFileExtensions& extensions, TListing& listing) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  const int fd = dirfd(dir);
  struct stat st;
  while (const dirent* d = readdir(dir)) {
    const std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    TFolderEntry entry;
    bool isLink = d->d_type == DT_LNK;
    if (d->d_type == DT_UNKNOWN) {  // file systems that do not say: ask
      if (fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      isLink = S_ISLNK(st.st_mode);
      entry.IsFolder = S_ISDIR(st.st_mode);
    } else {
      entry.IsFolder = d->d_type == DT_DIR;
    }
    if (!entry.IsFolder) {
      entry.Kind = extensions.GetFileKind(name);
      if (entry.Kind == mkUnknown && !isLink) continue;
    }
    if (isLink || entry.Kind == mkMusic) {
      if (fstatat(fd, d->d_name, &st, 0) != 0) continue;  // gone meanwhile, or a dangling link
      if (S_ISDIR(st.st_mode)) {
        entry = {};
        entry.IsFolder = true;
        entry.ViaLink = isLink;
        entry.Device = st.st_dev;
        entry.Inode = st.st_ino;
      } else {
        if (!S_ISREG(st.st_mode) || entry.Kind == mkUnknown) continue;
        entry.FileDate = PackFileDate(st.st_mtime);
      }
    }
    entry.NameOffset = static_cast<uint32_t>(listing.Names.size());
    entry.NameLength = static_cast<uint32_t>(name.size());
    listing.Names += name;
    listing.Entries.push_back(entry);
  }
  closedir(dir);
  return true;
}

}  // namespace

int32_t PackFileDate(time_t modificationTime) {
  tm local{};
  if (!localtime_r(&modificationTime, &local) || local.tm_year < 80) return (0 << 9 | 1 << 5 | 1) << 16;
  const uint32_t year = static_cast<uint32_t>(std::min(local.tm_year - 80, 127));
  const uint32_t date =
      year << 9 | static_cast<uint32_t>(local.tm_mon + 1) << 5 | static_cast<uint32_t>(local.tm_mday);
  const uint32_t time = static_cast<uint32_t>(local.tm_hour) << 11 |
                        static_cast<uint32_t>(local.tm_min) << 5 | static_cast<uint32_t>(local.tm_sec / 2);
  return static_cast<int32_t>(date << 16 | time);
}

bool ReadFileDate(const std::string& path, int32_t& fileDate) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return false;
  fileDate = PackFileDate(st.st_mtime);
  return true;
}

TFolderWalk::TFolderWalk(const std::string& folder, const TFileExtensions& extensions, TMayEnter mayEnter)
    : Extensions(extensions), MayEnter(std::move(mayEnter)) {
  Enter(folder);
}

void TFolderWalk::Enter(const std::string& prefix) {
  TFolder folder;
  folder.Prefix = prefix;
  if (ListFolder(prefix, Extensions, folder)) Stack.push_back(std::move(folder));
}

bool TFolderWalk::Next(TWalkStep& step) {
  while (!Stack.empty()) {
    TFolder& folder = Stack.back();
    if (folder.Next == folder.Entries.size()) {
      Stack.pop_back();
      continue;
    }
    step.Entry = folder.Entries[folder.Next++];
    // The prefix is normalised and ends in "/", and a name holds no "/": the
    // full name is normalised as it stands.
    step.Path.assign(folder.Prefix).append(folder.Names, step.Entry.NameOffset, step.Entry.NameLength);
    step.Depth = static_cast<int>(Stack.size()) - 1;
    if (!step.Entry.IsFolder) return true;
    if (!MayEnter(folder.Prefix, step)) continue;
    Enter(step.Path + "/");  // `folder` may move
    return true;
  }
  return false;
}

}  // namespace tunevale
