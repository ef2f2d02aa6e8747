// The flat tool buttons of the window's strips and pages.
#pragma once

#include <QToolButton>

class QAction;
class QPushButton;

namespace tunevale {

// Gives `button` the window's button look: flat, no keyboard focus, `name`
// as its object name and `hint` as its tool tip.
void SetUpToolButton(QToolButton* button, const char* name, const QString& hint, const QIcon& icon);
// A new button of that look on `parent`.
QToolButton* ToolButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon);
// A push button that runs `action` and shows and enables itself with it.
QPushButton* ActionButton(QWidget* parent, QAction* action, const QString& caption);

}  // namespace tunevale
