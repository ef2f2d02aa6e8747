#include "platform/qt_mime_type_database.h"

#include <QMimeDatabase>

namespace tunevale {

std::string TQtMimeTypeDatabase::TypeForExtension(std::string_view ext) const {
  const QString name = "file." + QString::fromUtf8(ext.data(), qsizetype(ext.size()));
  const QMimeType type = QMimeDatabase().mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  // The default type (application/octet-stream) means no glob matched.
  if (!type.isValid() || type.isDefault()) return {};
  return type.name().toStdString();
}

}  // namespace tunevale
