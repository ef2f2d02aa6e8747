// The Library page under offscreen Qt over a headless player: sorting by the
// header, the column chooser, history keys and buttons, type-to-search and
// what a drag carries.
#include "ui/library_sheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "library/library_test_support.h"
#include "ui/main_form_fixture.h"

namespace tunevale {
namespace {

class LibrarySheetTest : public test::MainFormTest {
 protected:
  LibrarySheetTest() {
    Start({});
    const std::tuple<const char*, const char*, const char*, int> tracks[] = {
        {"b", "Kinks", "Face", 2}, {"a", "Kinks", "Face", 1}, {"c", "Abba", "Gold", 1}};
    for (const auto& [title, artist, album, number] : tracks) {
      TMetaData meta = test::Tags(title, artist, album);
      meta.Track = number;
      test::AddTestTrack(Player->Library(), std::string("/m/") + title + ".mp3", meta);
    }
    Form->SelectPage(mpLibrary);
    Player->Search().RefreshLibraryLists(false);
  }

  QTreeView* View(const char* name) { return Form->findChild<QTreeView*>(name); }
  QTabWidget* Pages() { return Form->findChild<QTabWidget*>("LibraryPageControl"); }
  QLineEdit* SearchEdit() { return Form->findChild<QLineEdit*>("SearchEdit"); }
  static QStringList Column(QTreeView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
      texts << view->model()->index(row, column).data().toString();
    return texts;
  }
  static void Key(QWidget* w, int key, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
  }
  static void ClickHeader(QHeaderView* header, int section) {
    const QPointF at(header->sectionViewportPosition(section) + 5, header->height() / 2.0);
    for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(header->viewport(), &event);
    }
  }
};

TEST_F(LibrarySheetTest, HeaderClicksSortAndFlipAndTheChooserRebuildsColumns) {
  QTreeView* tracks = View("TracksListView");
  Pages()->setCurrentIndex(lpTracks);
  EXPECT_EQ(Column(tracks, 0), (QStringList{"b", "a", "c"}));  // library order
  ClickHeader(tracks->header(), 0);
  EXPECT_EQ(Column(tracks, 0), (QStringList{"a", "b", "c"}));
  ClickHeader(tracks->header(), 0);
  EXPECT_EQ(Column(tracks, 0), (QStringList{"c", "b", "a"}));
  ClickHeader(tracks->header(), 2);  // "Album", then the track number
  EXPECT_EQ(Column(tracks, 0), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(tracks->header()->sortIndicatorSection(), 2);

  QMenu* chooser = Form->LibrarySheet().ColumnMenu();
  const QList<QAction*> items = chooser->actions();
  ASSERT_EQ(items.size(), 7);
  EXPECT_TRUE(items[0]->isChecked() && !items[0]->isEnabled());
  items[2]->trigger();  // hide "Album": the sort on it ends
  EXPECT_EQ(tracks->model()->columnCount(), 6);
  EXPECT_EQ(tracks->model()->headerData(2, Qt::Horizontal).toString(), "Artist");
  EXPECT_EQ(Player->Settings().TrackColumns[1], -1);
  EXPECT_EQ(Player->Search().List(lpTracks).SortTag, 0);
  items[2]->trigger();
  EXPECT_EQ(tracks->model()->headerData(2, Qt::Horizontal).toString(), "Album");
}

TEST_F(LibrarySheetTest, BackspaceAndTheBackButtonWalkTheHistory) {
  for (const int page : {lpAlbums, lpTracks, lpVideos}) Pages()->setCurrentIndex(page);
  Key(View("VideosListView"), Qt::Key_Backspace);
  EXPECT_EQ(Pages()->currentIndex(), lpTracks);
  QWidget* viewport = View("TracksListView")->viewport();
  QMouseEvent back(QEvent::MouseButtonPress, QPointF(5, 5), viewport->mapToGlobal(QPointF(5, 5)),
                   Qt::BackButton, Qt::BackButton, Qt::NoModifier);
  QApplication::sendEvent(viewport, &back);
  EXPECT_EQ(Pages()->currentIndex(), lpAlbums);
  auto* forward = Form->findChild<QToolButton*>("ForwardButton");
  EXPECT_TRUE(forward->isEnabled());
  EXPECT_EQ(forward->toolTip(), "Forward to Tracks");
}

TEST_F(LibrarySheetTest, TypingInAListSearchesAndEnterOpensTheArtist) {
  QTreeView* artists = View("ArtistsListView");
  Key(artists, Qt::Key_K, "k");
  EXPECT_EQ(SearchEdit()->text(), "k");
  EXPECT_TRUE(SearchEdit()->hasFocus() || !QApplication::focusWidget());
  EXPECT_EQ(Column(artists, 0), (QStringList{"<All>", "Kinks"}));
  Key(artists, Qt::Key_Return);  // the first result is selected: Kinks, one album, so its tracks
  EXPECT_EQ(Pages()->currentIndex(), lpTracks);
  EXPECT_EQ(SearchEdit()->text(), "AlbumArtist:\"Kinks\"");
  EXPECT_EQ(Column(View("TracksListView"), 0), (QStringList{"b", "a"}));
}

TEST_F(LibrarySheetTest, ADragCarriesFileAddresses) {
  QAbstractItemModel* albums = View("AlbumsListView")->model();
  std::unique_ptr<QMimeData> data(albums->mimeData({albums->index(0, 0), albums->index(0, 1)}));
  EXPECT_EQ(data->urls(), (QList<QUrl>{QUrl("file:///m/b.mp3"), QUrl("file:///m/a.mp3")}));
  QAbstractItemModel* playlists = View("PlaylistsListView")->model();
  EXPECT_FALSE(playlists->flags(playlists->index(0, 0)) & Qt::ItemIsDragEnabled);
}

}  // namespace
}  // namespace tunevale
