#include "app/entry.h"

namespace tunevale {

TEntryPlan PlanEntry(const std::vector<std::string>& args, const TEnvironment& env, std::string_view exePath,
                     std::string_view workingDir, FILE* err) {
  TEntryPlan plan;
  plan.Decision = DecideStart(args);
  if (plan.Decision.Action != saPlayer) {
    plan.ExitCode = RunUnavailableMaintenance(plan.Decision.Action, err);
    return plan;
  }
  plan.Paths = InitPaths(env, exePath);
  if (!plan.Paths.IsInstalled && !plan.Paths.Portable)
    // The first save writes "Tunevale.ini" beside the executable, so the
    // next start is portable and this is said only once.
    std::fprintf(err,
                 "Tunevale: this copy is neither installed nor portable; running as a portable copy "
                 "(settings in %s)\n",
                 plan.Paths.IniFilePath.c_str());
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
