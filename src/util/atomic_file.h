// Files the program owns are replaced atomically: written to a temporary file
// in the same folder, flushed to disk, then renamed over the old one.
#pragma once

#include <string>
#include <string_view>

namespace tunevale {

// Returns false (and leaves the old file untouched) when any step fails;
// `error` then says why. The new file gets `mode` less the umask.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error = nullptr,
                         unsigned mode = 0666);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace tunevale
