// The per-user runtime folder that holds the instance lock and the players'
// sockets: $XDG_RUNTIME_DIR/Tunevale/, else /tmp/Tunevale-<uid>/. Another
// user can take that name in the shared /tmp first; then the folder is
// $XDG_CACHE_HOME/Tunevale/run/, which every start of this user finds the
// same way.
#pragma once

#include <sys/types.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace tunevale {

class ERuntimeFolderError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder's path (with a trailing "/") for an XDG_RUNTIME_DIR value
// (empty or relative: not set) and a user id.
std::string RuntimeFolderPath(std::string_view xdgRuntimeDir, uid_t uid);

// Creates `path` with mode 0700 if needed and checks it: a real folder (not
// a link) owned by this user, with its mode narrowed to 0700. Raises
// ERuntimeFolderError when it cannot be used, for instance when someone else
// made it first in a shared /tmp.
void PrepareRuntimeFolder(const std::string& path);

// RuntimeFolderPath of this process's environment, prepared; when that is
// refused, the private folder under the cache folder (said on standard error).
std::string RuntimeFolder();

}  // namespace tunevale
