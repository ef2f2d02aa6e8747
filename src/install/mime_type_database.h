// The shared MIME database port: the type the desktop gives a file name's
// extension. The platform answers from the shared MIME database; tests use
// a table.
#pragma once

#include <string>
#include <string_view>

namespace tunevale {

class TMimeTypeDatabase {
 public:
  virtual ~TMimeTypeDatabase() = default;
  // The type of files ending in "." + `ext` (lower case, without the dot),
  // "" when the database does not know the extension.
  virtual std::string TypeForExtension(std::string_view ext) const = 0;
};

}  // namespace tunevale
