// Files the program owns are replaced atomically: written to a temporary file
// in the same folder, flushed to disk, then renamed over the old one. The
// temporary has no name while it is written (where the file system allows),
// so a process killed meanwhile leaves nothing behind.
#pragma once

#include <string>
#include <string_view>

namespace tunevale {

// Returns false (and leaves the old file untouched) when any step fails;
// `error` then says why.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error = nullptr);

// Removes what interrupted saves of `path` left beside it: regular files named
// like its temporaries ("<name>.tmp-" and six letters or digits) and older
// than this process. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace tunevale
