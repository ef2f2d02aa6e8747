// File work of the installer on files it owns: each step says what went
// wrong in `failures` (one line per path) instead of stopping, so a partial
// installation or removal can name everything that failed.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

using TFailures = std::vector<std::string>;

// Creates the parent folders and replaces the file atomically with `mode`.
bool WriteOwnedFile(const std::string& path, std::string_view content, unsigned mode, TFailures& failures);
// A file that is already gone counts as removed.
bool RemoveOwnedFile(const std::string& path, TFailures& failures);
// Removes the folder only when it is empty; one still holding anything stays
// and is no failure.
void RemoveFolderIfEmpty(const std::string& path, TFailures& failures);
// Makes `path` a symbolic link to `target`, replacing an older link (never a
// file or folder of someone else).
bool ReplaceLink(const std::string& path, const std::string& target, TFailures& failures);
// Whether `path` is a symbolic link to exactly `target`.
bool IsLinkTo(const std::string& path, const std::string& target);

}  // namespace tunevale
