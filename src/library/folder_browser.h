// The search-folders menu: the library folders, or the subfolders of the
// folder last descended into, so the user can walk the folders and see what
// each holds (a "FileName:" query for the folder).
#pragma once

#include <string>
#include <vector>

namespace tunevale {

struct TFolderMenuItem {
  std::string Caption;
  std::string Name;  // appended to the current folder when chosen; ends in "/"
  bool Enabled = true;

  bool operator==(const TFolderMenuItem&) const = default;
};

inline constexpr const char* kNoSubfoldersCaption = "No subfolders";

// With no current folder: one item per library folder (as resolved), named
// with its whole path. Otherwise one item per subfolder of `current` in name
// order (ignoring case), or the one disabled item "No subfolders" when it has
// none or cannot be read.
std::vector<TFolderMenuItem> FolderMenuItems(const std::string& current,
                                             const std::vector<std::string>& libraryFolders);

}  // namespace tunevale
