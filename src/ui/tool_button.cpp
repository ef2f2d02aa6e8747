#include "ui/tool_button.h"

namespace tunevale {

void SetUpToolButton(QToolButton* button, const char* name, const QString& hint, const QIcon& icon) {
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setIcon(icon);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
}

QToolButton* ToolButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon) {
  auto* button = new QToolButton(parent);
  SetUpToolButton(button, name, hint, icon);
  return button;
}

}  // namespace tunevale
