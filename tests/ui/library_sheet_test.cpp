// The Library page under offscreen Qt over a headless player: sorting by the
// header, the column chooser, history keys and buttons, type-to-search, what
// a drag carries, the lists' menus and the properties windows.
#include "ui/library_sheet.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

#include "library/library_test_support.h"
#include "library/search_query.h"
#include "ui/main_actions.h"
#include "ui/main_form_fixture.h"
#include "ui/main_menus.h"
#include "ui/properties_form.h"
#include "ui/properties_windows.h"

namespace tunevale {
namespace {

// Remembers what the player asks the desktop to open.
struct TRecordingDesktop : TDesktop {
  bool OpenUrl(const std::string& url) override {
    Opened.push_back(url);
    return true;
  }
  bool StartProgram(const std::string&, const std::vector<std::string>&) override { return false; }
  std::vector<std::string> Opened;
};

class LibrarySheetTest : public test::MainFormTest {
 protected:
  LibrarySheetTest() {
    DesktopPort = &Desktop;
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

  QTreeView* View(const char* name) { return Child<QTreeView>(name); }
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

  static void Select(QTreeView* view, std::initializer_list<int> rows) {
    view->clearSelection();
    for (int row : rows)
      view->selectionModel()->select(view->model()->index(row, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
  }
  // The menu's item `caption` as the user finds it once the menu opened.
  static QAction* Item(QMenu* menu, const QString& caption) {
    emit menu->aboutToShow();
    for (QAction* item : menu->actions())
      if (item->text() == caption && item->isVisible()) return item;
    return nullptr;
  }
  std::vector<std::string> PlaylistFiles() const {
    std::vector<std::string> files;
    for (int i = 0; i < Player->Playlist().Count(); ++i)
      files.push_back(Player->Playlist().Row(i).Data->FileName);
    return files;
  }

  ~LibrarySheetTest() override {
    Form.reset();  // before the desktop they use
    Player.reset();
  }

  TRecordingDesktop Desktop;
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

TEST_F(LibrarySheetTest, ListMenusPlayAndAddThroughThePlaylistAndFollowTheSelection) {
  const TMainMenus& menus = Form->Menus();
  QTreeView* artists = View("ArtistsListView");
  EXPECT_FALSE(Item(menus.LibraryArtistsPopupMenu(), "Add artist")->isEnabled());  // nothing selected
  Select(artists, {static_cast<int>(Column(artists, 0).indexOf("Kinks"))});
  Item(menus.LibraryArtistsPopupMenu(), "Add artist")->trigger();
  EXPECT_EQ(PlaylistFiles(), (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3"}));

  Pages()->setCurrentIndex(lpAlbums);
  Select(View("AlbumsListView"), {static_cast<int>(Column(View("AlbumsListView"), 0).indexOf("Gold"))});
  Item(menus.LibraryAlbumsPopupMenu(), "Play album")->trigger();
  EXPECT_EQ(PlaylistFiles(), (std::vector<std::string>{"/m/c.mp3"}));

  Form->SelectPage(mpLibrary);
  Pages()->setCurrentIndex(lpTracks);
  QTreeView* tracks = View("TracksListView");
  QMenu* tracksMenu = menus.LibraryTracksPopupMenu();
  Select(tracks, {1, 2});
  Item(tracksMenu, "Add to playlist")->trigger();
  EXPECT_EQ(tracksMenu->defaultAction()->text(), "Play selected");
  Select(tracks, {1});
  QAction* playAll = Item(tracksMenu, "Play all");
  EXPECT_EQ(tracksMenu->defaultAction(), playAll);
  playAll->trigger();
  EXPECT_EQ(PlaylistFiles(), (std::vector<std::string>{"/m/b.mp3", "/m/a.mp3", "/m/c.mp3"}));

  Form->SelectPage(mpLibrary);
  Select(tracks, {2});
  Item(tracksMenu, "View artist")->trigger();
  EXPECT_EQ(SearchEdit()->text(), "AlbumArtist:\"Abba\"");
  Pages()->setCurrentIndex(lpVideos);
  EXPECT_EQ(Item(tracksMenu, "View artist"), nullptr);  // videos have no artist to view

  // From the playlist: the entry's own track.
  Player->Playlist().Entry(1).MetaData = test::Tags("a", "Kinks", "Face");
  Player->Playlist().SelectOnly(1);
  Form->Actions().Run("SearchInLibraryAction");
  EXPECT_EQ(Form->PageControl().currentIndex(), mpLibrary);
  EXPECT_EQ(SearchEdit()->text().toStdString(), EntryQuery("Kinks", "Face", "a"));
  EXPECT_EQ(Column(tracks, 0), (QStringList{"a"}));
}

QStringList VisibleTabs(const TPropertiesForm& form) {
  QStringList tabs;
  for (int i = 0; i < form.Tabs().count(); ++i)
    if (form.Tabs().isTabVisible(i)) tabs << form.Tabs().tabText(i);
  return tabs;
}

TEST_F(LibrarySheetTest, OnePropertiesWindowPerSubjectShowingTheTabsOfItsKind) {
  TPropertiesWindows& windows = Form->PropertiesWindows();
  const std::string tagged =
      Folder.Write("media/t.mp3", test::MakeMp3({"Tune", "Kinks", "Kinks", "Face", "3", ""}));
  const std::string other = Folder.Write("media/T.mp3", "x");  // differs in case only: another file
  const struct {
    std::string Path;
    int32_t Code;
    QStringList Tabs;
    QString Link;
  } files[] = {
      {tagged, 0, {"Track info", "Album", "File"}, ""},
      {other, 0, {"File"}, ""},
      {other,
       static_cast<int32_t>(0x80040265),
       {"Error details", "File"},
       "<a href=\"#\">What\u00A0are\u00A0codecs?</a>"},
  };
  std::vector<const TPropertiesForm*> shown;  // each window once
  for (const auto& f : files) {
    const TPropertiesForm& form = windows.ShowFileProperties(f.Path, f.Code, "");
    if (shown.empty() || shown.back() != &form) shown.push_back(&form);
    EXPECT_EQ(VisibleTabs(form), f.Tabs) << f.Path << f.Code;
    EXPECT_EQ(form.WebpageLabel().isVisible() ? form.WebpageLabel().text() : "", f.Link) << f.Path << f.Code;
    EXPECT_EQ(form.findChild<QLineEdit*>("FileLocationEdit")->text().toStdString(), f.Path);
  }
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0]->findChild<QLineEdit*>("TitleEdit")->text(), "Tune");
  shown[0]->findChild<QPushButton*>("GoToButton")->click();
  EXPECT_EQ(Desktop.Opened, (std::vector<std::string>{"file://" + Folder.Path() + "/media"}));

  // The playlist's and the library's commands find the same windows.
  Player->Playlist().AddPlaylistEntry(other);
  Player->Playlist().Entry(0).PlayResult = {static_cast<int32_t>(0x80070002), "gone"};
  Player->Playlist().SelectOnly(0);
  Form->Actions().Run("PlaylistPropertiesAction");
  EXPECT_EQ(windows.Count(), 2);
  EXPECT_EQ(shown[1]->findChild<QLineEdit*>("ErrorCodeEdit")->text(), QString::number(int32_t(0x80070002)));

  // Artists and albums as the library groups them: "KINKS" is Kinks.
  const TArtist& kinks = *Player->Library().Artist(Player->Library().FindArtist("KINKS"));
  Pages()->setCurrentIndex(lpArtists);
  Select(View("ArtistsListView"), {static_cast<int>(Column(View("ArtistsListView"), 0).indexOf("Kinks"))});
  for (int pass = 0; pass < 2; ++pass) Form->Actions().Run("LibraryPropertiesAction");
  const TPropertiesForm& artist = windows.ShowArtistAlbumProperties(TPropertiesKey::Of(kinks));
  const TPropertiesForm& album = windows.ShowArtistAlbumProperties(TPropertiesKey::Of(*kinks.Album(0)));
  EXPECT_EQ(windows.Count(), 4);
  EXPECT_EQ(VisibleTabs(artist) + VisibleTabs(album), (QStringList{"Artist", "Album"}));
  EXPECT_FALSE(artist.findChild<QLineEdit*>("ArtistAlbumEdit2")->isVisible());
  EXPECT_FALSE(album.findChild<QLineEdit*>("AlbumCountEdit")->isVisible());
  EXPECT_EQ(album.findChild<QLineEdit*>("TrackCountEdit")->text(), "2");
}

}  // namespace
}  // namespace tunevale
