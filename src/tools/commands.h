// The sub-commands of tunevalectl; each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace tunevale {

using TArgs = std::vector<std::string>;

struct TCommand {
  const char* Name;
  const char* Usage;
  int (*Run)(const TArgs& args);
};

// Every command, in the order the usage lists them (tunevalectl.cpp).
extern const std::vector<TCommand> Commands;

int PrintUsage(int status);

}  // namespace tunevale
