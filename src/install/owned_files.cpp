#include "install/owned_files.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "util/atomic_file.h"

namespace tunevale {

namespace fs = std::filesystem;

namespace {

bool Fail(TFailures& failures, const std::string& what, int error) {
  failures.push_back(what + ": " + std::strerror(error));
  return false;
}

bool CreateParent(const std::string& path, TFailures& failures) {
  std::error_code ec;
  fs::create_directories(fs::path(path).parent_path(), ec);
  if (ec) return Fail(failures, "cannot create the folder of " + path, ec.value());
  return true;
}

}  // namespace

bool WriteOwnedFile(const std::string& path, std::string_view content, unsigned mode, TFailures& failures) {
  if (!CreateParent(path, failures)) return false;
  std::string error;
  if (WriteFileAtomically(path, content, &error, mode)) return true;
  failures.push_back(error);
  return false;
}

bool RemoveOwnedFile(const std::string& path, TFailures& failures) {
  if (path.empty() || ::unlink(path.c_str()) == 0 || errno == ENOENT) return true;
  return Fail(failures, "cannot remove " + path, errno);
}

void RemoveFolderIfEmpty(const std::string& path, TFailures& failures) {
  if (path.empty() || ::rmdir(path.c_str()) == 0) return;
  if (errno != ENOENT && errno != ENOTEMPTY && errno != EEXIST)
    Fail(failures, "cannot remove " + path, errno);
}

bool ReplaceLink(const std::string& path, const std::string& target, TFailures& failures) {
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(path, ec);
  if (fs::exists(status) && !fs::is_symlink(status)) {
    failures.push_back("cannot create the link " + path + ": another file of that name is in the way");
    return false;
  }
  if (!CreateParent(path, failures)) return false;
  // A new link under a temporary name, renamed over the old one in one step.
  const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
  ::unlink(temporary.c_str());
  if (::symlink(target.c_str(), temporary.c_str()) != 0)
    return Fail(failures, "cannot create the link " + path, errno);
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary.c_str());
    return Fail(failures, "cannot create the link " + path, error);
  }
  return true;
}

bool IsLinkTo(const std::string& path, const std::string& target) {
  std::error_code ec;
  return fs::is_symlink(fs::symlink_status(path, ec)) && fs::read_symlink(path, ec).string() == target;
}

}  // namespace tunevale
