// The track strip at the top of the window: title, subtitle, time and
// version labels and the hide button. It shows the controller's texts; what
// its hide button and a double-click do is the window's to say.
#pragma once

#include <QFrame>
#include <functional>
#include <string>

class QLabel;
class QToolButton;

namespace tunevale {

class TPlayer;

class TTrackInfoPanel final : public QFrame {
 public:
  static constexpr int Height = 57;

  TTrackInfoPanel(TPlayer& player, QWidget* parent);

  void OnHideInTray(std::function<void()> handler);
  void OnDoubleClick(std::function<void()> handler);

  // Takes the controller's label texts and places the labels.
  void ShowNowPlaying();
  // Lays the labels out over the strip's width; the version label gives way
  // to a long time text and follows HideVersionLabel.
  void PlaceControls();
  // False when `title` would run into the hide button.
  bool TitleFits(const std::string& title) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TPlayer& Player;
  std::function<void()> DoubleClicked;
  QLabel* TitleLabel = nullptr;
  QLabel* SubtitleLabel = nullptr;
  QLabel* TimeLabel = nullptr;
  QLabel* VersionLabel = nullptr;
  QToolButton* HideInTrayButton = nullptr;
};

}  // namespace tunevale
