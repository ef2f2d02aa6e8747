// The install record: "$XDG_DATA_HOME/Tunevale/install.conf" in the key-store
// layout. Its InstallPath marks the installed copy (read at every start); the
// other values describe the installation for the uninstaller and for tools
// that list installed programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

inline constexpr const char* DisplayVersionText = "2 Beta 5";
inline constexpr const char* PublisherName = "Velkorn's Software";

struct TInstallRecord {
  std::string InstallPath;  // the installed executable's full path, "" when none
  // The launchers this installation made, so that uninstalling removes only those.
  bool StartMenuShortcut = false;
  bool DesktopShortcut = false;
  bool QuickLaunchShortcut = false;
  std::vector<std::string> FileTypes;  // the associated extensions, in order
};

// An empty record when the file is missing or cannot be read.
TInstallRecord ReadInstallRecord(const std::string& path);
// Writes the record with the fixed descriptive values and `siteUrl` as
// URLInfoAbout, keeping keys it does not know. Creates the folder.
bool WriteInstallRecord(const std::string& path, const TInstallRecord& record, std::string_view siteUrl,
                        std::string* error = nullptr);

}  // namespace tunevale
