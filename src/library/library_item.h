// One named file of the library (a video, a playlist, or the base of a track).
// Texts are fixed when the item is made; their case-folded forms are made at
// the same time so the search never folds library texts itself.
#pragma once

#include <string>
#include <string_view>

#include "library/text_pack.h"

namespace tunevale {

// The change flags of the library; owned by TLibrary, shared with its lists.
struct TLibraryFlags {
  bool LibraryDirty = false;  // changed since the last save
  bool ListsStale = false;    // the views must be refilled
  bool CancelCrawl = false;   // the running crawl should stop early
};

class TLibraryItem {
 public:
  // `path` is kept exactly as given; `name` as given (the caller picks it).
  TLibraryItem(std::string_view path, std::string_view name, bool relative);
  TLibraryItem(const TLibraryItem&) = delete;
  TLibraryItem& operator=(const TLibraryItem&) = delete;

  std::string_view Path() const { return Texts.Get(kPath); }
  std::string_view Name() const { return Texts.Get(kName); }
  // Unicode case-folded Path and Name, for case-insensitive search.
  std::string_view FoldedPath() const { return Texts.Get(kFoldedPath); }
  std::string_view FoldedName() const { return Texts.Get(kFoldedName); }

  // Where the texts are kept (null before they are built).
  const void* TextData() const { return Texts.Data(); }

  // The file lies under a library folder given relative to the program's folder.
  bool Relative() const { return IsRelative; }
  void SetRelative(bool relative) { IsRelative = relative; }

 protected:
  TLibraryItem() = default;  // for TTrack, which builds the texts itself
  enum : size_t { kPath, kName, kFoldedPath, kFoldedName, kItemSlots };
  TTextPack Texts;
  bool IsRelative = false;
};

}  // namespace tunevale
