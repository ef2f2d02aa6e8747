#include "library/library_search.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search_fixture.h"
#include "support/fake_runtime.h"
#include "support/fake_search_host.h"

namespace tunevale {
namespace {

class LibrarySearchTest : public ::testing::Test {
 protected:
  LibrarySearchTest() { Search.RefreshTimer = Timer.get(); }

  // The captions a view would show, in list order.
  std::vector<std::string> Rows(TLibraryPage page) const {
    std::vector<std::string> out;
    const TLibraryList& list = Search.List(page);
    for (int i = 0; i < list.RowCount(); ++i) {
      const TRowKind kind = list.Rows[i].Kind;
      if (kind != TRowKind::rkEntry)
        out.emplace_back(kind == TRowKind::rkAll ? kAllRowCaption : kNoItemsRowCaption);
      else if (page == lpArtists || page == lpAlbums)
        out.push_back(page == lpArtists ? list.ArtistAt(i)->Name() : list.AlbumAt(i)->Name());
      else
        out.emplace_back(page == lpTracks ? list.TrackAt(i)->Name() : list.ItemAt(i)->Name());
    }
    return out;
  }
  std::vector<int> SelectedRows(TLibraryPage page) const {
    std::vector<int> out;
    const TLibraryList& list = Search.List(page);
    for (int i = 0; i < list.RowCount(); ++i)
      if (list.Rows[i].Selected) out.push_back(i);
    return out;
  }
  void AddTracks(int count, const std::string& album) {
    for (int i = 0; i < count; ++i)
      Fixture.Add("/music/Many/" + album + "/" + std::to_string(i) + ".mp3", "Song " + std::to_string(i),
                  "Many", "Many", album, 2000, "Pop", "");
  }

  test::TSearchFixture Fixture;
  test::TFakeRuntime Runtime;
  TMessagePump Pump{Runtime};
  test::TFakeSearchHost Host;
  std::unique_ptr<TTimer> Timer = Runtime.CreateTimer([] {});
  TLibrarySearch Search{Fixture.Library, Host, Runtime, Pump};
};

TEST_F(LibrarySearchTest, EmptyBoxListsEverythingWithoutSpecialRows) {
  Fixture.Settings.HideIncompleteAlbums = true;
  Search.RefreshLibraryLists(false);
  EXPECT_EQ(Rows(lpArtists), (std::vector<std::string>{"ABBA", "The Kinks"}));
  EXPECT_EQ(Rows(lpAlbums), (std::vector<std::string>{"Waterloo", "Something Else"}));
  EXPECT_EQ(Rows(lpTracks).size(), 13u);
  EXPECT_EQ(Rows(lpVideos), (std::vector<std::string>{"Waterloo Live", "Hoedown"}));
  EXPECT_EQ(Rows(lpPlaylists), (std::vector<std::string>{"Party", "Chill"}));
  // The current list first, then the others in page order, under "Searching...".
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"busy Searching...", "list 2", "list 0", "list 1", "list 3",
                                                "list 4", "idle"}));
  EXPECT_TRUE(SelectedRows(lpTracks).empty());
}

TEST_F(LibrarySearchTest, ActiveQueryAddsSpecialRowsAndSelectsAFirstResult) {
  Host.Text = "abba";
  Host.Page = lpAlbums;
  Search.RefreshLibraryLists(false);
  EXPECT_EQ(Rows(lpArtists), (std::vector<std::string>{"<All>", "ABBA"}));
  EXPECT_EQ(Rows(lpAlbums), (std::vector<std::string>{"<All>", "Waterloo", "Gold"}));
  EXPECT_EQ(Rows(lpTracks).size(), 7u);
  EXPECT_EQ(Rows(lpVideos), (std::vector<std::string>{"<No items match your search>"}));
  EXPECT_EQ(Rows(lpPlaylists), (std::vector<std::string>{"<No items match your search>"}));
  for (int page = 0; page < kLibraryPageCount; ++page)
    EXPECT_EQ(Search.List(TLibraryPage(page)).QueryText, "abba");
  // Only the current list gets a selection: its first result, after "<All>".
  EXPECT_EQ(SelectedRows(lpAlbums), (std::vector<int>{1}));
  EXPECT_EQ(Search.List(lpAlbums).FocusedRow, 1);
  EXPECT_TRUE(SelectedRows(lpTracks).empty());

  Host.Page = lpTracks;
  Search.RefreshLibraryLists(true);
  EXPECT_EQ(SelectedRows(lpTracks), (std::vector<int>{0}));
}

TEST_F(LibrarySearchTest, EmptyResultGetsNoSelectionAndArtistsNeedTwoRows) {
  Host.Text = "nothing-like-this";
  Host.Page = lpTracks;
  Search.RefreshLibraryLists(true);
  EXPECT_EQ(Rows(lpTracks), (std::vector<std::string>{"<No items match your search>"}));
  EXPECT_TRUE(SelectedRows(lpTracks).empty());
  EXPECT_EQ(Search.List(lpTracks).FocusedRow, -1);
  Host.Page = lpArtists;
  Search.RefreshLibraryLists(true);
  EXPECT_EQ(Rows(lpArtists), (std::vector<std::string>{"<No items match your search>"}));
  EXPECT_TRUE(SelectedRows(lpArtists).empty());
}

