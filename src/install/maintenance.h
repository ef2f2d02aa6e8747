// The maintenance passes of the command line: "/install" (install with the
// default choices, showing nothing unless it fails), "/upgrade" (install over
// the installation and start it), "/uninstall" and "/uninstallfinal" (remove
// the installation; a running executable may be unlinked, so both run the
// final stage in place) and "/setassoc" with the three custom extension
// lists (the association dialog). Each returns the process's exit status.
#pragma once

#include <string>
#include <vector>

#include "app/app_paths.h"
#include "app/command_line.h"
#include "app/instance.h"
#include "app/message_kind.h"
#include "install/desktop_integration.h"
#include "install/install_wizard.h"

namespace tunevale {

// What the passes show.
class TMaintenanceView {
 public:
  virtual ~TMaintenanceView() = default;
  virtual void ShowMessage(const std::string& text, TMessageKind kind) = 0;
  // The association dialog over `choices` (sorted, the associated ones
  // checked). False when it was cancelled.
  virtual bool AssociateFileTypes(std::vector<TFileTypeChoice>& choices, bool& makeDefault) = 0;
};

// Messages on standard error, for a pass run without a display.
class TConsoleMaintenanceView final : public TMaintenanceView {
 public:
  void ShowMessage(const std::string& text, TMessageKind kind) override;
  bool AssociateFileTypes(std::vector<TFileTypeChoice>& choices, bool& makeDefault) override;
};

struct TMaintenanceContext {
  TAppPaths Paths;
  TEnvironment Env;
  TInstancePort& Instance;
  TProcessLauncher& Launcher;
  const TMimeTypeDatabase& Mime;
  TIconSource Icons;
  TMaintenanceView& View;
};

int RunMaintenance(TStartAction action, const std::vector<std::string>& args, TMaintenanceContext& context);

// The installer for this process: the settings' custom extensions and the
// product site are read from the copy's settings store into `extensions`.
TInstaller MakeInstaller(TMaintenanceContext& context, const TInstallLocations& locations,
                         TFileExtensions& extensions);

// After an upgrade from a downloaded copy: removes that copy and its
// private folder ("<temp>/tunevale-update-*/tunevale"); anything else stays.
void RemoveDownloadedCopy(const std::string& exePath, const std::string& tempDir);

}  // namespace tunevale
