#include "install/install_locations.h"

#include "app/app_paths.h"
#include "util/atomic_file.h"
#include "util/path.h"

namespace tunevale {

namespace {

// The XDG desktop folder: the DESKTOP entry of user-dirs.dirs, else ~/Desktop.
std::string DesktopDir(const TEnvironment& env, const std::string& home) {
  std::string text;
  const std::string config = ConfigHome(env);
  if (config.empty() || !ReadWholeFile(config + "/user-dirs.dirs", text)) text.clear();
  const std::string dir = UserDirFromText(text, "DESKTOP", home);
  return dir.empty() ? home + "/Desktop" : dir;
}

}  // namespace

TInstallLocations TInstallLocations::For(const TEnvironment& env) {
  TInstallLocations l;
  const std::string home = ExcludeTrailingSlash(env("HOME").value_or(std::string()));
  const std::string data = DataHome(env);
  const std::string config = ConfigHome(env);
  const std::string tmp = env("TMPDIR").value_or(std::string());
  l.TempDir = IsAbsolutePath(tmp) ? ExcludeTrailingSlash(tmp) : "/tmp";
  if (home.empty() || data.empty() || config.empty()) return l;
  l.DefaultProgramDir = home + "/.local/opt/Tunevale";
  l.AppDataDir = data + "/Tunevale";
  l.RecordPath = l.AppDataDir + "/install.conf";
  l.KeyStorePath = KeyStorePathFor(env);
  l.ApplicationsDir = data + "/applications";
  l.ApplicationEntry = l.ApplicationsDir + "/" + DesktopEntryId;
  l.DesktopEntry = DesktopDir(env, home) + "/" + DesktopEntryId;
  l.BinLink = home + "/.local/bin/" + ExecutableName;
  l.IconThemeDir = data + "/icons/hicolor";
  l.MimeDir = data + "/mime";
  l.MimePackage = l.MimeDir + "/packages/tunevale.xml";
  l.MimeAppsList = config + "/mimeapps.list";
  return l;
}

}  // namespace tunevale
