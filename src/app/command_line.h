// The decisions of the entry that depend only on the command line: which
// branch the first argument selects, the text a second start hands to the
// running player, and whether newly opened files start playing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

enum TStartAction {
  saInstall,         // "/install"
  saUpgrade,         // "/upgrade"
  saUninstall,       // "/uninstall"
  saUninstallFinal,  // "/uninstallfinal"
  saSetAssoc,        // "/setassoc" with three extension lists
  saPlayer,          // anything else: the player
};

struct TStartDecision {
  TStartAction Action = saPlayer;
  // "/forcestart": run beside a player that is already running.
  bool ForceStart = false;
  // Whether the arguments are files to open: not when there are none or the
  // first is "/forcestart"; any other text beginning with "/" is a path.
  bool HasFiles = false;
};

// `args` are the arguments after the program name. Only the first one is a
// switch, compared exactly in the order of the maintenance passes.
TStartDecision DecideStart(const std::vector<std::string>& args);

// The switch text of a maintenance action ("/install" ...), "" for saPlayer.
const char* StartActionSwitch(TStartAction action);

// The text a second start hands to every running player: "" without
// arguments, else "play=" + each argument + the character 1. Relative local
// paths are made absolute against `workingDir`, since the running player
// has a folder of its own.
std::string HandOverText(const std::vector<std::string>& args, std::string_view workingDir);
// A command-line argument made absolute against `workingDir`, unless it is
// empty, absolute or an address. A local "file://" address (what desktop
// launchers pass for %U) becomes its path.
std::string AbsoluteArgument(const std::string& arg, std::string_view workingDir);
// The text that asks a running player to save and end at once.
inline constexpr std::string_view SeamlessUpgradeText = "|seamlessupgrade|";

}  // namespace tunevale
