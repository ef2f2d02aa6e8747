// The library views' core: sorting, the tracks list's columns, the view
// history and the folder browser's menu.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>

#include "library/folder_browser.h"
#include "library/list_sorter.h"
#include "library/track_columns.h"
#include "library/view_history.h"
#include "library_test_support.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

class ListSorterTest : public ::testing::Test {
 protected:
  ListSorterTest() : Library(Settings, "/") {
    // Few distinct values, so ties and equal prefixes are common.
    std::mt19937 random(7);
    const char* words[] = {"", "abc", "ABC", "abcdefghij", "abcdefghik", "Ärger", "b", "<unknown>"};
    const auto pick = [&] { return std::string(words[random() % 8]); };
    for (int i = 0; i < 150; ++i) {
      TMetaData meta = test::Tags(pick(), pick(), pick());
      meta.Genre = pick();
      meta.Track = static_cast<int>(random() % 4);
      meta.Year = static_cast<int>(random() % 3) - 1;
      meta.Length = static_cast<int>(random() % 3) * 1000;
      test::AddTestTrack(Library, "/m/" + std::to_string(i) + ".mp3", meta);
    }
  }

  // Every row of a kind, in library order, with "<All>" somewhere in the middle.
  TLibraryList Rows(TLibraryPage page) {
    TLibraryList list(page);
    const auto add = [&](void* entry) {
      list.Rows.push_back(
          {entry, entry ? TRowKind::rkEntry : TRowKind::rkAll, false, uint32_t(list.Rows.size())});
    };
    for (int a = 0; a < Library.ArtistCount(); ++a) {
      TArtist* artist = Library.Artist(a);
      if (page == lpArtists) add(artist);
      for (int b = 0; b < artist->AlbumCount(); ++b) {
        if (page == lpAlbums) add(artist->Album(b));
        for (int t = 0; page == lpTracks && t < artist->Album(b)->TrackCount(); ++t)
          add(artist->Album(b)->Track(t));
      }
      if (a == 1 && page != lpTracks) add(nullptr);
    }
    return list;
  }

  TLibrarySettings Settings;
  TLibrary Library;
};

TEST_F(ListSorterTest, EveryKeyIsAStrictWeakOrderingAndTheSortFollowsIt) {
  struct TCase {
    TLibraryPage Page;
    int Keys;
  };
  for (const TCase c : {TCase{lpArtists, 3}, TCase{lpAlbums, 4}, TCase{lpTracks, kTrackFieldCount}})
    for (int key = 0; key < c.Keys; ++key)
      for (const int tag : {key + 1, -(key + 1)}) {
        SCOPED_TRACE("page " + std::to_string(c.Page) + " tag " + std::to_string(tag));
        TLibraryList list = Rows(c.Page);
        TListSorter sorter(c.Page, tag);
        std::vector<TRowSortKey> keys;
        for (size_t i = 0; i < list.Rows.size(); ++i) keys.push_back(sorter.Key(list.Rows[i], uint32_t(i)));
        const auto less = [&](size_t x, size_t y) { return sorter.Less(keys[x], keys[y]); };
        const auto same = [&](size_t x, size_t y) { return !less(x, y) && !less(y, x); };
        const size_t n = std::min<size_t>(keys.size(), 60);
        for (size_t i = 0; i < n; ++i)
          for (size_t j = 0; j < n; ++j)
            for (size_t k = 0; k < n; ++k)  // irreflexive, asymmetric, both transitive
              ASSERT_TRUE(!less(i, i) && !(less(i, j) && less(j, i)) &&
                          (!less(i, j) || !less(j, k) || less(i, k)) &&
                          (!same(i, j) || !same(j, k) || same(i, k)))
                  << i << " " << j << " " << k;
        list.SortTag = tag;
        SortLibraryList(list);
        std::vector<TRowSortKey> sorted;
        for (size_t i = 0; i < list.Rows.size(); ++i) sorted.push_back(sorter.Key(list.Rows[i], uint32_t(i)));
        for (size_t i = 1; i < sorted.size(); ++i) ASSERT_TRUE(sorter.Less(sorted[i - 1], sorted[i])) << i;
        if (c.Page != lpTracks) {
          EXPECT_EQ(list.Rows.front().Kind == TRowKind::rkAll, tag > 0);
          EXPECT_EQ(list.Rows.back().Kind == TRowKind::rkAll, tag < 0);
        }
      }
}

