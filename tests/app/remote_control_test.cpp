#include "app/remote_control.h"

#include <gtest/gtest.h>

#include "support/fake_remote_target.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

using Texts = std::vector<std::string>;

class RemoteControlTest : public ::testing::Test {
 protected:
  RemoteControlTest() {
    runtime.ClockMs = 1000000;
    target.Remote = &remote;
    target.Artists = {{"Abba", {{"Gold", {"dancing", "waterloo"}}, {"Arrival", {"fernando"}}}},
                      {"Blondie", {{"Parallel", {"maria"}}}}};
  }

  // Handles `text` from connection 1 and returns the calls it made.
  Texts Handle(std::string_view text, TConnectionId sender = 1) {
    target.Calls.clear();
    remote.HandleMessage(sender, text);
    return target.Calls;
  }

  test::TFakeRuntime runtime;
  test::TFakeRemoteTarget target;
  test::TFakeRemoteOutput output;
  TRemoteControl remote{target, output, runtime};
};

TEST_F(RemoteControlTest, RegistrationSendsPlaylistStateAndVolumeInOrder) {
  target.Playlist = {"one", "two"};
  target.State_.TimeText = "0:00:00";
  Handle("registerwindow=77", 5);
  EXPECT_EQ(output.Frames[5], (Texts{"playlistnames=one\x01two\x01",
                                     "state=graphstate=1\x01time=0:00:00\x01playlistindex=-1\x01" "artist=\x01"
                                     "album=\x01title=\x01isvideo=0",
                                     "volume=5000\x01" "0"}));
  // The same number again: still one listener, but everything is sent again.
  Handle("registerwindow=77", 5);
  EXPECT_EQ(remote.Listeners().Items().size(), 1u);
  EXPECT_EQ(output.Frames[5].size(), 6u);
}

TEST_F(RemoteControlTest, NotificationsFollowRegistrationOrder) {
  Handle("registerwindow=30", 3);
  Handle("registerwindow=10", 1);
  Handle("registerwindow=20", 2);
  output.All.clear();
  Handle("setvolume=1234");
  ASSERT_EQ(output.All.size(), 3u);
  EXPECT_EQ(output.All[0].first, 3u);
  EXPECT_EQ(output.All[1].first, 1u);
  EXPECT_EQ(output.All[2].first, 2u);
  EXPECT_EQ(output.All[0].second, "volume=1234\x01" "0");
}

TEST_F(RemoteControlTest, ANewClientCanTakeOverTheNumberOfOneThatIsGone) {
  Handle("registerwindow=10", 1);
  Handle("registerwindow=20", 2);
  Handle("registerwindow=10", 9);  // refused while connection 1 is open
  EXPECT_EQ(output.Frames.count(9), 0u);
  output.Closed.insert(1);
  Handle("registerwindow=10", 9);
  output.Frames.clear();
  remote.NotifyPlaylistChanged();
  EXPECT_EQ(output.Frames.count(1), 0u);
  EXPECT_EQ(output.Frames[9].size(), 1u);
  ASSERT_EQ(remote.Listeners().Items().size(), 2u);
  EXPECT_EQ(remote.Listeners().Items()[0].Number, 10);
}

TEST_F(RemoteControlTest, NothingIsBuiltOrSearchedWithoutListeners) {
  Handle("getartists=");
  Handle("getplaylistnames");
  remote.NotifyState(true, true, true);
  EXPECT_TRUE(output.All.empty());
  EXPECT_TRUE(target.Searches.empty());
}

TEST_F(RemoteControlTest, LibraryQueriesReplyToEveryListener) {
  Handle("registerwindow=1", 1);
  Handle("registerwindow=2", 2);
  output.Frames.clear();
  Handle("getartists=", 3);  // the asker need not be registered
  Handle("getalbums=r");
  Handle("gettracks=a");
  Handle("getvideos=");
  Handle("getplaylists=");
  const Texts expected = {"artists=0\x02" "Abba\x01" "1\x02" "Blondie\x01",
                          "albums=0\x02" "1\x02" "Arrival\x01" "1\x02" "0\x02" "Parallel\x01",
                          "tracks=/music/dancing\x02" "dancing\x01/music/waterloo\x02waterloo\x01"
                          "/music/fernando\x02" "fernando\x01/music/maria\x02maria\x01",
                          "videos=/v/clip.mkv\x02" "clip\x01", "playlists="};
  EXPECT_EQ(output.Frames[1], expected);
  EXPECT_EQ(output.Frames[2], expected);
  EXPECT_EQ(output.Frames.count(3), 0u);
}

