#include "platform/qt_desktop.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace tunevale {

bool TQtDesktop::OpenUrl(const std::string& url) {
  return QDesktopServices::openUrl(QUrl::fromEncoded(QByteArray::fromStdString(url)));
}

bool TQtDesktop::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
  QStringList args;
  for (const std::string& a : arguments) args << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(program), args);
}

}  // namespace tunevale
