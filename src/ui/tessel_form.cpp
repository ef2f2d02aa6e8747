#include "ui/tessel_form.h"

#include <QApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tunevale {

void SetUpTesselForm(QWidget& form) { form.setFont(QFontDatabase::systemFont(QFontDatabase::GeneralFont)); }

bool HandActivationToModal(QWidget& form) {
  QWidget* modal = QApplication::activeModalWidget();
  if (!modal || modal == &form || !modal->isVisible()) return false;
  const bool blocksForm = modal->windowModality() == Qt::ApplicationModal ||
                          (modal->parentWidget() && modal->parentWidget()->window() == &form);
  if (!blocksForm) return false;
  modal->raise();
  modal->activateWindow();
  return true;
}

void MoveFullyOnScreen(QWidget& window, QRect frame) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width() + 1)));
  frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height() + 1)));
  window.move(frame.topLeft());
}

}  // namespace tunevale