TEST_F(RemoteControlTest, AQueryWithoutEqualsSignSearchesForTheWordItself) {
  Handle("registerwindow=1");
  target.Searches.clear();
  Handle("getartists");
  EXPECT_EQ(target.Searches, (Texts{"artists:getartists"}));
}

TEST_F(RemoteControlTest, CommandWordsAndTheirOperations) {
  struct Case {
    std::string Text;
    Texts Calls;
  };
  const Case cases[] = {
      {"PlayPause=", {"PlayPause"}},
      {"PlayPause", {}},  // without "=" the case is kept: no such command
      {"playpause", {"PlayPause"}},
      {"stop", {"Stop"}},
      {"next", {"Next"}},
      {"previous", {"Previous"}},
      {"savesettings", {"SaveSettings"}},
      {"loadsettings", {"LoadSettings"}},
      {"seamlessupgrade", {"SeamlessUpgrade"}},
      {"|seamlessupgrade|", {"SeamlessUpgrade"}},
      {"hidevideo", {"HideVideo"}},
      {"showvideo", {"ShowVideo"}},
      {"togglefullscreen", {"ToggleFullScreen"}},
      {"terminate", {"Close"}},
      {"clearplaylist", {"ClearPlaylist"}},
      {"", {"ShowIfHidden"}},
      {"nosuchcommand=1", {}},
      {"setvolume=20000", {"SetVolume 10000"}},
      {"setvolume=-5", {"SetVolume 0"}},
  };
  for (const Case& c : cases) {
    target.FullScreen = false;
    EXPECT_EQ(Handle(c.Text), c.Calls) << c.Text;
  }
  EXPECT_EQ(target.ShowHandlings, int(std::size(cases)));
}

TEST_F(RemoteControlTest, FullScreenCommandsSwitchOnlyWhenTheStateDiffers) {
  EXPECT_EQ(Handle("setfullscreen=1"), (Texts{"ToggleFullScreen"}));
  EXPECT_EQ(Handle("setfullscreen=1"), Texts{});
  EXPECT_EQ(Handle("setfullscreen=yes"), (Texts{"ToggleFullScreen"}));
  EXPECT_EQ(Handle("setcontrolmode=1"), (Texts{"SetControlMode 1", "ToggleFullScreen"}));
  EXPECT_EQ(Handle("setcontrolmode="), (Texts{"SetControlMode 0", "ToggleFullScreen"}));
  EXPECT_EQ(Handle("setvideowindowposition=10\x01" "20\x01" "0\x01" "480"),
            (Texts{"ToggleFullScreen", "SetFullScreenRect 10 20 0 480"}));
  EXPECT_EQ(Handle("setvideowindowposition=1\x01" "2\x01" "3\x01" "4"), (Texts{"SetFullScreenRect 1 2 3 4"}));
}

TEST_F(RemoteControlTest, MalformedNumbersRaiseAndChangeNothing) {
  target.Playlist = {"a", "b"};
  const char* texts[] = {"setvolume=loud", "setvolume=", "registerwindow=me", "playfromplaylist=x",
                         "playartist=", "playalbum=0", "playalbum=0\x01x",
                         "setvideowindowposition=1\x01" "2\x01" "3"};
  for (const char* text : texts) {
    EXPECT_THROW(Handle(text), ERemoteCommandError) << text;
    EXPECT_TRUE(target.Calls.empty()) << text;
  }
  EXPECT_EQ(target.Playlist, (Texts{"a", "b"}));
  EXPECT_TRUE(remote.Listeners().Empty());
  EXPECT_EQ(target.ShowHandlings, 0);
}

TEST_F(RemoteControlTest, AFailedCommandDoesNotHoldTheContinuationWindow) {
  EXPECT_THROW(Handle("setvolume=loud"), ERemoteCommandError);
  runtime.Advance(1000);
  target.Playlist = {"old"};
  EXPECT_EQ(Handle("play=new\x01"), (Texts{"ClearPlaylist", "Add new", "PlayEntry 0", "ReadTrackInfo"}));
}

TEST_F(RemoteControlTest, OutOfRangeLibraryIndicesLeaveThePlaylistAlone) {
  target.Playlist = {"keep"};
  for (const char* text : {"playartist=-1", "playartist=2", "playalbum=0\x01" "2", "playalbum=5\x01" "0",
                           "playalbum=-1\x01" "0"})
    EXPECT_EQ(Handle(text), Texts{}) << text;
  EXPECT_EQ(target.Playlist, (Texts{"keep"}));
}

