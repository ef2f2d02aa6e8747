#include "app/entry.h"

namespace tunevale {

TEntryPlan PlanEntry(const std::vector<std::string>& args, const TEnvironment& env, std::string_view exePath,
                     std::string_view workingDir) {
  TEntryPlan plan;
  plan.Decision = DecideStart(args);
  // Uninstalling runs from the copy being removed: its library lives in the data folder.
  const bool uninstalling = plan.Decision.Action == saUninstall || plan.Decision.Action == saUninstallFinal;
  plan.Paths = InitPaths(env, exePath, uninstalling);
  if (plan.Decision.Action != saPlayer) return plan;
  plan.RunWizard = plan.Paths.NeedsInstaller;
  if (plan.Decision.HasFiles)
    for (const std::string& arg : args)
      if (!arg.empty()) plan.Files.push_back(AbsoluteArgument(arg, workingDir));
  return plan;
}

std::string QtPlatformOverride(const TEnvironment& env) {
  const auto value = [&env](const char* name) { return env(name).value_or(""); };
  const std::string asked = value("QT_QPA_PLATFORM");
  const bool wayland =
      asked.starts_with("wayland") ||
      (asked.empty() && (!value("WAYLAND_DISPLAY").empty() || value("XDG_SESSION_TYPE") == "wayland"));
  return wayland && !value("DISPLAY").empty() ? "xcb" : "";
}

}  // namespace tunevale
