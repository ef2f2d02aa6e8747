// The flat tool buttons of the window's strips and pages.
#pragma once

#include <QToolButton>

namespace tunevale {

// Gives `button` the window's button look: flat, no keyboard focus, `name`
// as its object name and `hint` as its tool tip.
void SetUpToolButton(QToolButton* button, const char* name, const QString& hint, const QIcon& icon);
// A new button of that look on `parent`.
QToolButton* ToolButton(QWidget* parent, const char* name, const QString& hint, const QIcon& icon);

}  // namespace tunevale
