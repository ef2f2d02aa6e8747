#include "app/settings_locations.h"

#include "app/ini_file.h"
#include "app/key_store.h"
#include "util/atomic_file.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

std::string XdgBaseFolder(const TEnvironment& env, const char* variable, std::string_view underHome) {
  if (const std::optional<std::string> folder = env(variable); folder && IsAbsolutePath(*folder))
    return ExcludeTrailingSlash(*folder);
  if (const std::optional<std::string> home = env("HOME"); home && !home->empty())
    return ExcludeTrailingSlash(*home) + "/" + std::string(underHome);
  return std::string();
}

std::string ConfigHome(const TEnvironment& env) { return XdgBaseFolder(env, "XDG_CONFIG_HOME", ".config"); }

std::string KeyStorePathFor(const TEnvironment& env) {
  const std::string config = ConfigHome(env);
  return config.empty() ? std::string() : config + "/Tunevale/Tunevale.conf";
}

std::string IniFilePathFor(std::string_view programDir) {
  return IncludeTrailingSlash(programDir) + IniFileName;
}

std::string UserDirFromText(std::string_view userDirsText, std::string_view name, std::string_view home) {
  const std::string wanted = "XDG_" + std::string(name) + "_DIR";
  std::string result;  // the last entry wins, as when the shell reads the file
  for (const std::string& line : Split(userDirsText, '\n')) {
    const std::string_view trimmed = TrimView(line);
    const size_t eq = trimmed.find('=');
    if (trimmed.empty() || trimmed.front() == '#' || eq == std::string_view::npos) continue;
    if (TrimView(trimmed.substr(0, eq)) != wanted) continue;
    std::string_view quoted = TrimView(trimmed.substr(eq + 1));
    result.clear();
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') continue;
    quoted = quoted.substr(1, quoted.size() - 2);
    std::string value;
    for (size_t i = 0; i < quoted.size(); ++i) {
      if (quoted[i] == '\\' && i + 1 < quoted.size()) ++i;
      value.push_back(quoted[i]);
    }
    std::string folder;
    if (value == "$HOME" || StartsWith(value, "$HOME/"))
      folder = std::string(home) + value.substr(5);
    else if (IsAbsolutePath(value))
      folder = value;
    else
      continue;
    folder = NormalizePath(folder);
    if (folder != NormalizePath(home)) result = folder;
  }
  return result;
}

void ReadUserFolders(const TEnvironment& env, TSettings& settings) {
  const std::string config = ConfigHome(env);
  const std::string home = env("HOME").value_or(std::string());
  std::string text;
  if (config.empty() || home.empty() || !ReadWholeFile(config + "/user-dirs.dirs", text)) text.clear();
  settings.MyMusicFolder = UserDirFromText(text, "MUSIC", home);
  settings.MyVideoFolder = UserDirFromText(text, "VIDEOS", home);
}

std::unique_ptr<TSettingsStore> CreateSettingsStore(const TSettings& settings) {
  if (settings.IsInstalled) return std::make_unique<TKeyStore>(settings.KeyStorePath);
  return std::make_unique<TIniFile>(settings.IniFilePath);
}

}  // namespace tunevale
