#include "ui/tool_button.h"

#include <QAction>
#include <QPushButton>

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

QPushButton* ActionButton(QWidget* parent, QAction* action, const QString& caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(action->objectName() + "Button");
  const auto follow = [button, action] {
    button->setVisible(action->isVisible());
    button->setEnabled(action->isEnabled());
  };
  follow();
  QObject::connect(action, &QAction::changed, button, follow);
  QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
  return button;
}

}  // namespace tunevale
