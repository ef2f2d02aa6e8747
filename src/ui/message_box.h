// The program's message box: fixed caption "Tunevale", an icon by kind.
#pragma once

#include <QMessageBox>
#include <string>

#include "app/message_kind.h"

namespace tunevale {

QMessageBox::Icon MessageBoxIcon(TMessageKind kind);
// A modal box.
void ShowMessageBox(QWidget* parent, const std::string& text, TMessageKind kind);

}  // namespace tunevale
