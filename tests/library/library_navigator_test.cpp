// Browsing through the navigator over a real search and a fake Library page.
#include "library/library_navigator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "library_test_support.h"
#include "support/fake_runtime.h"
#include "support/fake_search_host.h"

namespace tunevale {
namespace {

class TFakePage : public test::TFakeSearchHost, public TLibraryNavigatorView {
 public:
  TFakePage() { Page = lpArtists; }
  std::string SearchText() const override { return Text; }
  void SetSearchText(const std::string& text) override { Text = text; }
  void ShowLibraryPage(TLibraryPage page) override { Page = page; }
  int Refills(TLibraryPage page) const {
    return int(std::count(Log.begin(), Log.end(), "list " + std::to_string(page)));
  }
};

class NavigatorTest : public ::testing::Test {
 protected:
  NavigatorTest()
      : Library(Settings, "/"),
        Pump(Runtime),
        Search(Library, Page, Runtime, Pump),
        Navigator(Library, Search, Pump) {
    Navigator.SetView(&Page);
    test::AddTestTrack(Library, "/m/s/1.mp3", test::Tags("One", "12\" Singles", "Vol. 1"));
    test::AddTestTrack(Library, "/m/s/2.mp3", test::Tags("Two", "12\" Singles", "Vol. 2"));
    test::AddTestTrack(Library, "/m/k/3.mp3", test::Tags("Three", "Kinks", "Face"));
    Search.RefreshLibraryLists(false);
  }

  // The user types and leaves the box.
  void Type(const std::string& text) {
    Page.Text = text;
    Navigator.SearchTyped();
    Navigator.RunTypedSearch();
    Navigator.SearchEditExit();
  }
  std::vector<std::string> TrackNames() {
    std::vector<std::string> names;
    const TLibraryList& list = Search.List(lpTracks);
    for (int i = 0; i < list.RowCount(); ++i)
      names.push_back(list.TrackAt(i) ? std::string(list.TrackAt(i)->Name()) : "special");
    return names;
  }

  TLibrarySettings Settings;
  TLibrary Library;
  test::TFakeRuntime Runtime;
  TMessagePump Pump;
  TFakePage Page;
  TLibrarySearch Search;
  TLibraryNavigator Navigator;
};

TEST_F(NavigatorTest, OpeningAnArtistWithQuotesShowsItsAlbumsAndOneAlbumGoesToTracks) {
  Navigator.OpenArtist(Library.Artist(0), TArtistOpen::aoDefault);
  EXPECT_EQ(Page.Page, lpAlbums);
  EXPECT_EQ(Page.Text, "AlbumArtist:\"12\\\" Singles\"");
  ASSERT_EQ(Search.List(lpAlbums).RowCount(), 3);  // "<All>" and both albums
  Navigator.OpenAlbum(Search.List(lpAlbums).AlbumAt(2));
  EXPECT_EQ(Page.Page, lpTracks);
  EXPECT_EQ(TrackNames(), (std::vector<std::string>{"Two"}));

  Navigator.OpenArtist(Library.Artist(1), TArtistOpen::aoDefault);  // one album
  EXPECT_EQ(Page.Page, lpTracks);
  EXPECT_EQ(TrackNames(), (std::vector<std::string>{"Three"}));
  Navigator.OpenArtist(Library.Artist(1), TArtistOpen::aoAlbums);  // the menu item goes where it says
  EXPECT_EQ(Page.Page, lpAlbums);
  Navigator.OpenArtist(nullptr, TArtistOpen::aoAlbums);  // "<All>": every track of the query
  EXPECT_EQ(Page.Page, lpTracks);
  EXPECT_EQ(Page.Text, "AlbumArtist:\"Kinks\"");
}

TEST_F(NavigatorTest, UserPageChangesStartEmptyUnlessShiftCarriesTheQuery) {
  Type("one");
  Page.Page = lpTracks;
  Navigator.PageChanged(lpTracks, true);
  EXPECT_EQ(Page.Text, "one");
  EXPECT_EQ(TrackNames(), (std::vector<std::string>{"One"}));
  Page.Page = lpAlbums;
  Navigator.PageChanged(lpAlbums, false);
  EXPECT_EQ(Page.Text, "");
  // The tracks list keeps what it showed; going back with the same text refills nothing.
  const int refills = Page.Refills(lpTracks);
  Page.Page = lpTracks;
  Page.Text = "one";
  Navigator.PageChanged(lpTracks, true);
  EXPECT_EQ(Page.Refills(lpTracks), refills);
}

TEST_F(NavigatorTest, BackAndForwardRestorePagesAndQueries) {
  Navigator.SelectPage(lpArtists, false);  // the first page change: the first entry
  Type("kinks");
  Navigator.OpenArtist(Library.Artist(1), TArtistOpen::aoAlbums);
  ASSERT_EQ(Navigator.History().Count(), 3);
  EXPECT_EQ(Navigator.History().BackHint(), "Back to Artists\rkinks");

  Navigator.HistoryBack();
  EXPECT_EQ(Page.Page, lpArtists);
  EXPECT_EQ(Page.Text, "kinks");
  Navigator.HistoryBack();
  EXPECT_EQ(Page.Text, "");  // the placeholder
  EXPECT_FALSE(Navigator.History().CanGoBack());
  Navigator.HistoryForward();
  Navigator.HistoryForward();
  EXPECT_EQ(Page.Page, lpAlbums);
  EXPECT_EQ(Page.Text, "AlbumArtist:\"Kinks\"");
  EXPECT_EQ(Navigator.History().Count(), 3);  // moving pushed nothing

  // Typing after going back drops the entries ahead.
  Navigator.HistoryBack();
  Type("one");
  EXPECT_FALSE(Navigator.History().CanGoForward());
  EXPECT_FALSE(Navigator.Navigating() || Navigator.SettingText() || Navigator.QueryDirty());
}

TEST_F(NavigatorTest, FolderBrowserDescendsFromTheLibraryFolders) {
  Settings.LibraryFolders = {"/m"};
  const std::vector<TFolderMenuItem> roots = Navigator.FolderMenu();
  ASSERT_EQ(roots.size(), 1u);
  Navigator.ChooseFolder(roots[0]);
  EXPECT_EQ(Page.Text, "FileName:\"/m/\"");
  EXPECT_EQ(Navigator.CurrentFolder(), "/m/");
  Navigator.ChooseFolder({"s", "s/"});
  EXPECT_EQ(Navigator.History().Entry(Navigator.History().Current()).Folder, "/m/s/");
  Navigator.SelectPage(lpTracks, true);
  EXPECT_EQ(TrackNames(), (std::vector<std::string>{"One", "Two"}));
  Type("x");  // a typed query leaves the folders
  EXPECT_EQ(Navigator.CurrentFolder(), "");
  Navigator.HistoryBack();
  EXPECT_EQ(Navigator.CurrentFolder(), "/m/s/");
}

}  // namespace
}  // namespace tunevale
