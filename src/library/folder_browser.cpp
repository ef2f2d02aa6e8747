#include "library/folder_browser.h"

#include <algorithm>
#include <filesystem>

#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

std::vector<std::string> Subfolders(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::error_code statError;  // a broken link is no folder
    if (it->is_directory(statError)) names.push_back(it->path().filename().string());
  }
  std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
    const std::string fa = CaseFold(a), fb = CaseFold(b);
    return fa != fb ? fa < fb : a < b;
  });
  return names;
}

}  // namespace

std::vector<TFolderMenuItem> FolderMenuItems(const std::string& current,
                                             const std::vector<std::string>& libraryFolders) {
  std::vector<TFolderMenuItem> items;
  if (current.empty()) {
    for (const std::string& folder : libraryFolders) items.push_back({folder, IncludeTrailingSlash(folder)});
    return items;
  }
  for (const std::string& name : Subfolders(current)) items.push_back({name, name + "/"});
  if (items.empty()) items.push_back({kNoSubfoldersCaption, std::string(), false});
  return items;
}

}  // namespace tunevale
