// Installing, upgrading and uninstalling the running executable for this
// user, and associating file types. The passes of the command line and the
// wizard call these; messages go through the caller's ShowMessage.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/install_record.h"
#include "app/instance.h"
#include "app/message_kind.h"
#include "install/desktop_integration.h"

namespace tunevale {

struct TInstallOptions {
  std::string Location;  // the program folder
  bool StartMenuShortcut = true;
  bool QuickLaunchShortcut = true;
  bool DesktopShortcut = false;
  bool MakeDefault = false;
  std::vector<std::string> FileTypes;  // the checked extensions
};

struct TInstallPorts {
  TInstancePort& Instance;
  TProcessLauncher& Launcher;
  const TMimeTypeDatabase& Mime;
  TIconSource Icons;
  // A modal message with the caption "Tunevale".
  std::function<void(const std::string&, TMessageKind)> ShowMessage;
};

struct TUninstallReport {
  bool ProgramRemoved = false;  // the installed executable is gone
  TFailures Failures;           // what could not be removed
};

class TInstaller {
 public:
  // `runningExe`: this process's executable, the file that gets installed.
  // `siteUrl`: the product site for the record (may be empty).
  TInstaller(const TInstallLocations& locations, const TInstallPorts& ports,
             const TFileExtensions& extensions, std::string runningExe, std::string siteUrl);

  // The wizard's start: the folder of the recorded installation or the
  // default folder, the default launchers, every known file type checked.
  TInstallOptions DefaultOptions() const;
  // An upgrade: the recorded folder and file types; no launcher asked for,
  // so only those that still exist are brought up to date.
  TInstallOptions UpgradeOptions() const;
  // The installed executable for `options`: the location's "tunevale".
  std::string InstalledExePath(const TInstallOptions& options) const;

  // `copy`: the executable (a temporary file renamed over the old one, so a
  // running copy keeps its file), the record, the launchers and icons.
  // `associate`: the checked file types. True when every step worked.
  bool InstallFiles(const TInstallOptions& options, bool copy, bool associate, TFailures& failures);
  // Unless `upgrade`, associates first; then closes the running player and
  // copies. Reports a failure itself; on success starts the installed copy
  // when `startInstalled`. True when installed.
  bool PerformInstall(const TInstallOptions& options, bool upgrade, bool startInstalled);

  // The extensions the record associates, and setting them (the others lose
  // their association). False (with the message shown) on a failure.
  std::vector<std::string> AssociatedFileTypes() const;
  bool AssociateFileTypes(const std::vector<std::string>& checked, bool makeDefault);

  // The final uninstall stage: closes the running player, removes the
  // executable, then best-effort everything the installation made. Reports
  // what failed itself.
  TUninstallReport UninstallFinal();

  // The standalone choice: a copy in a download cache moves to the desktop
  // folder first; "Tunevale.ini" is created beside the executable (which
  // makes it portable) and that executable is started. False (with the
  // message shown) when the settings file cannot be created or the copy
  // not started: the wizard then stays.
  bool RunStandalone(const std::string& desktopDir);

 private:
  TDesktopIntegration Desktop();
  bool CopyExecutable(const std::string& exePath, TFailures& failures);
  void ReportFailure(const std::string& message, const TFailures& failures);

  const TInstallLocations& Locations;
  TInstallPorts Ports;
  const TFileExtensions& Extensions;
  std::string RunningExe;
  std::string SiteUrl;
};

}  // namespace tunevale
