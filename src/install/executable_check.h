// Whether downloaded bytes are a program this machine runs: an ELF file of
// the running executable's class, byte order and machine whose header tables
// lie inside the bytes (a cut-off download fails that).
#pragma once

#include <string>
#include <string_view>

namespace tunevale {

// `ownHeader`: at least the first 64 bytes of the running executable.
bool IsCompatibleExecutable(std::string_view candidate, std::string_view ownHeader);

// The first 64 bytes of the file at `path` ("" when it cannot be read).
std::string ReadExecutableHeader(const std::string& path);

}  // namespace tunevale
