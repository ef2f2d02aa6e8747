// The paths of a portable copy inside a temporary folder: the program's
// folder "prog/" (settings and library beside the executable), data in "data/".
#pragma once

#include "app/app_paths.h"
#include "support/temp_folder.h"

namespace tunevale::test {

inline TAppPaths PortablePaths(const TTempFolder& folder) {
  TAppPaths paths;
  paths.ProgramDir = folder.MakeFolder("prog") + "/";
  paths.ExePath = paths.ProgramDir + "tunevale";
  paths.AppDataDir = folder.MakeFolder("data") + "/";
  paths.IniFilePath = paths.ProgramDir + "Tunevale.ini";
  paths.LibraryDbPath = paths.ProgramDir + "Library.db";
  paths.Portable = true;
  return paths;
}

}  // namespace tunevale::test