TEST_F(LibrarySearchTest, SelectionOfRowsThatStayIsKept) {
  Host.Text = "waterloo";
  Search.RefreshLibraryLists(true);
  ASSERT_EQ(SelectedRows(lpTracks), (std::vector<int>{0}));
  // The user picks another row; a narrower query that keeps it keeps the selection.
  TLibraryList& tracks = Search.List(lpTracks);
  tracks.Rows[0].Selected = false;
  tracks.Rows[2].Selected = true;
  TTrack* picked = tracks.TrackAt(2);
  Host.Text = "waterloo watch";
  Search.RefreshLibraryLists(true);
  ASSERT_EQ(Rows(lpTracks), (std::vector<std::string>{"Watch Out"}));
  EXPECT_EQ(tracks.TrackAt(0), picked);
  EXPECT_EQ(SelectedRows(lpTracks), (std::vector<int>{0}));
}

TEST_F(LibrarySearchTest, RequestsDuringARefillAreMergedAndRunAfterIt) {
  int pumps = 0;
  Runtime.OnProcessPendingMessages = [&] {
    if (++pumps > 1) return;
    // The user types twice and the crawler asks twice, all while the first refill runs.
    Search.RefreshLibraryLists(true);
    Search.RefreshLibraryLists(false);
    Search.RefreshLibraryLists(true);
    Search.RefreshLibraryLists(false);
    EXPECT_TRUE(Search.Refilling());
  };
  Search.RefreshLibraryLists(true);
  EXPECT_FALSE(Search.Refilling());
  // The first (current only), then one of all lists, then one of the current list.
  EXPECT_EQ(Host.Log, (std::vector<std::string>{"busy Searching...", "list 2", "idle", "busy Searching...",
                                                "list 2", "list 0", "list 1", "list 3", "list 4", "idle",
                                                "busy Searching...", "list 2", "idle"}));
}

TEST_F(LibrarySearchTest, LibraryChangeDuringARefillStopsItAndRefillsEverything) {
  AddTracks(300, "Big");
  Fixture.Library.Flags.ListsStale = false;
  // Time passes while the busy indicator comes up, so the row loop's pump runs.
  Host.OnShowBusy = [&] { Runtime.ClockMs += 200; };
  bool changed = false;
  Runtime.OnProcessPendingMessages = [&] {
    if (changed || Runtime.PendingMessageRuns < 2) return;
    changed = true;
    // A crawl removes a track the loop has yet to meet and adds another.
    const TTrackPosition pos = Fixture.Library.FindTrack("/music/Many/Big/290.mp3");
    Fixture.Library.RemoveTrack(pos.Artist, pos.Album, pos.Track);
    Fixture.Add("/music/new.mp3", "Brand New", "Newcomer", "Newcomer", "Debut", 2024, "Pop", "");
  };
  Search.RefreshLibraryLists(false);
  ASSERT_TRUE(changed);
  EXPECT_EQ(Rows(lpTracks).size(), 13u + 300u);  // one gone, one new
  EXPECT_EQ(Rows(lpArtists).back(), "Newcomer");
  EXPECT_FALSE(Fixture.Library.Flags.ListsStale);
  EXPECT_FALSE(Fixture.Library.FindTrack("/music/Many/Big/290.mp3").Found());
}

TEST_F(LibrarySearchTest, AlbumsShownThroughTracksAgreeWhicheverListComesFirst) {
  Fixture.Settings.HideIncompleteAlbums = true;
  // "Gold" has 3 tracks; its title names one whole, so it shows, and so does its artist.
  Host.Text = "title:\"waterloo (live)\"";
  for (const TLibraryPage page : {lpTracks, lpArtists, lpAlbums, lpVideos}) {
    Host.Page = page;
    Search.RefreshLibraryLists(false);
    EXPECT_EQ(Rows(lpAlbums), (std::vector<std::string>{"<All>", "Gold"})) << page;
    EXPECT_EQ(Rows(lpArtists), (std::vector<std::string>{"<All>", "ABBA"})) << page;
    EXPECT_EQ(Rows(lpTracks), (std::vector<std::string>{"Waterloo (Live)"})) << page;
  }
  Host.Text = "title:\"waterloo\" year:1992";
  Search.RefreshLibraryLists(false);
  EXPECT_EQ(Rows(lpAlbums), (std::vector<std::string>{"<No items match your search>"}));
}

TEST_F(LibrarySearchTest, OnlyARefillOfAllListsClearsTheStaleFlag) {
  Fixture.Library.Flags.ListsStale = true;
  Search.RefreshLibraryLists(true);
  EXPECT_TRUE(Fixture.Library.Flags.ListsStale);
  Search.RefreshLibraryLists(false);
  EXPECT_FALSE(Fixture.Library.Flags.ListsStale);
}

TEST_F(LibrarySearchTest, RefreshTimerFollowsTheTimeARefillTook) {
  struct TCase {
    int64_t TookMs;
    int IntervalMs;
  };
  for (const TCase c :
       {TCase{0, 4000}, TCase{400, 4000}, TCase{401, 4010}, TCase{750, 7500}, TCase{5000, 10000}}) {
    Host.OnShowBusy = [&] { Runtime.ClockMs += c.TookMs; };
    Timer->SetInterval(1000);
    Search.RefreshLibraryLists(false);
    EXPECT_EQ(Timer->Interval(), c.IntervalMs) << c.TookMs;
  }
}

}  // namespace
}  // namespace tunevale
