#include "install/installer.h"

#include <filesystem>

#include "app/settings_locations.h"
#include "install/file_type_association.h"
#include "util/atomic_file.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr const char* NotRespondingText =
    "Tunevale is not responding to my close message. Please close Tunevale yourself.";
constexpr const char* CouldNotInstallText =
    "Tunevale could not be installed. Make sure you are logged in as an administrator and try again.";
constexpr const char* CouldNotAssociateText =
    "Tunevale could not associate these file types. Make sure you are logged in as an administrator and try "
    "again.";
constexpr const char* CouldNotUninstallText =
    "Tunevale could not be uninstalled. Make sure you are logged in as an administrator.";
constexpr const char* DownloadCacheText =
    "You are running Tunevale from the Temporary Internet Files folder. This is probably not what you want. "
    "Tunevale will move itself to your desktop.";

std::vector<std::string> ValidExtensions(const std::vector<std::string>& exts) {
  std::vector<std::string> valid;
  for (const std::string& ext : exts)
    if (IsValidExtension(ext) && std::find(valid.begin(), valid.end(), ext) == valid.end())
      valid.push_back(ext);
  return valid;
}

}  // namespace

TInstaller::TInstaller(const TInstallLocations& locations, const TInstallPorts& ports,
                       const TFileExtensions& extensions, std::string runningExe, std::string siteUrl)
    : Locations(locations),
      Ports(ports),
      Extensions(extensions),
      RunningExe(std::move(runningExe)),
      SiteUrl(std::move(siteUrl)) {}

TDesktopIntegration TInstaller::Desktop() {
  return TDesktopIntegration(Locations, Ports.Launcher, Ports.Mime, Extensions, Ports.Icons);
}

TInstallOptions TInstaller::DefaultOptions() const {
  TInstallOptions options;
  const std::string recorded = ReadInstallRecord(Locations.RecordPath).InstallPath;
  options.Location = recorded.empty() ? Locations.DefaultProgramDir : ExtractFileDir(recorded);
  options.FileTypes = KnownExtensions(Extensions);
  return options;
}

TInstallOptions TInstaller::UpgradeOptions() const {
  TInstallOptions options = DefaultOptions();
  options.StartMenuShortcut = options.QuickLaunchShortcut = options.DesktopShortcut = false;
  options.FileTypes = ReadInstallRecord(Locations.RecordPath).FileTypes;
  return options;
}

std::string TInstaller::InstalledExePath(const TInstallOptions& options) const {
  return NormalizePath(IncludeTrailingSlash(options.Location) + ExecutableName);
}

bool TInstaller::CopyExecutable(const std::string& exePath, TFailures& failures) {
  if (NormalizePath(RunningExe) == exePath) return true;  // already the installed copy
  std::string bytes;
  if (!ReadWholeFile(RunningExe, bytes)) {
    failures.push_back("cannot read the running program " + RunningExe);
    return false;
  }
  // Renamed over the old file: a running copy keeps its own.
  return WriteOwnedFile(exePath, bytes, 0755, failures);
}

bool TInstaller::InstallFiles(const TInstallOptions& options, bool copy, bool associate,
                              TFailures& failures) {
  if (Locations.RecordPath.empty() || options.Location.empty()) {
    failures.push_back("there is no home folder to install into");
    return false;
  }
  const size_t before = failures.size();
  const std::string exePath = InstalledExePath(options);
  TInstallRecord record = ReadInstallRecord(Locations.RecordPath);
  TDesktopChanges changes;
  if (copy) {
    if (!CopyExecutable(exePath, failures)) return false;
    record.InstallPath = exePath;
    // Launchers made before stay on the record until the uninstaller removes them.
    record.StartMenuShortcut |= options.StartMenuShortcut;
    record.DesktopShortcut |= options.DesktopShortcut;
    record.QuickLaunchShortcut |= options.QuickLaunchShortcut;
    changes = {options.StartMenuShortcut, options.DesktopShortcut, options.QuickLaunchShortcut, true, false};
  }
  if (associate) {
    record.FileTypes = ValidExtensions(options.FileTypes);
    changes.MakeDefault = options.MakeDefault;
  }
  std::string error;
  if (!WriteInstallRecord(Locations.RecordPath, record, SiteUrl, &error)) {
    failures.push_back(error);
    return false;
  }
  Desktop().Apply(record, exePath, changes, failures);
  return failures.size() == before;
}

