// The base of the program's dialogs: a white body and, along the bottom, a
// band 42 pixels high in the button face colour with a light grey outline
// (one pixel past the left, right and bottom edges, so only its top line
// shows), where the dialog's buttons sit.
#pragma once

#include <QDialog>

class QFrame;

namespace tunevale {

class TTesselDialogForm : public QDialog {
 public:
  static constexpr int BandHeight = 42;

  explicit TTesselDialogForm(QWidget* parent = nullptr);
  QFrame* Band() const { return BandShape; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QFrame* BandShape;
};

}  // namespace tunevale
