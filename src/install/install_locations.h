// Where a per-user installation puts its files: everything under the user's
// home and XDG folders, so nothing needs elevation.
#pragma once

#include <string>

#include "app/settings_locations.h"

namespace tunevale {

inline constexpr const char* ExecutableName = "tunevale";
inline constexpr const char* DesktopEntryId = "tunevale.desktop";

struct TInstallLocations {
  std::string DefaultProgramDir;  // ~/.local/opt/Tunevale
  std::string RecordPath;         // $XDG_DATA_HOME/Tunevale/install.conf
  std::string AppDataDir;         // $XDG_DATA_HOME/Tunevale (library database, record)
  std::string KeyStorePath;       // the installed copy's settings
  std::string ApplicationsDir;    // $XDG_DATA_HOME/applications
  std::string ApplicationEntry;   // ApplicationsDir/tunevale.desktop
  std::string DesktopEntry;       // the XDG desktop folder's tunevale.desktop
  std::string BinLink;            // ~/.local/bin/tunevale
  std::string IconThemeDir;       // $XDG_DATA_HOME/icons/hicolor
  std::string MimeDir;            // $XDG_DATA_HOME/mime
  std::string MimePackage;        // MimeDir/packages/tunevale.xml
  std::string MimeAppsList;       // $XDG_CONFIG_HOME/mimeapps.list
  std::string TempDir;            // $TMPDIR, else /tmp

  // Empty paths when there is no home folder.
  static TInstallLocations For(const TEnvironment& env);
};

}  // namespace tunevale