TEST_F(ListSorterTest, TextsTieByTrackNumberAndTheFocusFollowsItsRow) {
  TLibraryList list = Rows(lpTracks);
  list.FocusedRow = 5;
  const void* focused = list.Rows[5].Entry;
  list.SortTag = tfAlbum + 1;
  SortLibraryList(list);
  EXPECT_EQ(list.Rows[list.FocusedRow].Entry, focused);
  for (int i = 1; i < list.RowCount(); ++i) {
    const TTrack* a = list.TrackAt(i - 1);
    const TTrack* b = list.TrackAt(i);
    ASSERT_LE(a->FoldedAlbumName(), b->FoldedAlbumName());
    if (a->FoldedAlbumName() == b->FoldedAlbumName()) {
      ASSERT_LE(a->TrackNo(), b->TrackNo());
    }
  }
  list.SortTag = 0;  // back to library order
  SortLibraryList(list);
  for (int i = 0; i < list.RowCount(); ++i) ASSERT_EQ(list.Rows[i].Ordinal, uint32_t(i));
  EXPECT_EQ(ClickedSortTag(0, 2), 3);
  EXPECT_EQ(ClickedSortTag(3, 2), -3);
  EXPECT_EQ(ClickedSortTag(-3, 2), 3);
}

TEST(TrackColumnsTest, ShowingAColumnAgainPutsItInTheFixedOrder) {
  TTrackColumns::TTable table = {3, 0, -1, 1, 2, -1};  // Album, Genre, Length, "#" as read
  TTrackColumns columns(table);
  EXPECT_EQ(columns.Fields(), (std::vector<int>{tfTitle, tfAlbum, tfGenre, tfLength, tfNumber}));
  columns.SetShown(tfAlbum, false);
  columns.SetShown(tfAlbum, true);
  columns.SetShown(tfYear, true);
  EXPECT_EQ(columns.Fields(), (std::vector<int>{tfTitle, tfNumber, tfAlbum, tfGenre, tfLength, tfYear}));
  EXPECT_EQ(table, (TTrackColumns::TTable{0, 1, -1, 2, 3, 4}));
  columns.SetShown(tfTitle, false);  // always there
  EXPECT_TRUE(columns.Shown(tfTitle));

  TLibrarySettings settings;
  TLibrary library(settings, "/");
  TMetaData meta = test::Tags("T", "AA", "Al", "Ar");
  meta.Length = 3725999;
  TTrack* track = test::AddTestTrack(library, "/t.mp3", meta);
  std::array<char, 24> buffer;
  const std::pair<int, std::string> cells[] = {{tfTitle, "T"},   {tfNumber, ""},        {tfAlbum, "Al"},
                                               {tfArtist, "AA"}, {tfLength, "1:02:05"}, {tfYear, ""}};
  for (const auto& [field, text] : cells) EXPECT_EQ(TrackCellText(*track, field, buffer), text) << field;
}

TEST(ViewHistoryTest, KeepsTenDropsForwardEntriesAndHints) {
  TViewHistory history;
  EXPECT_EQ(history.MoveTo(3), -1);
  for (int i = 0; i < 11; ++i) history.Push({i % 5, "q" + std::to_string(i), ""});
  EXPECT_EQ(history.Count(), 10);
  EXPECT_EQ(history.Entry(0).Query, "q1");
  EXPECT_EQ(history.MoveTo(-4), 0);
  EXPECT_FALSE(history.CanGoBack());
  EXPECT_EQ(history.ForwardHint(), "Forward to Tracks\rq2");
  history.MoveTo(2);
  history.Push({lpVideos, "", "/m/"});
  EXPECT_EQ(history.Count(), 4);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.ForwardHint(), "");
  EXPECT_EQ(history.BackHint(), "Back to Videos\rq3");
  history.MoveTo(2);
  EXPECT_EQ(history.ForwardHint(), "Forward to Videos");
}

TEST(FolderBrowserTest, ListsSubfoldersInNameOrderOrSaysThereAreNone) {
  test::TTempFolder folder;
  for (const char* sub : {"m/b", "m/A", "m/c/deep", "m/a"}) folder.MakeFolder(sub);
  folder.Write("m/file.mp3");
  ::symlink("/nonexistent", (folder / "m/broken").c_str());
  EXPECT_EQ(FolderMenuItems("", {"/x", "/y/"}),
            (std::vector<TFolderMenuItem>{{"/x", "/x/"}, {"/y/", "/y/"}}));
  EXPECT_EQ(FolderMenuItems(folder / "m/", {}),
            (std::vector<TFolderMenuItem>{{"A", "A/"}, {"a", "a/"}, {"b", "b/"}, {"c", "c/"}}));
  const std::vector<TFolderMenuItem> none{{kNoSubfoldersCaption, "", false}};
  EXPECT_EQ(FolderMenuItems(folder / "m/b/", {}), none);
  EXPECT_EQ(FolderMenuItems(folder / "gone/", {}), none);
  EXPECT_EQ(FolderMenuItems(folder / "m/file.mp3/", {}), none);
  // Unreadable for anyone but root, who reads it anyway.
  ::chmod((folder / "m/c").c_str(), 0);
  EXPECT_EQ(FolderMenuItems(folder / "m/c/", {}).size(), 1u);
  ::chmod((folder / "m/c").c_str(), 0755);
}

}  // namespace
}  // namespace tunevale