bool TInstaller::PerformInstall(const TInstallOptions& options, bool upgrade, bool startInstalled) {
  TFailures failures;
  if (!upgrade) InstallFiles(options, false, true, failures);
  if (!CloseRunningInstance(Ports.Instance)) {
    Ports.ShowMessage(NotRespondingText, mtError);
    return false;
  }
  // No retries: the new file is renamed over the old one, which works while
  // the old one runs, so a failure here does not go away by waiting.
  InstallFiles(options, true, false, failures);
  if (!failures.empty()) {
    ReportFailure(CouldNotInstallText, failures);
    return false;
  }
  std::string error;
  if (startInstalled && !Ports.Launcher.Start(InstalledExePath(options), {}, &error))
    Ports.ShowMessage("Tunevale was installed but could not be started: " + error, mtError);
  return true;
}

std::vector<std::string> TInstaller::AssociatedFileTypes() const {
  return ReadInstallRecord(Locations.RecordPath).FileTypes;
}

bool TInstaller::AssociateFileTypes(const std::vector<std::string>& checked, bool makeDefault) {
  TFailures failures;
  TInstallRecord record = ReadInstallRecord(Locations.RecordPath);
  record.FileTypes = ValidExtensions(checked);
  std::string error;
  if (Locations.RecordPath.empty() || !WriteInstallRecord(Locations.RecordPath, record, SiteUrl, &error)) {
    failures.push_back(error.empty() ? "there is no home folder" : error);
  } else {
    TDesktopChanges changes;
    changes.MakeDefault = makeDefault;
    // A copy that is not installed associates itself.
    Desktop().Apply(record, record.InstallPath.empty() ? RunningExe : record.InstallPath, changes, failures);
  }
  if (failures.empty()) return true;
  ReportFailure(CouldNotAssociateText, failures);
  return false;
}

TUninstallReport TInstaller::UninstallFinal() {
  TUninstallReport report;
  CloseRunningInstance(Ports.Instance);
  const TInstallRecord record = ReadInstallRecord(Locations.RecordPath);
  TFailures failures;
  if (record.InstallPath.empty()) failures.push_back("no installation of Tunevale was found for this user");
  // A running executable may be unlinked, so one try tells.
  if (!failures.empty() || !RemoveOwnedFile(record.InstallPath, failures)) {
    ReportFailure(CouldNotUninstallText, failures);
    return report;
  }
  report.ProgramRemoved = true;
  TFailures& left = report.Failures;
  Desktop().Remove(record, left);
  RemoveFolderIfEmpty(ExtractFileDir(record.InstallPath), left);
  const std::string data = Locations.AppDataDir;
  for (const std::string& file :
       {data + "/Library.db", data + "/Download/Playlist.tmp", Locations.KeyStorePath, Locations.RecordPath})
    RemoveOwnedFile(file, left);
  for (const std::string& folder : {data + "/Download", data, ExtractFileDir(Locations.KeyStorePath)})
    RemoveFolderIfEmpty(folder, left);
  if (!left.empty())
    Ports.ShowMessage("Tunevale was uninstalled, but these could not be removed:\n" + Join(left, "\n"),
                      mtWarning);
  return report;
}

bool TInstaller::RunStandalone(const std::string& desktopDir) {
  TFailures failures;
  std::string exe = RunningExe;
  if (AsciiLower(exe).find("temporary internet files") != std::string::npos) {
    Ports.ShowMessage(DownloadCacheText, mtInformation);
    std::string bytes;
    exe = IncludeTrailingSlash(desktopDir) + ExecutableName;
    if (!ReadWholeFile(RunningExe, bytes) || !WriteOwnedFile(exe, bytes, 0755, failures)) {
      ReportFailure("Tunevale could not copy itself to your desktop.", failures);
      return false;
    }
  }
  const std::string ini = IniFilePathFor(ExtractFilePath(exe));
  std::error_code ec;
  // Without the settings file the started copy would be neither installed
  // nor portable and show this wizard again.
  if (!std::filesystem::exists(ini, ec) && !WriteOwnedFile(ini, "", 0666, failures)) {
    ReportFailure(
        "Tunevale cannot run standalone from this folder: it cannot create its settings file there. "
        "Copy it to a folder you can write to and try again.",
        failures);
    return false;
  }
  std::string error;
  if (!Ports.Launcher.Start(exe, {}, &error)) {
    ReportFailure("Tunevale could not be started.", {error});
    return false;
  }
  return true;
}

void TInstaller::ReportFailure(const std::string& message, const TFailures& failures) {
  Ports.ShowMessage(failures.empty() ? message : message + "\n\n" + Join(failures, "\n"), mtError);
}

}  // namespace tunevale
