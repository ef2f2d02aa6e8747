// The video window, full screen, zoom and the tray under offscreen Qt: where
// the picture and the lent controls go, which menu items show, and what the
// custom zoom dialog leaves behind.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "ui/controls_panel.h"
#include "ui/custom_zoom_form.h"
#include "ui/main_actions.h"
#include "ui/main_form_fixture.h"
#include "ui/main_menus.h"
#include "ui/track_info_panel.h"
#include "ui/tray_form.h"
#include "ui/tray_icon.h"
#include "ui/video_display.h"
#include "ui/video_form.h"
#include "ui/video_sheet.h"
#include "ui/video_window.h"

namespace tunevale::test {
namespace {

class VideoTrayTest : public MainFormTest {
 protected:
  TMainForm& StartVideo() {
    Files.push_back(Folder.Write("media/clip.ogv", "x"));
    Runtime.OnProcessPendingMessages = [this] {
      if (Graph.Location.ends_with(".ogv") && Player->Controller().VideoWidth() == 0)
        Graph.FireVideoSize(320, 240);
    };
    TMainForm& form = Start(Files);
    Player->Playlist().PlayEntry(3, true);
    return form;
  }
  void RunWith(const char* action, int tag) {
    Form->Actions().Find(action)->setData(tag);
    Form->Actions().Run(action);
  }
  bool MenuShows(const QString& caption) {
    for (QAction* item : Form->Menus().VideoPopupMenu()->actions())
      if (item->text() == caption) return item->isVisible();
    return false;
  }
};

TEST_F(VideoTrayTest, MusicAfterAVideoShowsThePlaylistUnlessTheLibraryShows) {
  QTabWidget& pages = StartVideo().PageControl();
  for (const int shown : {int(mpPlaylist), int(mpLibrary)}) {
    Player->Playlist().PlayEntry(0, true);
    pages.setCurrentIndex(shown);
    Player->Playlist().PlayEntry(3, true);
    EXPECT_EQ(pages.currentIndex(), shown == mpLibrary ? mpLibrary : mpVideo) << shown;
    Player->Playlist().PlayEntry(0, true);
    EXPECT_EQ(pages.currentIndex(), shown) << shown;
  }
}

TEST_F(VideoTrayTest, FullScreenTakesThePictureAndSwapsTheSizeAndZoomMenus) {
  TMainForm& form = StartVideo();
  TVideoDisplay& video = form.VideoDisplay();
  const QWidget& panel = form.VideoSheet().Panel();
  const auto *title = form.findChild<QLabel*>("TitleLabel"), *time = form.findChild<QLabel*>("TimeLabel");
  EXPECT_EQ(video.VideoWindow().parentWidget(), &panel);
  // Windowed: fit into the panel minus its 1-pixel border, never zoomed.
  Player->Settings().HZoom = Player->Settings().VZoom = 100;
  video.LayoutVideo();
  const QRect windowed = video.VideoWindow().geometry();
  EXPECT_TRUE(QRect(1, 1, panel.width() - 2, panel.height() - 2).contains(windowed)) << windowed.x();
  EXPECT_TRUE(MenuShows("Video size"));
  EXPECT_FALSE(MenuShows("Zoom mode"));

  form.Actions().Run("ToggleFullScreenAction");
  ASSERT_TRUE(video.FullScreen());
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(video.VideoWindow().parentWidget(), &video.VideoForm());
  EXPECT_EQ(form.ControlsPanel().parentWidget(), &form.TrayForm());  // the strip over the picture
  EXPECT_EQ(title->parentWidget(), &form.ControlsPanel());           // the track shows on the strip
  EXPECT_EQ(time->parentWidget(), &form.ControlsPanel());
  EXPECT_FALSE(MenuShows("Video size"));
  EXPECT_TRUE(MenuShows("Zoom mode"));
  RunWith("ZoomModeAction", 2);  // stretch: the whole screen
  EXPECT_EQ(video.VideoWindow().geometry(), video.VideoForm().rect());
  EXPECT_EQ(Player->Settings().HZoom, -1);

  form.Actions().Run("ToggleFullScreenAction");
  EXPECT_FALSE(video.FullScreen());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(video.VideoWindow().parentWidget(), &panel);
  EXPECT_EQ(form.ControlsPanel().window(), &form);
  EXPECT_EQ(title->parentWidget(), &form.TrackInfoPanel());  // and back
  EXPECT_EQ(video.VideoWindow().geometry(), windowed);
}

TEST_F(VideoTrayTest, FullScreenKeepsEscAndSpaceAndPassesOnTheRest) {
  TMainForm& form = StartVideo();
  form.TrayIcon().AvailableCheck = [] { return true; };
  form.Actions().Run("ToggleFullScreenAction");
  QWidget& screen = form.VideoDisplay().VideoForm();
  QTest::keyClick(&screen, Qt::Key_Space);  // once, not once more by the main window
  EXPECT_EQ(Player->Controller().State(), psPaused);
  QTest::keyClick(&screen, Qt::Key_F8);
  EXPECT_TRUE(Player->Settings().VolumeMuted);
  QTest::keyClick(&screen, Qt::Key_Escape);  // leaves full screen and does not go on into the tray
  EXPECT_FALSE(form.VideoDisplay().FullScreen());
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.ControlsPanel().window(), &form);
}

TEST_F(VideoTrayTest, CustomZoomAppliesAtOnceFollowsTheLockAndCancelRestores) {
  TMainForm& form = StartVideo();
  Player->Settings().HZoom = 20;
  Player->Settings().VZoom = 60;
  form.Actions().Run("ToggleFullScreenAction");
  std::vector<std::pair<int, int>> seen;
  QTimer::singleShot(0, [&] {
    auto* dialog = form.VideoDisplay().VideoForm().findChild<TCustomZoomForm*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(dialog->LockSlidersCheckBox().isChecked());  // the two differ
    dialog->HTrackBar().setValue(40);
    seen.push_back({Player->Settings().HZoom, Player->Settings().VZoom});
    dialog->LockSlidersCheckBox().setChecked(true);
    EXPECT_FALSE(dialog->VTrackBar().isEnabled());
    dialog->HTrackBar().setValue(70);
    seen.push_back({Player->Settings().HZoom, Player->Settings().VZoom});
    dialog->reject();
  });
  RunWith("ZoomModeAction", 3);
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{40, 60}, {70, 70}}));
  EXPECT_EQ(Player->Settings().HZoom, 20);
  EXPECT_EQ(Player->Settings().VZoom, 60);
}

