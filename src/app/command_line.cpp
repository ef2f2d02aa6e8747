#include "app/command_line.h"

#include "app/remote_command.h"
#include "playlist/playlist_file.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr TStartAction MaintenanceOrder[] = {saInstall, saUpgrade, saUninstall, saUninstallFinal, saSetAssoc};
constexpr std::string_view ForceStartSwitch = "/forcestart";

}  // namespace

const char* StartActionSwitch(TStartAction action) {
  switch (action) {
    case saInstall: return "/install";
    case saUpgrade: return "/upgrade";
    case saUninstall: return "/uninstall";
    case saUninstallFinal: return "/uninstallfinal";
    case saSetAssoc: return "/setassoc";
    case saPlayer: break;
  }
  return "";
}

TStartDecision DecideStart(const std::vector<std::string>& args) {
  TStartDecision decision;
  if (args.empty()) return decision;
  const std::string& first = args[0];
  for (TStartAction action : MaintenanceOrder)
    if (first == StartActionSwitch(action)) {
      decision.Action = action;
      return decision;
    }
  // Absolute paths begin with "/" here too ("/music"): only the switch words are switches.
  decision.ForceStart = first == ForceStartSwitch;
  decision.HasFiles = !decision.ForceStart;
  return decision;
}

std::string HandOverText(const std::vector<std::string>& args, std::string_view workingDir) {
  if (args.empty()) return {};
  std::string text = "play=";
  for (const std::string& arg : args) {
    text += AbsoluteArgument(arg, workingDir);
    text += RemoteItemSeparator;
  }
  return text;
}

std::string AbsoluteArgument(const std::string& arg, std::string_view workingDir) {
  if (const std::string local = LocalPathOfFileUrl(arg); local != arg) return local;
  if (arg.empty() || IsUrl(arg) || IsAbsolutePath(arg)) return arg;
  return ExpandPath(workingDir, arg);
}

}  // namespace tunevale
