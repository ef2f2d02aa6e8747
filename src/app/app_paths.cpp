#include "app/app_paths.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "app/install_record.h"
#include "util/path.h"
#include "util/text.h"

extern char** environ;

namespace tunevale {

std::string DataHome(const TEnvironment& env) { return XdgBaseFolder(env, "XDG_DATA_HOME", ".local/share"); }

std::string CacheHome(const TEnvironment& env) { return XdgBaseFolder(env, "XDG_CACHE_HOME", ".cache"); }

std::string RunningExecutablePath() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::string PackageMarkPath(std::string_view programDir) {
  return IncludeTrailingSlash(programDir) + TUNEVALE_PACKAGE_MARK;
}

TAppPaths InitPaths(const TEnvironment& env, std::string_view exePath, bool uninstallFinal) {
  TAppPaths paths;
  paths.ExePath = std::string(exePath);
  paths.ProgramDir = IncludeTrailingSlash(ExtractFileDir(exePath));

  TSettings folders;
  ReadUserFolders(env, folders);
  paths.MyMusicFolder = folders.MyMusicFolder;
  paths.MyVideoFolder = folders.MyVideoFolder;

  const std::string dataHome = DataHome(env);
  paths.AppDataDir = dataHome.empty() ? std::string() : dataHome + "/Tunevale/";
  paths.InstallRecordPath = paths.AppDataDir.empty() ? std::string() : paths.AppDataDir + "install.conf";
  // Paths keep their letter case here: the same name in another case is another file.
  const std::string installPath = ReadInstallRecord(paths.InstallRecordPath).InstallPath;
  std::error_code ec;
  paths.SystemInstalled = !exePath.empty() && std::filesystem::is_regular_file(PackageMarkPath(paths.ProgramDir), ec);
  paths.IsInstalled = paths.SystemInstalled || (!installPath.empty() && !exePath.empty() &&
                                                NormalizePath(installPath) == NormalizePath(exePath));

  paths.IniFilePath = IniFilePathFor(paths.ProgramDir);
  paths.KeyStorePath = KeyStorePathFor(env);
  paths.LibraryDbPath =
      paths.IsInstalled || uninstallFinal ? paths.AppDataDir + "Library.db" : paths.ProgramDir + "Library.db";

  paths.Portable = std::filesystem::is_regular_file(paths.IniFilePath, ec);
  const bool downloadCache = AsciiLower(exePath).find("temporary internet files") != std::string::npos;
  paths.NeedsInstaller = (!paths.IsInstalled && !paths.Portable) || downloadCache;
  return paths;
}

void ApplyPaths(const TAppPaths& paths, TSettings& settings) {
  settings.IsInstalled = paths.IsInstalled;
  settings.AppDataDir = paths.AppDataDir;
  settings.LibraryDbPath = paths.LibraryDbPath;
  settings.IniFilePath = paths.IniFilePath;
  settings.KeyStorePath = paths.KeyStorePath;
  settings.MyMusicFolder = paths.MyMusicFolder;
  settings.MyVideoFolder = paths.MyVideoFolder;
}

TEnvironment ProcessEnvironment() {
  return [](const char* name) -> std::optional<std::string> {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
  };
}

}  // namespace tunevale
