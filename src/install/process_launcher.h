// The process port: starting programs with argument lists (never a shell
// text). The platform implements it with fork/exec; tests record the calls.
#pragma once

#include <string>
#include <vector>

namespace tunevale {

class TProcessLauncher {
 public:
  virtual ~TProcessLauncher() = default;
  // Starts `program` (a path, or a name looked up on PATH) with `args` and
  // does not wait for it; it outlives this process. False when it could not
  // be started (`error` says why).
  virtual bool Start(const std::string& program, const std::vector<std::string>& args,
                     std::string* error = nullptr) = 0;
  // Runs a tool found on PATH and waits for it: its exit status, or -1 when
  // it is not there or could not be started.
  virtual int Run(const std::string& tool, const std::vector<std::string>& args) = 0;
};

// Opens a file or an address with the desktop's default program.
inline bool OpenDocument(TProcessLauncher& launcher, const std::string& target) {
  return launcher.Start("xdg-open", {target});
}

}  // namespace tunevale
