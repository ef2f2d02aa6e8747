// Files the program owns are replaced atomically: written to a temporary file
// in the same folder, flushed to disk, then renamed over the old one. The
// temporary has no name while it is written (where the file system allows),
// so a process killed meanwhile leaves nothing behind.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace tunevale {

// Returns false (and leaves the old file untouched) when any step fails;
// `error` then says why. The new file gets `mode` less the umask.
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error = nullptr,
                         unsigned mode = 0666);
// The same for content made piece by piece, so a big file need not be in memory
// whole: `produce` hands each piece in order to the writer it is given, and stops
// and returns false as soon as that writer returns false.
using TPieceWriter = std::function<bool(std::string_view piece)>;
bool WriteFileAtomically(const std::string& path, const std::function<bool(const TPieceWriter&)>& produce,
                         std::string* error = nullptr, unsigned mode = 0666);

// Removes what interrupted saves of `path` left beside it: regular files named
// like its temporaries ("<name>.tmp-" and six letters or digits) and older
// than this process. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);
// Reads a regular file (links followed) of at most `maxBytes`; false for
// anything else, such as a FIFO, a device or a larger file.
bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& content);

}  // namespace tunevale
