// The desktop's view of an installation: the application entry (menus and
// "Open with"), the desktop-folder entry, the link in ~/.local/bin, the
// icons, our MIME package and our defaults in mimeapps.list. Apply brings
// them in line with the install record; Remove takes away what the record
// says we made. Both tell the desktop afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/install_record.h"
#include "install/install_locations.h"
#include "install/mime_type_database.h"
#include "install/owned_files.h"
#include "install/process_launcher.h"
#include "media/media_kind.h"

namespace tunevale {

// An icon the installation writes into the hicolor theme folder.
struct TIconFile {
  std::string RelativePath;  // "48x48/apps/tunevale.png"
  std::string Bytes;
};
using TIconSource = std::function<std::vector<TIconFile>()>;

struct TDesktopChanges {
  // The launchers asked for now; those the record names from before are
  // only kept current when they still exist.
  bool StartMenu = false;
  bool Desktop = false;
  bool QuickLaunch = false;
  bool Icons = false;
  bool MakeDefault = false;  // make us the default for every declared type
};

class TDesktopIntegration {
 public:
  TDesktopIntegration(const TInstallLocations& locations, TProcessLauncher& launcher,
                      const TMimeTypeDatabase& mime, const TFileExtensions& extensions, TIconSource icons);

  // Writes the files for `record` with `exePath` as the program to run.
  void Apply(const TInstallRecord& record, const std::string& exePath, const TDesktopChanges& changes,
             TFailures& failures);
  // Removes what Apply made for `record`: its launchers, icons, our MIME
  // package and our mimeapps.list defaults.
  void Remove(const TInstallRecord& record, TFailures& failures);

 private:
  void WriteLaunchers(const TInstallRecord& record, const std::string& exePath,
                      const std::vector<std::string>& types, const TDesktopChanges& changes,
                      TFailures& failures);
  void UpdateDefaults(const std::vector<std::string>& types, bool makeDefault, TFailures& failures);
  // update-mime-database and update-desktop-database on the user folders,
  // when they are installed.
  void AnnounceChanges();

  const TInstallLocations& Locations;
  TProcessLauncher& Launcher;
  const TMimeTypeDatabase& Mime;
  const TFileExtensions& Extensions;
  TIconSource Icons;
};

}  // namespace tunevale
