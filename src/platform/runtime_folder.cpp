#include "platform/runtime_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "app/app_paths.h"
#include "util/path.h"

namespace tunevale {

std::string RuntimeFolderPath(std::string_view xdgRuntimeDir, uid_t uid) {
  if (!xdgRuntimeDir.empty() && xdgRuntimeDir[0] == '/') return IncludeTrailingSlash(xdgRuntimeDir) + "Tunevale/";
  return "/tmp/Tunevale-" + std::to_string(uid) + "/";
}

void PrepareRuntimeFolder(const std::string& path) {
  const std::string folder = ExcludeTrailingSlash(path);
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw ERuntimeFolderError("Cannot create the folder " + folder + ": " + std::strerror(errno));
  struct stat st;
  if (lstat(folder.c_str(), &st) != 0)
    throw ERuntimeFolderError("Cannot read the folder " + folder + ": " + std::strerror(errno));
  if (!S_ISDIR(st.st_mode)) throw ERuntimeFolderError(folder + " is not a folder.");
  if (st.st_uid != geteuid()) throw ERuntimeFolderError("The folder " + folder + " belongs to another user.");
  if ((st.st_mode & 07777) != 0700 && chmod(folder.c_str(), 0700) != 0)
    throw ERuntimeFolderError("Cannot restrict the folder " + folder + ": " + std::strerror(errno));
}

std::string RuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  std::string path = RuntimeFolderPath(xdg ? xdg : "", geteuid());
  try {
    PrepareRuntimeFolder(path);
    return path;
  } catch (const ERuntimeFolderError& refused) {
    const std::string cache = CacheHome(ProcessEnvironment());
    if (cache.empty()) throw;
    const std::string privateFolder = cache + "/Tunevale/run/";
    std::error_code ignored;  // a failure shows in the check below
    std::filesystem::create_directories(cache + "/Tunevale", ignored);
    PrepareRuntimeFolder(privateFolder);
    std::fprintf(stderr, "Tunevale: %s Using %s instead.\n", refused.what(), privateFolder.c_str());
    return privateFolder;
  }
}

}  // namespace tunevale
