// The desktop entry (".desktop" file) that launches the player from menus,
// the desktop folder and "Open with".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

inline constexpr const char* ApplicationDescription =
    "The lightweight media player to play your favorite music and videos.";

// One argument of an Exec= line: in double quotes with ", `, $ and \ escaped
// by a backslash, "%" doubled, then the escapes every string value takes
// (a backslash doubled, control characters as \n, \t, \r).
std::string DesktopExecArgument(std::string_view arg);

// The entry for `exePath` declaring `mimeTypes`. `hidden`: kept out of the
// menus (NoDisplay), for an entry that exists only for file associations.
std::string BuildDesktopEntry(std::string_view exePath, const std::vector<std::string>& mimeTypes,
                              bool hidden);

}  // namespace tunevale
