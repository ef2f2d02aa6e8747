// The update check: the version text on the product site, the comparison of
// build numbers, and the safe upgrade download. Runs on the main thread, which
// keeps handling messages while it downloads.
//
// "/CurrentVersion.txt" holds 8-bit text with carriage-return line ends: the
// version up to the first CR, the headline up to the second, the changes
// after it. Line feeds in the first two parts are dropped (one right after
// the second CR too); a text without CRs is all version.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/app_paths.h"
#include "app/message_kind.h"
#include "app/settings.h"
#include "install/process_launcher.h"
#include "util/http_client.h"
#include "util/runtime.h"

namespace tunevale {

inline constexpr size_t VersionTextMaxBytes = 64 * 1024;
inline constexpr size_t ProgramMaxBytes = 256 * 1024 * 1024;
inline constexpr const char* UpdaterUserAgent = "Tunevale Updater";

struct TVersionText {
  std::string Version;
  std::string Headline;
  std::string Changes;
};

TVersionText ParseVersionText(std::string_view bytes);

// The build number of a version text: what follows its last "." read as a
// decimal 32-bit integer ("2.0.0.18" gives 18); nothing when it is not one.
std::optional<int32_t> VersionBuildNumber(std::string_view version);

// What the update check shows. Called on the main thread.
class TUpdateView {
 public:
  virtual ~TUpdateView() = default;
  // A message box with the information icon.
  virtual void ShowUpdateMessage(const std::string& text) = 0;
  // The newer-version dialog after a short beep; true when its Install
  // (`installed`) or Download button was pressed.
  virtual bool ShowUpdateDialog(const TVersionText& version, bool installed,
                                const std::string& changelogUrl) = 0;
};

enum TUpdateCheckOutcome { ucFailed, ucLatest, ucNewer };

struct TUpdaterPorts {
  THttpClient& Http;  // sends the user agent "Tunevale Updater" and asks for a fresh copy
  TProcessLauncher& Launcher;
  TRuntime& Runtime;
  TUpdateView& View;
};

class TUpdater {
 public:
  // The site is the settings' UpdateSite, read at each check. `tempDir`
  // holds the private folder of a downloaded program.
  TUpdater(const TUpdaterPorts& ports, TSettings& settings, const TAppPaths& paths, std::string tempDir);

  // Sets LastUpdateCheck (also when the check fails) and checks. `manual`
  // (the menu command) reports every outcome; the daily check only a newer
  // version. Accepting the dialog upgrades an installed copy and opens the
  // download page for any other.
  TUpdateCheckOutcome CheckForUpdatesActionExecute(bool manual);
  // Downloads the program; only a complete 2xx answer that is an executable
  // for this machine is saved, in a private new folder, and started with
  // "/upgrade". False (after the message) otherwise.
  bool DownloadAndUpgrade();

  // What a download may take; MaxBytes is set per file.
  THttpLimits Limits;

 private:
  std::string SiteAddress(std::string_view file) const;
  // Downloads while the loop keeps running.
  THttpResponse Fetch(const std::string& url, size_t maxBytes);
  bool SelfUpgrades() const { return Paths.IsInstalled && !Paths.SystemInstalled; }

  TUpdaterPorts Ports;
  TSettings& Settings;
  const TAppPaths& Paths;
  std::string TempDir;
};

}  // namespace tunevale
