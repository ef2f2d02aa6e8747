#include "library/library.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "library/crawl_tasks.h"
#include "library/library_test_support.h"
#include "library/text_pack.h"
#include "util/text.h"

namespace tunevale {
namespace {

using test::AddTestTrack;
using test::Tags;

class LibraryTest : public ::testing::Test {
 protected:
  TLibrarySettings Settings;
  TLibrary Library{Settings, "/opt/tunevale"};
};

TEST_F(LibraryTest, GroupsByAlbumArtistAndAlbumIgnoringCaseInInsertionOrder) {
  AddTestTrack(Library, "/m/1.mp3", Tags("One", "ABBA", "Gold"));
  AddTestTrack(Library, "/m/2.mp3", Tags("Two", "Queen", "Jazz"));
  AddTestTrack(Library, "/m/3.mp3", Tags("Three", "abba", "GOLD"));
  AddTestTrack(Library, "/m/4.mp3", Tags("Four", "Äbba", "Arrival"));
  AddTestTrack(Library, "/m/5.mp3", Tags("Five", "äBBA", "Arrival"));
  AddTestTrack(Library, "/m/6.mp3", Tags("Six", "", ""));

  ASSERT_EQ(Library.ArtistCount(), 4);
  EXPECT_EQ(Library.Artist(0)->Name(), "ABBA");  // named as the first one added
  EXPECT_EQ(Library.Artist(1)->Name(), "Queen");
  EXPECT_EQ(Library.Artist(2)->Name(), "Äbba");  // Unicode folding, not just ASCII
  EXPECT_EQ(Library.Artist(3)->Name(), "");
  ASSERT_EQ(Library.Artist(0)->AlbumCount(), 1);
  EXPECT_EQ(Library.Artist(0)->Album(0)->Name(), "Gold");
  ASSERT_EQ(Library.Artist(0)->Album(0)->TrackCount(), 2);
  EXPECT_EQ(Library.Artist(0)->Album(0)->Track(1)->Path(), "/m/3.mp3");
  EXPECT_EQ(Library.Artist(2)->Album(0)->TrackCount(), 2);
  EXPECT_EQ(Library.FindArtist("QUEEN"), 1);
  EXPECT_EQ(Library.FindArtist("ÄBBA"), 2);
  EXPECT_EQ(Library.FindArtist("nobody"), -1);
  EXPECT_EQ(Library.Artist(0)->FindAlbum("gOLD"), 0);
  EXPECT_EQ(Library.TrackCount(), 6u);
  EXPECT_TRUE(Library.Flags.LibraryDirty);
  EXPECT_TRUE(Library.Flags.ListsStale);
}

TEST_F(LibraryTest, AddingAKnownPathMovesTheTrackAndKeepsTheOldAlbumUntilRemoveEmpty) {
  AddTestTrack(Library, "/m/a.mp3", Tags("Song", "Old Artist", "Old Album"));
  AddTestTrack(Library, "/m/b.mp3", Tags("Other", "Keep", "Kept"));
  AddTestTrack(Library, "/m/a.mp3", Tags("Song", "New Artist", "New Album"));

  EXPECT_EQ(Library.TrackCount(), 2u);
  ASSERT_EQ(Library.ArtistCount(), 3);
  EXPECT_EQ(Library.Artist(0)->Album(0)->TrackCount(), 0);
  const TTrackPosition pos = Library.FindTrack("/m/a.mp3");
  EXPECT_EQ(pos.Artist, 2);
  EXPECT_EQ(pos.Album, 0);
  EXPECT_EQ(pos.Track, 0);

  Library.RemoveEmpty();
  ASSERT_EQ(Library.ArtistCount(), 2);
  EXPECT_EQ(Library.Artist(0)->Name(), "Keep");
  EXPECT_EQ(Library.Artist(1)->Name(), "New Artist");
  EXPECT_EQ(Library.FindArtist("new artist"), 1);  // positions follow the removal
  EXPECT_EQ(Library.FindArtist("old artist"), -1);
  EXPECT_EQ(Library.FindTrack("/m/a.mp3").Artist, 1);
}

TEST_F(LibraryTest, RemoveTrackClosesTheGapAndLeavesEmptyAlbums) {
  AddTestTrack(Library, "/m/1.mp3", Tags("1", "A", "X"));
  AddTestTrack(Library, "/m/2.mp3", Tags("2", "A", "X"));
  AddTestTrack(Library, "/m/3.mp3", Tags("3", "A", "X"));
  Library.Flags = {};
  Library.RemoveTrack(0, 0, 1);
  const TAlbum* album = Library.Artist(0)->Album(0);
  ASSERT_EQ(album->TrackCount(), 2);
  EXPECT_EQ(album->Track(1)->Path(), "/m/3.mp3");
  EXPECT_EQ(Library.FindTrackByPath("/m/2.mp3"), nullptr);
  EXPECT_TRUE(Library.Flags.LibraryDirty && Library.Flags.ListsStale);
  Library.RemoveTrack(0, 0, 0);
  Library.RemoveTrack(0, 0, 0);
  EXPECT_EQ(Library.ArtistCount(), 1);  // stays until RemoveEmpty
  EXPECT_EQ(Library.Artist(0)->AlbumCount(), 1);
}

TEST_F(LibraryTest, PathsCompareExactlyAndLookupsNormalise) {
  TTrack* upper = AddTestTrack(Library, "/Music/Song.mp3", Tags("Song", "A", "X"));
  TTrack* lower = AddTestTrack(Library, "/music/song.mp3", Tags("song", "A", "X"));
  EXPECT_EQ(Library.TrackCount(), 2u);
  EXPECT_EQ(Library.FindTrackByPath("/Music//Song.mp3"), upper);
  EXPECT_EQ(Library.FindTrackByPath("/music/song.mp3"), lower);
  EXPECT_EQ(Library.FindTrackByPath("/MUSIC/SONG.MP3"), nullptr);
  EXPECT_FALSE(Library.FindTrack("/Music//Song.mp3").Found());  // FindTrack itself is exact

  TMetaData meta;
  uint8_t result = 9;
  EXPECT_TRUE(Library.LookupTrack("/Music/Song.mp3", meta, result));
  EXPECT_EQ(meta.Title, "Song");
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(Library.LookupTrack("/music/Song.mp3", meta, result));
}

TEST_F(LibraryTest, DuplicateAlbumNamesAreMarkedAcrossArtistsAndClearedWithTheLastNamesake) {
  AddTestTrack(Library, "/m/1.mp3", Tags("1", "A", "Greatest Hits"));
  AddTestTrack(Library, "/m/2.mp3", Tags("2", "B", "Other"));
  EXPECT_FALSE(Library.Artist(0)->Album(0)->DuplicateName());
  AddTestTrack(Library, "/m/3.mp3", Tags("3", "B", "GREATEST HITS"));
  AddTestTrack(Library, "/m/4.mp3", Tags("4", "C", "greatest hits"));
  const TAlbum* a = Library.Artist(0)->Album(0);
  const TAlbum* b = Library.Artist(1)->Album(1);
  const TAlbum* c = Library.Artist(2)->Album(0);
  EXPECT_TRUE(a->DuplicateName() && b->DuplicateName() && c->DuplicateName());
  EXPECT_FALSE(Library.Artist(1)->Album(0)->DuplicateName());

  Library.RemoveTrack(2, 0, 0);
  Library.RemoveEmpty();  // two namesakes remain: both stay marked
  EXPECT_TRUE(a->DuplicateName() && b->DuplicateName());
  Library.RemoveTrack(0, 0, 0);
  Library.RemoveEmpty();
  ASSERT_EQ(Library.ArtistCount(), 1);
  EXPECT_FALSE(Library.Artist(0)->Album(1)->DuplicateName());

  // After a clear nothing remembers the old albums.
  Library.ClearArtists();
  AddTestTrack(Library, "/m/5.mp3", Tags("5", "D", "Greatest Hits"));
  EXPECT_FALSE(Library.Artist(0)->Album(0)->DuplicateName());
}

TEST_F(LibraryTest, AlbumSettlesTheNameOfAnAppendedTrack) {
  struct Case {
    const char* Name;
    const char* Title;
    const char* Path;
    const char* Expected;
  } cases[] = {
      {"", "Waterloo", "/m/a.mp3", "Waterloo"},
      {"Given", "", "/m/b.mp3", "Given"},             // no title: the caller's name stays
      {"Given", "Waterloo", "/m/c.mp3", "Waterloo"},  // a differing title wins
      {"", "", "/m/my song-two.mp3", "My Song-Two"},  // neither: the file's display name
  };
  for (const Case& c : cases) {
    TMetaData meta = Tags(c.Title, "A", "X");
    const TTrack* track = AddTestTrack(Library, c.Path, meta, c.Name);
    EXPECT_EQ(track->Name(), c.Expected) << c.Path;
    EXPECT_EQ(track->Title(), c.Title);  // rebuilding the name keeps the other texts
    EXPECT_EQ(track->Path(), c.Path);
  }
}

TEST_F(LibraryTest, ContainsAnswersTrueUntilLoadedThenLooksInEachList) {
  EXPECT_TRUE(Library.Contains("/nowhere.mp3", true));
  Library.Loaded = true;
  AddTestTrack(Library, "/m/t.mp3", Tags("T", "A", "X"));
  Library.Videos.Add("/m/v.avi", "", false);
  Library.Playlists.Add("/m/p.m3u", "Party", false);
  EXPECT_TRUE(Library.Contains("/m//t.mp3", true));
  EXPECT_FALSE(Library.Contains("/m/t.mp3", false));
  EXPECT_TRUE(Library.Contains("/m/v.avi", false));
  EXPECT_TRUE(Library.Contains("/m/p.m3u/", false));
  EXPECT_FALSE(Library.Contains("/nowhere.mp3", true));
}

TEST_F(LibraryTest, LibraryFoldersHoldTheirPathsResolvedAgainstTheProgramFolder) {
  Settings.LibraryFolders = {"../music", "/data/Video/"};
  EXPECT_TRUE(Library.IsInLibraryFolders("/opt/music/a.mp3"));
  EXPECT_FALSE(Library.IsInLibraryFolders("/opt/musicbox/a.mp3"));  // a neighbour, not a subfolder
  EXPECT_TRUE(Library.IsInLibraryFolders("/data/Video/x.avi"));
  EXPECT_FALSE(Library.IsInLibraryFolders("/data/video/x.avi"));
  EXPECT_FALSE(Library.IsInLibraryFolders("/opt/tunevale/a.mp3"));
  // The settings are read at every use.
  Settings.LibraryFolders = {"/opt/tunevale"};
  EXPECT_TRUE(Library.IsInLibraryFolders("/opt/tunevale/a.mp3"));
  EXPECT_FALSE(Library.IsInLibraryFolders("/opt/music/a.mp3"));
}

TEST_F(LibraryTest, UpdateRelativeFlagsFollowsTheFirstMatchingFolder) {
  Settings.LibraryFolders = {"/opt/music"};
  AddTestTrack(Library, "/opt/music/a.mp3", Tags("A", "A", "X"), "", 0, false);
  AddTestTrack(Library, "/elsewhere/b.mp3", Tags("B", "A", "X"), "", 0, true);
  Library.Videos.Add("/opt/music/v.avi", "", false);
  Library.Flags = {};
  Library.UpdateRelativeFlags();
  EXPECT_FALSE(Library.Flags.LibraryDirty);

  Settings.LibraryFolders = {"../music", "/opt"};
  Library.UpdateRelativeFlags();
  EXPECT_TRUE(Library.Flags.LibraryDirty);
  EXPECT_TRUE(Library.FindTrackByPath("/opt/music/a.mp3")->Relative());
  EXPECT_TRUE(Library.FindTrackByPath("/elsewhere/b.mp3")->Relative());  // in no folder: untouched
  EXPECT_TRUE(Library.Videos.Item(0)->Relative());
}

TEST_F(LibraryTest, ItemListsKeepOnePathEachAndAlwaysMarkTheLibraryChanged) {
  TLibraryItems& videos = Library.Videos;
  videos.Add("/v/holiday clip.avi", "", true);
  videos.Add("/v/b.avi", "Named", false);
  Library.Flags = {};
  videos.Add("/v/b.avi", "Other", false);
  EXPECT_EQ(videos.Count(), 2);
  EXPECT_TRUE(Library.Flags.LibraryDirty && Library.Flags.ListsStale);
  EXPECT_EQ(videos.Item(0)->Name(), "Holiday Clip");
  EXPECT_EQ(videos.Item(0)->FoldedName(), "holiday clip");
  EXPECT_EQ(videos.Item(1)->Name(), "Named");
  EXPECT_EQ(videos.Find("/v/b.avi"), 1);
  EXPECT_EQ(videos.Find("/V/b.avi"), -1);
  videos.Delete(0);
  EXPECT_EQ(videos.Find("/v/b.avi"), 0);
  EXPECT_EQ(videos.Find("/v/holiday clip.avi"), -1);
  Library.Clear();
  EXPECT_EQ(videos.Count(), 0);
}

// The path index is open addressing with backward-shift deletion: compare it
// with a plain map through many random inserts and removals.
TEST(PathIndexTest, AgreesWithAMapThroughRandomChanges) {
  std::mt19937 random(7);
  std::map<std::string, std::unique_ptr<TLibraryItem>> reference;
  TPathIndex index;
  for (int step = 0; step < 20000; ++step) {
    const std::string path = "/p/" + std::to_string(random() % 3000);
    const auto it = reference.find(path);
    if (it == reference.end()) {
      auto item = std::make_unique<TLibraryItem>(path, "", false);
      index.Insert(item.get());
      reference.emplace(path, std::move(item));
    } else if (random() % 2) {
      index.Erase(it->second.get());
      reference.erase(it);
    }
    if (step % 1000 == 0) {
      for (int k = 0; k < 3000; ++k) {
        const std::string probe = "/p/" + std::to_string(k);
        const auto found = reference.find(probe);
        ASSERT_EQ(index.Find(probe), found == reference.end() ? nullptr : found->second.get()) << probe;
      }
    }
  }
  EXPECT_EQ(index.Size(), reference.size());
}

// Texts share bytes only when equal to their twin; every slot reads back as
// built, in the narrow and the wide table layout alike.
TEST(TextPackTest, EverySlotReadsBackThroughSharingAndBothLayouts) {
  std::mt19937 random(11);
  const std::string pool[] = {"", "a", "A", "abc", "ABC", std::string(20000, 'x'), std::string(40000, 'y')};
  for (int round = 0; round < 400; ++round) {
    const size_t n = 1 + random() % 20;
    std::vector<std::string> owned(n);
    std::vector<std::string_view> texts(n);
    std::vector<int8_t> twins(n, -1);
    for (size_t i = 0; i < n; ++i) {
      owned[i] = pool[random() % (round % 2 ? 7 : 5)];  // odd rounds may go past 32 KiB
      texts[i] = owned[i];
      if (i > 0 && random() % 2) twins[i] = static_cast<int8_t>(random() % i);
    }
    TTextPack pack;
    pack.Build(texts, twins);
    for (size_t i = 0; i < n; ++i) ASSERT_EQ(pack.Get(i), texts[i]) << round << " slot " << i;
  }
}

TEST(CrawlTasksTest, QueuesEachDistinctTaskOnceInArrivalOrder) {
  bool crawling = false;
  TCrawlTasks tasks(&crawling);
  int added = 0;
  tasks.OnTaskAdded = [&] { ++added; };
  tasks.AddTask("/m/a", false, true, false);
  tasks.AddTask("/m/a", false, true, false);
  tasks.AddTask("/m/a", true, true, false);   // other flags: a second task
  tasks.AddTask("/m/A", false, true, false);  // paths compare exactly
  tasks.QueueFullCrawl();
  tasks.QueueFullCrawl();
  tasks.QueueRecheck();
  ASSERT_EQ(tasks.Count(), 5);
  EXPECT_EQ(added, 5);
  EXPECT_EQ(tasks.Task(3).Path, "");
  EXPECT_TRUE(tasks.Task(3).Recursive && tasks.Task(3).SearchNew && !tasks.Task(3).ForceReread);
  EXPECT_TRUE(tasks.Task(4).Recursive && !tasks.Task(4).SearchNew && !tasks.Task(4).ForceReread);

  EXPECT_TRUE(tasks.HasPendingTasks());
  crawling = true;
  EXPECT_FALSE(tasks.HasPendingTasks());
  crawling = false;
  tasks.PopFirst();
  EXPECT_TRUE(tasks.Task(0).Recursive);
  tasks.Clear();
  tasks.PopFirst();  // harmless on an empty queue
  EXPECT_FALSE(tasks.HasPendingTasks());
  tasks.AddTask("/m/a", false, true, false);  // queued again once gone
  EXPECT_EQ(tasks.Count(), 1);
}

}  // namespace
}  // namespace tunevale
