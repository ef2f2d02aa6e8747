// TMimeTypeDatabase over QMimeDatabase (the shared MIME database).
#pragma once

#include "install/mime_type_database.h"

namespace tunevale {

class TQtMimeTypeDatabase final : public TMimeTypeDatabase {
 public:
  std::string TypeForExtension(std::string_view ext) const override;
};

}  // namespace tunevale
