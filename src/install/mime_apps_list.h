// The user's mimeapps.list is shared by every program: these change only our
// own desktop id in "[Default Applications]" and keep every other line,
// section and comment as it is.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

// Puts `desktopId` first in the default list of each of `types`; the
// programs listed before stay after it.
std::string SetDefaultApplication(std::string_view text, const std::vector<std::string>& types,
                                  std::string_view desktopId);

// Takes `desktopId` out of every default list whose type is not in `keep`;
// a list left empty goes with its line.
std::string RemoveDefaultApplication(std::string_view text, std::string_view desktopId,
                                     const std::vector<std::string>& keep);

// Applies `change` to the file at `path` and replaces it atomically when the
// text changed (a link is followed to the file it names). A missing file
// reads as empty.
bool UpdateMimeAppsList(const std::string& path, const std::function<std::string(std::string_view)>& change,
                        std::string* error = nullptr);

}  // namespace tunevale
