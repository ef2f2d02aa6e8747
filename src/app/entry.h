// The entry's decisions before any window exists: which branch the command
// line selects, where this copy keeps its things, and which arguments are
// files to open. The caller then runs a maintenance pass, the installation
// wizard, or claims the instance (instance.h) and builds the window around a
// TPlayer.
#pragma once

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
  // The player branch of a copy that is neither installed nor portable: the
  // installation wizard runs instead of the player.
  bool RunWizard = false;
};

// Steps 1 to 3 of the entry: the maintenance switches in their order, then
// the locations.
TEntryPlan PlanEntry(const std::vector<std::string>& args, const TEnvironment& env, std::string_view exePath,
                     std::string_view workingDir);

// The Qt platform the window must use, set before Qt starts; empty leaves Qt's
// choice. A Wayland session with an X server runs the window through it ("xcb"):
// the video sinks draw into X windows only.
std::string QtPlatformOverride(const TEnvironment& env);

}  // namespace tunevale
