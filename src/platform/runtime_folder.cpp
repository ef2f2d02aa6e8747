#include "platform/runtime_folder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

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
  PrepareRuntimeFolder(path);
  return path;
}

}  // namespace tunevale
