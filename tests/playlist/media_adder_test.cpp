#include "playlist/media_adder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "library/crawl_tasks.h"
#include "playlist/playlist_file.h"
#include "playlist/playlist_fixture.h"
#include "support/canned_http.h"
#include "support/temp_folder.h"
#include "util/http_client.h"

namespace tunevale::test {
namespace {

using ::testing::ElementsAre;

class MediaAdderTest : public PlaylistFixture {
 protected:
  MediaAdderTest() {
    songs = {folder.Write("a.mp3"), folder.Write("b.mp3"), folder.Write("c.mp3")};
    list = folder.Write("list.m3u", "a.mp3\nb.mp3\n");
  }
  // An open dialog that chooses `files`.
  static TMediaAdder::TOpenDialog Choose(std::vector<std::string> files) {
    return [files](std::vector<std::string>& chosen) {
      chosen = files;
      return true;
    };
  }

  TTempFolder folder;
  std::vector<std::string> songs;
  std::string list;
  TCannedHttp http;
  TCrawlTasks crawlTasks;
  TPlaylistFile playlistFile{playlist, http, runtime, crawlTasks, folder / "data"};
  TMediaAdder adder{playlist, playlistFile, settings};
};

TEST_F(MediaAdderTest, OpenBehaviorDecidesReplacingAndPlaying) {
  struct Case {
    uint8_t Behavior;
    int State;
    bool Replaces;
    bool Plays;
  };
  const Case cases[] = {
      {0, psPlaying, true, true},  {1, psPlaying, false, false}, {1, psPaused, false, false},
      {1, psStopped, false, true}, {2, psPlaying, false, true},  {5, psStopped, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.Behavior) * 10 + c.State);
    playlist.DeleteAllRows();
    Add({"/old/x.mp3"});
    settings.OpenBehavior = c.Behavior;
    playback.StateValue = c.State;
    playback.Opened.clear();
    adder.OpenActionExecute(Choose({songs[0], songs[1]}));
    if (c.Replaces)
      EXPECT_THAT(Files(), ElementsAre(songs[0], songs[1]));
    else
      EXPECT_THAT(Files(), ElementsAre("/old/x.mp3", songs[0], songs[1]));
    if (c.Plays)
      EXPECT_THAT(playback.Opened, ElementsAre(songs[0]));
    else
      EXPECT_TRUE(playback.Opened.empty());
    EXPECT_TRUE(playlist.Row(playlist.Count() - 1).Data->InfoRead);
    EXPECT_FALSE(adder.DialogOpen());
  }
}

TEST_F(MediaAdderTest, PlaylistAmongTheFirstFilesExpandsAndTheRestIsIgnored) {
  Add({"/old/x.mp3"});
  adder.OpenFiles({list, songs[2]});
  EXPECT_THAT(Files(), ElementsAre(songs[0], songs[1]));
  EXPECT_TRUE(playback.Opened.empty());

  // A playlist chosen last (or alone) is an ordinary row, played like any other file.
  settings.OpenBehavior = 2;
  adder.OpenFiles({songs[2], list});
  EXPECT_THAT(Files(), ElementsAre(songs[0], songs[1], songs[2], list));
  EXPECT_THAT(playback.Opened, ElementsAre(songs[2]));
}

TEST_F(MediaAdderTest, DialogGuardKeepsASecondCommandOut) {
  int dialogs = 0;
  adder.OpenActionExecute([&](std::vector<std::string>& files) {
    ++dialogs;
    EXPECT_TRUE(adder.DialogOpen());
    adder.OpenActionExecute(Choose({songs[2]}));  // a hot key while the dialog shows
    adder.AddTracksActionExecute(Choose({songs[2]}));
    files = {songs[0]};
    return true;
  });
  EXPECT_EQ(dialogs, 1);
  EXPECT_THAT(Files(), ElementsAre(songs[0]));

  EXPECT_THROW(adder.OpenActionExecute(
                   [](std::vector<std::string>&) -> bool { throw std::runtime_error("dialog failed"); }),
               std::runtime_error);
  EXPECT_FALSE(adder.DialogOpen());
}

TEST_F(MediaAdderTest, AddTracksAppendsEverythingAndNeverPlays) {
  settings.OpenBehavior = 0;
  Add({"/old/x.mp3"});
  adder.AddTracksActionExecute(Choose({songs[0], list}));
  EXPECT_THAT(Files(), ElementsAre("/old/x.mp3", songs[0], list));
  EXPECT_TRUE(playback.Opened.empty());

  adder.AddTracksActionExecute([](std::vector<std::string>&) { return false; });
  EXPECT_EQ(playlist.Count(), 3);
  EXPECT_EQ(std::count(listener.BusyEvents.begin(), listener.BusyEvents.end(), "+Reading track info..."), 2);
}

TEST_F(MediaAdderTest, CancelStopsAnAdditionAfterTheEntryInHand) {
  runtime.OnProcessPendingMessages = [&] { adder.CancelPlaylistActionActionExecute(); };
  adder.AddTracksActionExecute(Choose(songs));
  EXPECT_THAT(Files(), ElementsAre(songs[0]));
}

TEST_F(MediaAdderTest, AddFolderSearchesWithoutPlaying) {
  folder.Write("sub/d.ogg");
  adder.AddFolderActionExecute("");
  EXPECT_EQ(playlist.Count(), 0);
  adder.AddFolderActionExecute(folder.Path());
  EXPECT_EQ(playlist.Count(), 4);
  EXPECT_TRUE(playback.Opened.empty());
}

TEST_F(MediaAdderTest, AddUrlTakesTheTextUnchangedAndPlaysWhenStopped) {
  adder.AddURLActionExecute(true, " http://radio.example/live ");
  EXPECT_THAT(Files(), ElementsAre(" http://radio.example/live "));
  EXPECT_THAT(playback.Opened, ElementsAre(" http://radio.example/live "));

  adder.AddURLActionExecute(true, "http://radio.example/other");  // playing now: only added
  adder.AddURLActionExecute(false, "http://ignored.example/");
  EXPECT_EQ(playlist.Count(), 2);
  EXPECT_EQ(playback.Opened.size(), 1u);
}

TEST_F(MediaAdderTest, DroppedPlaylistReplacesThePlaylistWithoutPlaying) {
  Add({"/old/x.mp3"});
  adder.DropFiles({list});
  EXPECT_THAT(Files(), ElementsAre(songs[0], songs[1]));
  adder.DropFiles({songs[2], folder / "missing.mp3"});
  EXPECT_THAT(Files(), ElementsAre(songs[0], songs[1], songs[2], folder / "missing.mp3"));
  EXPECT_TRUE(playback.Opened.empty());
  EXPECT_FALSE(playlist.IsBusy());

  EXPECT_THROW(adder.DropFiles({folder / "gone.m3u"}), EPlaylistFileError);
  EXPECT_FALSE(playlist.IsBusy());
}

}  // namespace
}  // namespace tunevale::test
