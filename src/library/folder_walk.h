// A depth-first walk of a library folder, one entry at a time in the order the
// file system lists them, so the crawler can look ahead of the entry it handles.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "media/media_kind.h"

namespace tunevale {

// The file's modification time as the stored FileDate: the DOS packed date and
// time of the local time (date in the high 16 bits, time in the low 16 bits,
// two-second steps, years 1980 to 2107 with earlier times clamped to 1980).
// It fits the 32-bit field, and equal values mean an unchanged file.
int32_t PackFileDate(time_t modificationTime);
// The FileDate of the file at `path`; false when it cannot be looked up.
bool ReadFileDate(const std::string& path, int32_t& fileDate);

struct TFolderEntry {
  uint32_t NameOffset = 0;  // into the listing's one block of names
  uint32_t NameLength = 0;
  bool IsFolder = false;
  bool ViaLink = false;  // a symbolic link to a folder
  TMediaKind Kind = mkUnknown;
  int32_t FileDate = 0;  // of a music file
  dev_t Device = 0;      // of a linked folder's target
  ino_t Inode = 0;
};

// One entry met by the walk. A folder step means the walk entered it: the steps
// of its entries follow, one level deeper.
struct TWalkStep {
  std::string Path;
  TFolderEntry Entry;
  int Depth = 0;  // 0 for the entries of the walk's own folder
};

class TFolderWalk {
 public:
  // Asked before a folder met on the way is entered, with its parent's path (ending in "/").
  using TMayEnter = std::function<bool(const std::string& parent, const TWalkStep& folder)>;

  // Lists `folder` (normalised, ending in "/") at once; a folder that cannot be listed gives no steps.
  TFolderWalk(const std::string& folder, const TFileExtensions& extensions, TMayEnter mayEnter);
  // The next step; false at the end. Media files other than music carry no time stamp.
  bool Next(TWalkStep& step);

 private:
  struct TFolder {
    std::string Prefix;  // ends in "/"
    std::string Names;
    std::vector<TFolderEntry> Entries;
    size_t Next = 0;
  };

  void Enter(const std::string& prefix);

  const TFileExtensions& Extensions;
  TMayEnter MayEnter;
  // The listings of the folders entered and not finished. Each is read whole and
  // closed at once, so a deep tree does not hold one descriptor per level.
  std::vector<TFolder> Stack;
};

}  // namespace tunevale
