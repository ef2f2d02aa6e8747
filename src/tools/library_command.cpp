// tunevalectl library SUBCOMMAND: the library's database file, crawl and search
// from the command line.
#include "tools/library_command.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "library/library.h"
#include "library/library_database.h"
#include "util/atomic_file.h"
#include "util/path.h"

namespace tunevale {

int RunLibraryScan(const TArgs& args);  // library_scan_command.cpp
int RunLibrarySearch(const TArgs& args);  // library_search_command.cpp

namespace {

int RunDump(const TArgs& args);
int RunSaveRoundtrip(const TArgs& args);

// Other sub-commands are declared here and added to the table below.

const std::vector<TLibrarySubcommand> Subcommands = {
    {"scan", "scan --db DB --folder DIR...", &RunLibraryScan},
    {"dump", "dump DB", &RunDump},
    {"search", "search --db DB --folder DIR... [--hide-incomplete] QUERY", &RunLibrarySearch},
    {"save-roundtrip", "save-roundtrip --db IN --folder DIR... --out OUT", &RunSaveRoundtrip},
};

int Usage(int status) {
  FILE* out = status == 0 ? stdout : stderr;
  for (const TLibrarySubcommand& c : Subcommands) std::fprintf(out, "usage: tunevalectl library %s\n", c.Usage);
  return status;
}

// One JSON object per record, in file order. Damaged records are printed with
// the fields that could be read, and reported on standard error.
int RunDump(const TArgs& args) {
  if (args.size() != 1) return Usage(2);
  std::string bytes;
  if (!ReadWholeFile(args[0], bytes)) {
    std::fprintf(stderr, "tunevalectl library dump: cannot read %s\n", args[0].c_str());
    return 1;
  }
  std::vector<TDbRecord> records;
  if (!ReadDbRecords(bytes, records)) {
    std::fprintf(stderr, "tunevalectl library dump: %s is shorter than its header\n", args[0].c_str());
    return 1;
  }
  int damaged = 0;
  for (const TDbRecord& record : records) {
    nlohmann::ordered_json fields = nlohmann::ordered_json::array();
    for (const TDbField& f : record.Fields) fields.push_back({std::string(f.Tag), std::string(f.Value)});
    nlohmann::ordered_json j;
    j["type"] = std::string(record.Type);
    j["fields"] = std::move(fields);
    // Values are bytes; whatever is not UTF-8 is replaced rather than failing.
    std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
    damaged += record.Damaged;
  }
  std::cout.flush();
  if (damaged) {
    std::fprintf(stderr, "tunevalectl library dump: %d damaged record(s)\n", damaged);
    return 1;
  }
  return 0;
}

int RunSaveRoundtrip(const TArgs& args) {
  TLibraryArgs parsed;
  std::string error;
  if (!ParseLibraryArgs(args, false, parsed, error) || parsed.Db.empty() || parsed.Out.empty() ||
      parsed.Folders.empty() || !parsed.Rest.empty()) {
    if (!error.empty()) std::fprintf(stderr, "tunevalectl library save-roundtrip: %s\n", error.c_str());
    return Usage(2);
  }
  const TLibrarySettings settings = LibrarySettingsFor(parsed, parsed.Out);
  TLibrary library(settings, ProgramFolder());
  LoadLibrary(library, parsed.Db);
  if (!SaveLibrary(library, &error)) {
    std::fprintf(stderr, "tunevalectl library save-roundtrip: %s\n", error.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

bool ParseLibraryArgs(const TArgs& args, bool trailingText, TLibraryArgs& out, std::string& error) {
  bool inFolders = false;
  bool lastWasFolder = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool isOption = a.size() > 2 && a.compare(0, 2, "--") == 0;
    lastWasFolder = !isOption && inFolders;
    if (!isOption) {
      (inFolders ? out.Folders : out.Rest).push_back(a);
      continue;
    }
    inFolders = false;
    if (a == "--hide-incomplete") {
      out.HideIncomplete = true;
    } else if (a == "--folder") {
      inFolders = true;
    } else if (a == "--db" || a == "--out") {
      if (i + 1 >= args.size()) {
        error = a + " needs a file";
        return false;
      }
      (a == "--db" ? out.Db : out.Out) = args[++i];
    } else {
      error = "unknown option \"" + a + "\"";
      return false;
    }
  }
  if (trailingText && out.Rest.empty() && lastWasFolder) {
    out.Rest.push_back(out.Folders.back());
    out.Folders.pop_back();
  }
  return true;
}

TLibrarySettings LibrarySettingsFor(const TLibraryArgs& args, const std::string& db) {
  TLibrarySettings settings;
  settings.UseLibrary = true;
  settings.LibraryFolders = args.Folders;
  settings.HideIncompleteAlbums = args.HideIncomplete;
  settings.LibraryDbPath = db;
  return settings;
}

std::string ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : ExtractFileDir(exe.string());
}

int RunLibraryCommand(const TArgs& args) {
  if (args.empty()) return Usage(2);
  if (args[0] == "--help" || args[0] == "-h") return Usage(0);
  for (const TLibrarySubcommand& c : Subcommands)
    if (args[0] == c.Name) return c.Run(TArgs(args.begin() + 1, args.end()));
  std::fprintf(stderr, "tunevalectl library: unknown sub-command \"%s\"\n", args[0].c_str());
  return Usage(2);
}

}  // namespace tunevale