TEST_F(RemoteControlTest, PlayArtistAndAlbumReplaceThePlaylistAndPlayTheFirstRow) {
  Handle("registerwindow=1");
  output.Frames.clear();
  target.Playlist = {"keep"};
  EXPECT_EQ(Handle("playartist=0"), (Texts{"ClearPlaylist", "AddArtistTracks 0", "PlayEntry 0"}));
  EXPECT_EQ(target.Playlist, (Texts{"dancing", "waterloo", "fernando"}));
  EXPECT_EQ(output.Frames[1], (Texts{"playlistnames=dancing\x01waterloo\x01" "fernando\x01"}));
  EXPECT_EQ(Handle("playalbum=0\x01" "1"), (Texts{"ClearPlaylist", "AddAlbumTracks 0 1", "PlayEntry 0"}));
  EXPECT_EQ(target.Playlist, (Texts{"fernando"}));
  EXPECT_EQ(Handle("playfromplaylist=0"), (Texts{"PlayEntry 0"}));
}

TEST_F(RemoteControlTest, PlayWithinTheWindowOnlyAppends) {
  target.Playlist = {"old"};
  EXPECT_EQ(Handle("play=/a.mp3\x01"), (Texts{"ClearPlaylist", "Add /a.mp3", "PlayEntry 0", "ReadTrackInfo"}));
  runtime.Advance(200);
  EXPECT_EQ(Handle("play=/b.mp3\x01"), (Texts{"Add /b.mp3", "ReadTrackInfo"}));
  runtime.Advance(500);
  EXPECT_EQ(Handle("play=/c.mp3\x01"), (Texts{"ClearPlaylist", "Add /c.mp3", "PlayEntry 0", "ReadTrackInfo"}));
}

TEST_F(RemoteControlTest, PlayKeepsPlayingOrStartsByOpenBehavior) {
  target.Behavior = 1;
  target.Playlist = {"old"};
  target.Graph = 3;  // playing: only append
  EXPECT_EQ(Handle("play=/a.mp3\x01/b.mp3\x01"), (Texts{"Add /a.mp3", "Add /b.mp3", "ReadTrackInfo"}));
  runtime.Advance(1000);
  target.Graph = 1;  // stopped: play the first new row
  EXPECT_EQ(Handle("play=/c.mp3\x01"), (Texts{"Add /c.mp3", "PlayEntry 3", "ReadTrackInfo"}));
  runtime.Advance(1000);
  target.Behavior = 5;
  EXPECT_EQ(Handle("play=/d.mp3\x01"), (Texts{"Add /d.mp3", "ReadTrackInfo"}));
}

TEST_F(RemoteControlTest, PlayStartsAtTheFirstRowOfAnAddedFolder) {
  target.Behavior = 2;
  target.Playlist = {"old"};
  target.Folders["/music"] = {"/music/1.mp3", "/music/2.mp3", "/music/3.mp3"};
  EXPECT_EQ(Handle("play=/music\x01"), (Texts{"Add /music", "PlayEntry 1", "ReadTrackInfo"}));
}

TEST_F(RemoteControlTest, AddAndPlaySkipEmptyArgumentsAndNothingAddedPlaysNothing) {
  EXPECT_EQ(Handle("play="), (Texts{"ClearPlaylist", "ReadTrackInfo"}));
  runtime.Advance(1000);
  EXPECT_EQ(Handle("add=/x\x01\x01/y"), (Texts{"Add /x", "Add /y", "ReadTrackInfo"}));
}

TEST_F(RemoteControlTest, ACommandArrivingDuringALongPlayIsAContinuation) {
  target.Playlist = {"old"};
  bool nested = false;
  target.OnAdd = [&](const std::string&) {
    if (nested) return;
    nested = true;
    runtime.Advance(5000);  // adding took long and pumped messages
    remote.HandleMessage(2, "play=/second.mp3\x01");
  };
  Handle("play=/first.mp3\x01");
  EXPECT_EQ(target.Calls,
            (Texts{"ClearPlaylist", "Add /first.mp3", "Add /second.mp3", "ReadTrackInfo", "PlayEntry 0", "ReadTrackInfo"}));
  EXPECT_EQ(target.Playlist, (Texts{"/first.mp3", "/second.mp3"}));
  // Both ended: the next one 500 ms later replaces again.
  runtime.Advance(500);
  target.OnAdd = nullptr;
  EXPECT_EQ(Handle("play=/third.mp3\x01")[0], "ClearPlaylist");
}

}  // namespace
}  // namespace tunevale
