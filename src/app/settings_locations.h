// Where the settings live: the store an installed or a portable copy uses,
// and the user's music and video folders for the default library folders.
// The environment is passed in, so these stay plain functions.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/settings_store.h"

namespace tunevale {

// Looks up an environment variable; nothing when it is unset.
using TEnvironment = std::function<std::optional<std::string>(const char* name)>;

// $`variable` when it is an absolute path, else $HOME/`underHome` ("" without
// either); no trailing "/".
std::string XdgBaseFolder(const TEnvironment& env, const char* variable, std::string_view underHome);
// XdgBaseFolder of XDG_CONFIG_HOME, else $HOME/.config.
std::string ConfigHome(const TEnvironment& env);
// ConfigHome + "/Tunevale/Tunevale.conf".
std::string KeyStorePathFor(const TEnvironment& env);
// The program's folder + "Tunevale.ini".
std::string IniFilePathFor(std::string_view programDir);

// The folder of one entry of an XDG "user-dirs.dirs" text (`name` "MUSIC" for
// XDG_MUSIC_DIR): "$HOME/..." or an absolute path. Empty when the entry is
// missing, malformed or the home folder itself (a switched-off folder).
std::string UserDirFromText(std::string_view userDirsText, std::string_view name, std::string_view home);
// Reads ConfigHome + "/user-dirs.dirs" and takes the MUSIC and VIDEOS entries
// into MyMusicFolder and MyVideoFolder.
void ReadUserFolders(const TEnvironment& env, TSettings& settings);

// The store IsInstalled selects: the key store at KeyStorePath, or the INI
// file at IniFilePath.
std::unique_ptr<TSettingsStore> CreateSettingsStore(const TSettings& settings);

}  // namespace tunevale
