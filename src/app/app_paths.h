// Where this copy of the program keeps its things: installed (settings in the
// per-user key store, the library in the data folder) or portable ("Tunevale.ini"
// and "Library.db" beside the executable). Decided once at start-up.
#pragma once

#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/settings_locations.h"

namespace tunevale {

struct TAppPaths {
  std::string ExePath;            // the running executable's full path
  std::string ProgramDir;         // its folder, with a trailing "/"
  std::string AppDataDir;         // $XDG_DATA_HOME/Tunevale/, with a trailing "/"
  std::string InstallRecordPath;  // $XDG_DATA_HOME/Tunevale/install.conf
  std::string LibraryDbPath;
  std::string IniFilePath;   // "Tunevale.ini" beside the executable
  std::string KeyStorePath;  // the per-user key store
  std::string MyMusicFolder;
  std::string MyVideoFolder;
  bool IsInstalled = false;  // the install record names this executable, or a package installed it
  // Installed by a package (its mark lies in the data folder beside the
  // executable's): the package manager, not the program, replaces and removes it.
  bool SystemInstalled = false;
  bool Portable = false;  // "Tunevale.ini" lies beside the executable
  // Neither installed nor portable, or started from a download cache: the
  // installation wizard's case.
  bool NeedsInstaller = false;
};

// $XDG_DATA_HOME when absolute, else $HOME/.local/share ("" without either).
std::string DataHome(const TEnvironment& env);
// $XDG_CACHE_HOME when absolute, else $HOME/.cache ("" without either).
std::string CacheHome(const TEnvironment& env);

// The executable's path from /proc/self/exe ("" when it cannot be read).
std::string RunningExecutablePath();

// Works out the locations for the executable at `exePath`. `uninstallFinal`:
// the running copy sits in the temporary folder, so the library lives in the
// data folder even when not installed.
TAppPaths InitPaths(const TEnvironment& env, std::string_view exePath, bool uninstallFinal = false);

// The mark a package installs, for an executable in `programDir`.
std::string PackageMarkPath(std::string_view programDir);

// Fills the settings record's location fields from `paths`.
void ApplyPaths(const TAppPaths& paths, TSettings& settings);

// The environment of this process.
TEnvironment ProcessEnvironment();

}  // namespace tunevale
