// tunevalectl library SUBCOMMAND: the sub-commands and what they share.
#pragma once

#include <string>
#include <vector>

#include "library/library_settings.h"
#include "tools/commands.h"

namespace tunevale {

struct TLibraryArgs {
  std::string Db;                    // --db FILE
  std::vector<std::string> Folders;  // --folder DIR... (every argument up to the next option)
  std::string Out;                   // --out FILE
  bool HideIncomplete = false;       // --hide-incomplete
  std::vector<std::string> Rest;     // other arguments, in order
};

// Reads the options above. With `trailingText` a last argument that would
// otherwise end the folder list is taken as the text (search's QUERY) into
// Rest. False with `error` set on an unknown option or a missing value.
bool ParseLibraryArgs(const TArgs& args, bool trailingText, TLibraryArgs& out, std::string& error);

// Settings for running the library the way the player does: library on,
// the given folders, the database file `db`.
TLibrarySettings LibrarySettingsFor(const TLibraryArgs& args, const std::string& db);

// The folder of the running program, which relative library folders are resolved against.
std::string ProgramFolder();

struct TLibrarySubcommand {
  const char* Name;
  const char* Usage;
  int (*Run)(const TArgs& args);  // arguments after the sub-command's name
};

}  // namespace tunevale
