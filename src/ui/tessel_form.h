// What every window of the program shares: on creation it takes the
// desktop's general UI font (links use Qt's pointing-hand cursor, which is
// the desktop's own). A main-type window (own task-bar entry) that is
// activated while a modal dialog blocks it hands the activation on.
#pragma once

class QRect;
class QWidget;

namespace tunevale {

void SetUpTesselForm(QWidget& form);

// For a main-type window's activation event: while a modal dialog other than
// `form` shows, the dialog is activated instead. True when it was.
bool HandActivationToModal(QWidget& form);

// Moves `window` (its frame at `frame`) the least it takes to lie fully on
// its screen's work area.
void MoveFullyOnScreen(QWidget& window, QRect frame);

}  // namespace tunevale
