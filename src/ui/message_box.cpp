#include "ui/message_box.h"

#include <QMessageBox>

namespace tunevale {

QMessageBox::Icon MessageBoxIcon(TMessageKind kind) {
  return kind == mtError     ? QMessageBox::Critical
         : kind == mtWarning ? QMessageBox::Warning
                             : QMessageBox::Information;
}

void ShowMessageBox(QWidget* parent, const std::string& text, TMessageKind kind) {
  QMessageBox box(MessageBoxIcon(kind), "Tunevale", QString::fromStdString(text), QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tunevale
