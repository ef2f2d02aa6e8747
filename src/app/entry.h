// The entry's decisions before any window exists: which branch the command
// line selects, where this copy keeps its things, and which arguments are
// files to open. The caller then claims the instance (instance.h) and, when it
// runs the player, builds the window around a TPlayer.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_paths.h"
#include "app/command_line.h"

namespace tunevale {

struct TEntryPlan {
  TStartDecision Decision;
  TAppPaths Paths;
  // The files, folders and URLs to open, local paths made absolute; empty
  // when the first argument is a switch or there is none.
  std::vector<std::string> Files;
  // >= 0: end the process with this status now (a maintenance switch).
  int ExitCode = -1;
};

// Steps 1 to 3 of the entry: the maintenance switches in their order, then
// the locations. A copy that is neither installed nor portable says once on
// `err` that it runs as a portable copy.
TEntryPlan PlanEntry(const std::vector<std::string>& args, const TEnvironment& env, std::string_view exePath,
                     std::string_view workingDir, FILE* err);

// The Qt platform the window must use, set before Qt starts; empty leaves Qt's
// choice. A Wayland session with an X server runs the window through it ("xcb"):
// the video sinks draw into X windows only.
std::string QtPlatformOverride(const TEnvironment& env);

}  // namespace tunevale
