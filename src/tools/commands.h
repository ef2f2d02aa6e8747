// The sub-commands of tunevalectl; each returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace tunevale {

using TArgs = std::vector<std::string>;

int PrintUsage(int status);

}  // namespace tunevale
