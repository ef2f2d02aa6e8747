// TProcessLauncher with fork and exec: argument lists, no shell. A started
// program is detached (its parent ends at once, so it never becomes a zombie
// of the player) and a failed exec is reported through a pipe.
#pragma once

#include "install/process_launcher.h"

namespace tunevale {

class TPosixProcessLauncher : public TProcessLauncher {
 public:
  bool Start(const std::string& program, const std::vector<std::string>& args,
             std::string* error = nullptr) override;
  int Run(const std::string& tool, const std::vector<std::string>& args) override;
};

}  // namespace tunevale