TEST_F(VideoTrayTest, HideInTrayLendsTheControlsAndTakesThemBack) {
  TMainForm& form = Start(Files);
  Player->Playlist().PlayEntry(0, true);
  Player->ToggleView(TWindowSwitch::MicroMode);  // the slim view's bar must come back slim
  const auto at = [&](const char* name) {
    return form.TrackInfoPanel().findChild<QWidget*>(name)->geometry();
  };
  form.TrayIcon().AvailableCheck = [] { return true; };  // without one: the tray D-Bus test
  form.Actions().Run("ShowHideAction");
  EXPECT_FALSE(form.isVisible());
  TTrayForm& tray = form.TrayForm();
  EXPECT_EQ(form.ControlsPanel().parentWidget(), &tray);
  EXPECT_EQ(form.TrackInfoPanel().parentWidget(), &tray);
  EXPECT_EQ(form.ControlsPanel().height(), 36);  // all its buttons, even from the slim view
  Runtime.Advance(1000);
  EXPECT_TRUE(tray.isVisible());
  EXPECT_EQ(tray.Fader().State(), tsShown);
  const QImage shown = tray.grab().toImage();
  EXPECT_EQ(shown.pixelColor(3, 3), QColor(Qt::black));  // left of the labels
  EXPECT_EQ(shown.pixelColor(shown.width() - 3, shown.height() - 3), QColor(Qt::black));  // the controls
  const QRect work = tray.screen()->availableGeometry();
  EXPECT_LE(tray.geometry().right(), work.right());
  EXPECT_LE(tray.geometry().bottom(), work.bottom());
  EXPECT_GT(tray.geometry().left(), work.center().x());
  // The tray's own arrangement: title at 4,4, the time 2 below, the subtitle
  // flush right on the time's line, the button in the top right corner.
  const QRect title = at("TitleLabel"), time = at("TimeLabel"), subtitle = at("SubtitleLabel");
  const int width = form.TrackInfoPanel().width();
  EXPECT_EQ(title.topLeft(), QPoint(4, 4));
  EXPECT_EQ(time.topLeft(), QPoint(4, title.bottom() + 3));
  EXPECT_EQ(subtitle.right(), width - 5);
  EXPECT_EQ(subtitle.top(), time.top());
  EXPECT_GT(subtitle.width(), 0);
  EXPECT_EQ(at("HideInTrayButton").topRight(), QPoint(width - 1, 0));
  EXPECT_EQ(form.TrackInfoPanel().height(), time.bottom() + 3);
  EXPECT_EQ(tray.height(), form.TrackInfoPanel().height() + 36 + 2);
  Runtime.Advance(1150);  // fading out; the mouse coming over the lent controls brings it back
  ASSERT_EQ(tray.Fader().State(), tsFadingOut);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), tray.mapToGlobal(QPointF(5, 5)));
  QApplication::sendEvent(&tray, &enter);
  EXPECT_EQ(tray.Fader().State(), tsFadingIn);

  form.Actions().Run("ShowHideAction");
  EXPECT_TRUE(form.isVisible());
  EXPECT_FALSE(tray.isVisible());
  EXPECT_EQ(form.ControlsPanel().window(), &form);
  EXPECT_EQ(form.TrackInfoPanel().window(), &form);
  EXPECT_LT(form.TrackInfoPanel().y(), form.ControlsPanel().y());
  EXPECT_EQ(form.ControlsPanel().height(), 12);
  const int height = form.TrackInfoPanel().height(), right = form.TrackInfoPanel().width() - 1;
  EXPECT_EQ(height, 57);
  EXPECT_EQ(at("TitleLabel").topLeft(), QPoint(8, 4));
  EXPECT_EQ(at("SubtitleLabel").topLeft(), QPoint(8, 20));
  EXPECT_EQ(at("TimeLabel").topLeft(), QPoint(8, height - 21));
  EXPECT_EQ(at("HideInTrayButton").topRight(), QPoint(right - 1, 1));
  Player->Settings().ShowTrayControlsBackground = true;  // the tray's grey, where a skin picture would go
  form.Actions().Run("ShowHideAction");
  EXPECT_EQ(tray.grab().toImage().pixelColor(3, 3), QColor(0x60, 0x60, 0x60));
}

}  // namespace
}  // namespace tunevale::test
