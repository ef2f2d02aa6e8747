// tunevalectl: the command-line companion of the player.
#include <cstdio>
#include <string>

#include "tools/commands.h"

namespace tunevale {

// Declarations of the command entry points, one per command file.
int RunTagsCommand(const TArgs& args);
int RunSendCommand(const TArgs& args);
int RunListenCommand(const TArgs& args);
int RunLibraryCommand(const TArgs& args);

const std::vector<TCommand> Commands = {
    // {"name", "usage line", &RunNameCommand},
    {"tags", "tags [--json] FILE...", &RunTagsCommand},
    {"send", "send [--timeout MS] [--no-register] TEXT [ITEM...]", &RunSendCommand},
    {"listen", "listen [--number N]", &RunListenCommand},
    {"library", "library SUBCOMMAND ... (tunevalectl library --help)", &RunLibraryCommand},
};

int PrintUsage(int status) {
  FILE* out = status == 0 ? stdout : stderr;
  std::fputs("usage: tunevalectl COMMAND [ARGS...]\n", out);
  for (const TCommand& c : Commands) std::fprintf(out, "  tunevalectl %s\n", c.Usage);
  return status;
}

}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  if (argc < 2) return PrintUsage(2);
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") return PrintUsage(0);
  const TArgs args(argv + 2, argv + argc);
  for (const TCommand& c : Commands)
    if (name == c.Name) return c.Run(args);
  std::fprintf(stderr, "tunevalectl: unknown command \"%s\"\n", name.c_str());
  return PrintUsage(2);
}
