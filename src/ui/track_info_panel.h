// The track strip at the top of the window: title, subtitle, time and
// version labels and the hide button, over the skin's picture (inset 2
// pixels) on the strip's fill and outline. It shows the
// controller's texts; what its hide button, a double-click and its context
// menu do is the window's to say.
#pragma once

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QPoint>
#include <functional>
#include <string>

class QLabel;
class QMenu;
class QToolButton;

namespace tunevale {

class TPlayer;
struct TSettings;

class TTrackInfoPanel final : public QFrame {
 public:
  TTrackInfoPanel(TPlayer& player, QWidget* parent);

  void OnHideInTray(std::function<void()> handler);
  void SetHideInTrayHint(const std::string& hint);
  void OnDoubleClick(std::function<void()> handler);
  void SetContextMenu(QMenu* menu);

  // Takes the controller's label texts and places the labels.
  void ShowNowPlaying();
  // Lays the labels out over the strip's width; the version label gives way
  // to a long time text, to the small strip and to HideVersionLabel.
  void PlaceControls();
  // The small strip is 16 pixels lower and has no subtitle.
  void SetSmall(bool small);
  void SetFontColour(const QColor& colour);
  // The skin's fill, outline and picture, the design's where it sets none.
  void ApplySkin(const TSettings& settings);
  const QImage& Picture() const { return SkinImage; }
  // Lent to the tray window: black with white text, or with `background` the
  // tray window's own backdrop behind text in the strip's colour; the labels
  // take the tray window's arrangement and the strip its height.
  void SetInTray(bool inTray, bool background);
  // False when `title` would run into the hide button.
  bool TitleFits(const std::string& title) const;
  QRect HideInTrayButtonGeometry() const;
  // Over full-screen video the title and time show in `host` (the controls
  // strip), the title's top left at `at`; null takes them back.
  void LendLabels(QWidget* host, QPoint at);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void UpdateLook();
  void ApplyHeight();
  void PlaceInTray();

  TPlayer& Player;
  std::function<void()> DoubleClicked;
  QLabel* TitleLabel = nullptr;
  QLabel* SubtitleLabel = nullptr;
  QLabel* TimeLabel = nullptr;
  QLabel* VersionLabel = nullptr;
  QToolButton* HideInTrayButton = nullptr;
  QWidget* LabelHost = nullptr;
  QPoint LentAt;
  QColor FontColour{Qt::white};
  QColor Fill, Outline;
  QImage SkinImage;
  bool InTray = false, TrayBackground = false, Small = false;
};

}  // namespace tunevale
