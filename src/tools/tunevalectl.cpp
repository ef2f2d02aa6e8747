// tunevalectl: the command-line companion of the player.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/commands.h"

namespace tunevale {

int PrintUsage(int status) {
  std::fputs(
      "usage: tunevalectl COMMAND [ARGS...]\n"
      "commands:\n",
      status == 0 ? stdout : stderr);
  return status;
}

}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  if (argc < 2) return PrintUsage(2);
  const std::string command = argv[1];
  const TArgs args(argv + 2, argv + argc);
  if (command == "--help" || command == "-h" || command == "help") return PrintUsage(0);
  std::fprintf(stderr, "tunevalectl: unknown command \"%s\"\n", command.c_str());
  return PrintUsage(2);
}
