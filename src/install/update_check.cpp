#include "install/update_check.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "install/executable_check.h"
#include "install/install_locations.h"
#include "install/owned_files.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr const char* CouldNotCheckText =
    "Tunevale could not check for updates. Make sure you are connected to the internet and try again.";
constexpr const char* LatestText = "You have the latest version of Tunevale.";
constexpr const char* CouldNotDownloadText =
    "Tunevale could not download the newer version. Make sure you are connected to the internet.";

// A new folder only this user can enter, so nobody can place or swap the
// program between its download and its start.
bool SaveInPrivateFolder(const std::string& tempDir, std::string_view bytes, std::string& path,
                         std::string& error) {
  std::string folder = tempDir + "/tunevale-update-XXXXXX";
  if (!::mkdtemp(folder.data())) {
    error = "cannot create a folder in " + tempDir;
    return false;
  }
  path = folder + "/" + ExecutableName;
  TFailures failures;
  if (WriteOwnedFile(path, bytes, 0700, failures)) return true;
  error = Join(failures, "\n");
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return false;
}

}  // namespace

TVersionText ParseVersionText(std::string_view bytes) {
  TVersionText text;
  std::string* parts[] = {&text.Version, &text.Headline, &text.Changes};
  int part = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (part < 2 && c == '\r') {
      ++part;
      // The line feed of a CR LF line end belongs to the line end.
      if (part == 2 && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    if (part < 2 && c == '\n') continue;
    parts[part]->push_back(c);
  }
  return text;
}

std::optional<int32_t> VersionBuildNumber(std::string_view version) {
  const size_t dot = version.rfind('.');
  return ParseInt32(dot == std::string_view::npos ? version : version.substr(dot + 1));
}

TUpdater::TUpdater(const TUpdaterPorts& ports, TSettings& settings, const TAppPaths& paths,
                   std::string tempDir)
    : Ports(ports), Settings(settings), Paths(paths), TempDir(std::move(tempDir)) {}

std::string TUpdater::SiteAddress(std::string_view file) const {
  return ExcludeTrailingSlash(Trim(Settings.UpdateSite)) + std::string(file);
}

THttpResponse TUpdater::Fetch(const std::string& url, size_t maxBytes) {
  // A program takes longer than a playlist: ten minutes, still ended by a stalled server.
  THttpLimits limits = Limits;
  limits.MaxBytes = maxBytes;
  if (maxBytes > VersionTextMaxBytes) limits.TimeLimitMs = std::max(limits.TimeLimitMs, 600000);
  return Download(Ports.Http, Ports.Runtime, url, limits, [] { return false; }).value_or(THttpResponse{});
}

TUpdateCheckOutcome TUpdater::CheckForUpdatesActionExecute(bool manual) {
  Settings.LastUpdateCheck = Ports.Runtime.Now();
  TUpdateCheckOutcome outcome = ucFailed;
  TVersionText text;
  if (!Trim(Settings.UpdateSite).empty()) {
    const THttpResponse response = Fetch(SiteAddress("/CurrentVersion.txt"), VersionTextMaxBytes);
    if (response.Ok()) {
      text = ParseVersionText(response.Body);
      const std::optional<int32_t> remote = VersionBuildNumber(text.Version);
      if (remote) outcome = *remote > VersionBuildNumber(SettingsAppVersion).value_or(0) ? ucNewer : ucLatest;
    }
  }
  if (outcome == ucFailed && manual) Ports.View.ShowUpdateMessage(CouldNotCheckText);
  if (outcome == ucLatest && manual) Ports.View.ShowUpdateMessage(LatestText);
  if (outcome == ucNewer &&
      Ports.View.ShowUpdateDialog(text, SelfUpgrades(), SiteAddress("/changelog.html"))) {
    if (SelfUpgrades())
      DownloadAndUpgrade();
    else
      OpenDocument(Ports.Launcher, SiteAddress("/download.html"));
  }
  return outcome;
}

bool TUpdater::DownloadAndUpgrade() {
  const THttpResponse response = Fetch(SiteAddress("/Tunevale.exe"), ProgramMaxBytes);
  std::string error = response.Error;
  if (response.Ok() && !IsCompatibleExecutable(response.Body, ReadExecutableHeader(Paths.ExePath)))
    error = "the download is no program for this computer";
  std::string path;
  if (response.Ok() && error.empty() && SaveInPrivateFolder(TempDir, response.Body, path, error) &&
      Ports.Launcher.Start(path, {"/upgrade"}, &error))
    return true;
  if (!path.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(ExtractFileDir(path), ignored);
  }
  if (error.empty() && !response.Ok())
    error = "the server answered with status " + std::to_string(response.Status);
  Ports.View.ShowUpdateMessage(std::string(CouldNotDownloadText) + "\n\n" + error);
  return false;
}

}  // namespace tunevale
