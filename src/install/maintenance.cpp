#include "install/maintenance.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "app/settings.h"
#include "app/settings_locations.h"
#include "install/file_type_association.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

void TConsoleMaintenanceView::ShowMessage(const std::string& text, TMessageKind) {
  std::fprintf(stderr, "Tunevale: %s\n", text.c_str());
}

bool TConsoleMaintenanceView::AssociateFileTypes(std::vector<TFileTypeChoice>&, bool&) {
  ShowMessage("choosing file types needs a display", mtError);
  return false;
}

TInstaller MakeInstaller(TMaintenanceContext& context, const TInstallLocations& locations,
                         TFileExtensions& extensions) {
  TSettings settings;
  ApplyPaths(context.Paths, settings);
  const std::unique_ptr<TSettingsStore> store = CreateSettingsStore(settings);
  TSettingsContext settingsContext{settings, *store, nullptr, &extensions, {}, nullptr};
  LoadSettings(settingsContext, false);
  const std::string site = store->ReadText(TSettingsSection::Tweaks, "UpdateSite").value_or(std::string());
  TInstallPorts ports{
      context.Instance, context.Launcher, context.Mime, context.Icons,
      [&view = context.View](const std::string& text, TMessageKind kind) { view.ShowMessage(text, kind); }};
  return TInstaller(locations, ports, extensions, context.Paths.ExePath, Trim(site));
}

void RemoveDownloadedCopy(const std::string& exePath, const std::string& tempDir) {
  const std::string folder = ExtractFileDir(exePath);
  if (ExtractFileDir(folder) != tempDir || !StartsWith(ExtractFileName(folder), "tunevale-update-") ||
      ExtractFileName(exePath) != ExecutableName)
    return;
  ::unlink(exePath.c_str());
  ::rmdir(folder.c_str());
}

namespace {

int SetAssociations(const std::vector<std::string>& args, TMaintenanceContext& context, TInstaller& installer,
                    TFileExtensions& extensions) {
  // The lists given replace the stored custom extensions for this pass.
  const auto arg = [&](size_t i) { return i < args.size() ? args[i] : std::string(); };
  extensions.ApplyCustomExtensions(arg(1), arg(2), arg(3));
  std::vector<std::string> known = KnownExtensions(extensions);
  std::sort(known.begin(), known.end());
  const std::vector<std::string> associated = installer.AssociatedFileTypes();
  std::vector<TFileTypeChoice> choices;
  for (const std::string& ext : known)
    choices.push_back({ext, std::find(associated.begin(), associated.end(), ext) != associated.end()});
  bool makeDefault = false;
  if (!context.View.AssociateFileTypes(choices, makeDefault)) return 1;
  std::vector<std::string> checked;
  for (const TFileTypeChoice& choice : choices)
    if (choice.Checked) checked.push_back(choice.Extension);
  return installer.AssociateFileTypes(checked, makeDefault) ? 0 : 1;
}

}  // namespace

int RunMaintenance(TStartAction action, const std::vector<std::string>& args, TMaintenanceContext& context) {
  const TInstallLocations locations = TInstallLocations::For(context.Env);
  TFileExtensions extensions;
  TInstaller installer = MakeInstaller(context, locations, extensions);
  switch (action) {
    case saInstall:
      return installer.PerformInstall(installer.DefaultOptions(), false, false) ? 0 : 1;
    case saUpgrade: {
      if (!installer.PerformInstall(installer.UpgradeOptions(), true, true)) return 1;
      RemoveDownloadedCopy(context.Paths.ExePath, locations.TempDir);
      return 0;
    }
    case saUninstall:
    case saUninstallFinal:
      return installer.UninstallFinal().ProgramRemoved ? 0 : 1;
    case saSetAssoc:
      return SetAssociations(args, context, installer, extensions);
    case saPlayer:
      break;
  }
  return 0;
}

}  // namespace tunevale
