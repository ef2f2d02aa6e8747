// The base of the program's dialog windows: a white body over a band
// 42 pixels high along the bottom, where the dialog's buttons sit.
#pragma once

#include <QDialog>

namespace tunevale {

class TTesselDialogForm : public QDialog {
 public:
  static constexpr int BandHeight = 42;

  // A dialog owned by `owner` (it gets no task-bar entry of its own).
  explicit TTesselDialogForm(QWidget* owner);

  // 16 pixels right of and below the owner's top left corner, moved fully
  // onto the owner's screen.
  void PlaceBesideOwner();

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tunevale
