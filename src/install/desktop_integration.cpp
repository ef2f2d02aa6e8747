#include "install/desktop_integration.h"

#include <filesystem>

#include "install/desktop_entry.h"
#include "install/file_type_association.h"
#include "install/mime_apps_list.h"

namespace tunevale {

namespace fs = std::filesystem;

namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

}  // namespace

TDesktopIntegration::TDesktopIntegration(const TInstallLocations& locations, TProcessLauncher& launcher,
                                         const TMimeTypeDatabase& mime, const TFileExtensions& extensions,
                                         TIconSource icons)
    : Locations(locations), Launcher(launcher), Mime(mime), Extensions(extensions), Icons(std::move(icons)) {}

void TDesktopIntegration::Apply(const TInstallRecord& record, const std::string& exePath,
                                const TDesktopChanges& changes, TFailures& failures) {
  const std::vector<TFileTypeAssociation> associations = ResolveFileTypes(record.FileTypes, Extensions, Mime);
  const std::vector<std::string> types = DeclaredMimeTypes(associations);
  if (const std::string package = BuildMimePackage(associations); !package.empty())
    WriteOwnedFile(Locations.MimePackage, package, 0644, failures);
  else
    RemoveOwnedFile(Locations.MimePackage, failures);
  if (changes.Icons && Icons)
    for (const TIconFile& icon : Icons())
      WriteOwnedFile(Locations.IconThemeDir + "/" + icon.RelativePath, icon.Bytes, 0644, failures);
  WriteLaunchers(record, exePath, types, changes, failures);
  UpdateDefaults(types, changes.MakeDefault, failures);
  AnnounceChanges();
}

void TDesktopIntegration::WriteLaunchers(const TInstallRecord& record, const std::string& exePath,
                                         const std::vector<std::string>& types,
                                         const TDesktopChanges& changes, TFailures& failures) {
  // Associations need the application entry even without the menu item: it
  // is then kept out of the menus.
  if (record.StartMenuShortcut || !types.empty())
    WriteOwnedFile(Locations.ApplicationEntry, BuildDesktopEntry(exePath, types, !record.StartMenuShortcut),
                   0644, failures);
  else
    RemoveOwnedFile(Locations.ApplicationEntry, failures);
  if (record.DesktopShortcut && (changes.Desktop || Exists(Locations.DesktopEntry)))
    WriteOwnedFile(Locations.DesktopEntry, BuildDesktopEntry(exePath, types, false), 0755, failures);
  if (record.QuickLaunchShortcut && (changes.QuickLaunch || Exists(Locations.BinLink)))
    ReplaceLink(Locations.BinLink, exePath, failures);
}

void TDesktopIntegration::UpdateDefaults(const std::vector<std::string>& types, bool makeDefault,
                                         TFailures& failures) {
  std::string error;
  const bool ok = UpdateMimeAppsList(
      Locations.MimeAppsList,
      [&](std::string_view text) {
        // Types we no longer declare lose our default; the others keep it.
        const std::string kept = RemoveDefaultApplication(text, DesktopEntryId, types);
        return makeDefault ? SetDefaultApplication(kept, types, DesktopEntryId) : kept;
      },
      &error);
  if (!ok) failures.push_back(error);
}

void TDesktopIntegration::Remove(const TInstallRecord& record, TFailures& failures) {
  RemoveOwnedFile(Locations.ApplicationEntry, failures);
  if (record.DesktopShortcut) RemoveOwnedFile(Locations.DesktopEntry, failures);
  if (record.QuickLaunchShortcut && IsLinkTo(Locations.BinLink, record.InstallPath))
    RemoveOwnedFile(Locations.BinLink, failures);
  if (Icons)
    for (const TIconFile& icon : Icons())
      RemoveOwnedFile(Locations.IconThemeDir + "/" + icon.RelativePath, failures);
  RemoveOwnedFile(Locations.MimePackage, failures);
  UpdateDefaults({}, false, failures);
  AnnounceChanges();
}

void TDesktopIntegration::AnnounceChanges() {
  std::error_code ec;
  if (fs::is_directory(Locations.MimeDir + "/packages", ec))
    Launcher.Run("update-mime-database", {Locations.MimeDir});
  if (fs::is_directory(Locations.ApplicationsDir, ec))
    Launcher.Run("update-desktop-database", {Locations.ApplicationsDir});
}

}  // namespace tunevale
