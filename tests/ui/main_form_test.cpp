// The main window's playing, playlist and sizing under offscreen Qt.
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include "ui/main_form_fixture.h"
#include "ui/playlist_sheet.h"
#include "ui/view_modes.h"

namespace tunevale::test {
namespace {

TEST_F(MainFormTest, ShowsThePlayingEntryAndThePlayButtonFollowsTheEngine) {
  Start(Files);
  ASSERT_EQ(Graph.Location, Files[0]);
  EXPECT_TRUE(Text("TitleLabel").contains("Dancing"));
  EXPECT_EQ(Text("TitleLabel").toStdString(), Player->Controller().TitleLabel());
  EXPECT_EQ(Text("SubtitleLabel").toStdString(), Player->Controller().SubtitleLabel());
  EXPECT_EQ(Text("TimeLabel").toStdString(), Player->Controller().TimeLabel());

  auto* play = Child<QToolButton>("PlayButton");
  EXPECT_TRUE(play->property("playing").toBool());
  play->click();
  EXPECT_EQ(Graph.CurrentState, gsPaused);
  EXPECT_FALSE(play->property("playing").toBool());
  play->click();
  EXPECT_EQ(Graph.CurrentState, gsRunning);
  EXPECT_TRUE(play->property("playing").toBool());
  Child<QToolButton>("StopButton")->click();
  EXPECT_FALSE(play->property("playing").toBool());
  EXPECT_FALSE(Child<QToolButton>("StopButton")->isEnabled());
}

TEST_F(MainFormTest, PlaylistListShowsRowsMarkersAndSelection) {
  Start(Files);
  auto* list = Child<QListView>("PlaylistListView");
  QAbstractItemModel* model = list->model();
  ASSERT_EQ(model->rowCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(model->index(i, 0).data().toString().toStdString(), Player->Playlist().Row(i).Caption);
  EXPECT_FALSE(model->index(0, 0).data(Qt::DecorationRole).isNull());

  // Selection made in the view lands in the playlist, and the other way.
  list->selectionModel()->select(model->index(2, 0), QItemSelectionModel::Select);
  EXPECT_TRUE(Player->Playlist().Row(2).Selected);
  Player->Playlist().SelectOnly(1);
  EXPECT_TRUE(list->selectionModel()->isSelected(model->index(1, 0)));
  EXPECT_FALSE(list->selectionModel()->isSelected(model->index(2, 0)));

  Player->Playlist().RemoveTracksActionExecute();
  EXPECT_EQ(model->rowCount(), 2);
  Child<QToolButton>("RemoveButton")->click();
  EXPECT_EQ(model->rowCount(), 0);
}

TEST_F(MainFormTest, ShortPressOnNextAdvancesAndPlayModeListFollowsThePlaylist) {
  Start(Files);
  ASSERT_EQ(Player->Playlist().PlayingIndex(), 0);
  auto* next = Child<QToolButton>("NextButton");
  Mouse(next, QEvent::MouseButtonPress);
  Mouse(next, QEvent::MouseButtonRelease);
  EXPECT_EQ(Player->Playlist().PlayingIndex(), 1);
  EXPECT_FALSE(Player->Controller().SeekTimerRunning());

  auto* modes = Child<QComboBox>("PlayModeComboBox");
  Player->Playlist().SetPlayMode(pmRepeatAll);
  EXPECT_EQ(modes->currentIndex(), 3);
  modes->activated(1);
  EXPECT_EQ(Player->Playlist().PlayMode(), pmRepeat);
}

TEST_F(MainFormTest, WindowGeometryIsSavedAndRestoredThroughTheSettings) {
  // Closes the window as the user does and starts the player again.
  const auto restart = [this]() -> TMainForm& {
    Player->FormCloseQuery();
    Form.reset();
    Player.reset();
    return Start({});
  };
  Start({}).resize(400, 500);
  Form->move(30, 40);
  TMainForm& form = restart();
  EXPECT_EQ(form.size(), QSize(400, 500));
  EXPECT_EQ(Player->Settings().WindowWidth, 400);
  EXPECT_EQ(Player->Settings().WindowHeight, 500);
  EXPECT_FALSE(Player->Settings().MiniMode);

  // The mini view is restored as such, and leaving it gives the normal size back.
  form.resize(400, 100);
  EXPECT_TRUE(Player->Settings().MiniMode);
  EXPECT_EQ(form.height(), 57 + 36);
  TMainForm& again = restart();
  EXPECT_TRUE(Player->Settings().MiniMode);
  EXPECT_EQ(again.height(), 57 + 36);
  again.resize(400, 500);
  EXPECT_FALSE(Player->Settings().MiniMode);

  // A double-click on the track strip switches to the mini view (as small as
  // it goes) and back.
  auto* strip = Child<QWidget>("TrackInfoPanel");
  Mouse(strip, QEvent::MouseButtonDblClick);
  EXPECT_TRUE(Player->Settings().MiniMode);
  EXPECT_EQ(again.size(), QSize(242, 57 + 36));
  Mouse(strip, QEvent::MouseButtonDblClick);
  EXPECT_FALSE(Player->Settings().MiniMode);
  EXPECT_EQ(again.size(), QSize(400, 500));
}

TEST_F(MainFormTest, SeekKeysWorkInListsButNotInTheSearchBoxAndEscEndsADrag) {
  Start(Files);
  const TPlaybackController& c = Player->Controller();
  auto* list = Child<QListView>("PlaylistListView");
  QTest::keyPress(list, Qt::Key_F);
  EXPECT_EQ(c.PositionMs(), 30000);
  QTest::keyRelease(list, Qt::Key_F);
  EXPECT_FALSE(c.SeekTimerRunning());
  QTest::keyClick(Child<QTreeView>("TracksListView"), Qt::Key_B, Qt::ShiftModifier);
  QTest::keyClicks(Child<QLineEdit>("SearchEdit"), "fb");
  EXPECT_EQ(c.PositionMs(), 24000);
  EXPECT_EQ(Child<QLineEdit>("SearchEdit")->text(), "fb");

  auto* bar = Child<QWidget>("ProgressBar");
  Mouse(bar, QEvent::MouseButtonPress);
  ASSERT_TRUE(c.Dragging());
  QTest::keyClick(list, Qt::Key_Escape);
  Mouse(bar, QEvent::MouseButtonRelease);
  EXPECT_EQ(Graph.PositionMs, 24000);  // the release did not seek
  EXPECT_EQ(c.ProgressPosition(), 24000);
}

TEST_F(MainFormTest, OpenFilterBecomesQtEntries) {
  EXPECT_EQ(QtOpenFilter("Media files|*.mp3;*.wma|All files|*.*"),
            "Media files (*.mp3 *.wma);;All files (*.*)");
  EXPECT_EQ(QtOpenFilter(""), "");
  EXPECT_EQ(QtOpenFilter("dangling"), "");
}

}  // namespace
}  // namespace tunevale::test
