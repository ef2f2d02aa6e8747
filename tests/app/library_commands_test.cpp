// The library's play and add commands against a real playlist with a fake
// player, and the playlists list's delete.
#include "app/library_commands.h"

#include <filesystem>

#include "library/library_test_support.h"
#include "playlist/playlist_fixture.h"
#include "support/canned_http.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

class TRecordingHost : public TLibraryCommandsHost {
 public:
  void ShowPlaylistPage() override { Pages.push_back("playlist"); }
  void ShowVideoPage() override { Pages.push_back("video"); }
  bool Confirm(const std::string& question) override {
    Questions.push_back(question);
    return Answer;
  }
  void ShowError(const std::string& text) override { Errors.push_back(text); }
  void OpenFileLocation(const std::string&) override {}

  bool Answer = true;
  std::vector<std::string> Pages, Questions, Errors;
};

class LibraryCommandsTest : public test::PlaylistFixture {
 protected:
  LibraryCommandsTest()
      : Library(LibrarySettings, "/"),
        PlaylistFile(playlist, Http, runtime, Library.CrawlTasks, Folder.Path()),
        Commands(Library, playlist, PlaylistFile, LibrarySettings, Host) {
    for (const char* name : {"a", "b", "c", "d", "e"})
      test::AddTestTrack(Library, std::string("/m/") + name + ".mp3",
                         test::Tags(name, "X", name[0] < 'c' ? "One" : "Two"));
    for (int b = 0; b < 2; ++b)
      for (int t = 0; t < Library.Artist(0)->Album(b)->TrackCount(); ++t)
        Tracks.Rows.push_back(
            {Library.Artist(0)->Album(b)->Track(t), TRowKind::rkEntry, false, uint32_t(Tracks.Rows.size())});
    // Shown in reverse order.
    std::reverse(Tracks.Rows.begin(), Tracks.Rows.end());
    runtime.TickPerReadMs = 200;  // every pump processes messages
  }

  TLibrarySettings LibrarySettings;
  TLibrary Library;
  test::TTempFolder Folder;
  test::TCannedHttp Http;
  TPlaylistFile PlaylistFile;
  TRecordingHost Host;
  TLibraryCommands Commands;
  TLibraryList Tracks{lpTracks};
};

TEST_F(LibraryCommandsTest, PlayAllAddsTheListInItsOrderAndPlaysTheSelectedRow) {
  Add({"/old.mp3"});
  Tracks.Rows[3].Selected = true;
  Commands.PlayAll(Tracks);
  EXPECT_EQ(Files(), (std::vector<std::string>{"/m/e.mp3", "/m/d.mp3", "/m/c.mp3", "/m/b.mp3", "/m/a.mp3"}));
  EXPECT_EQ(playlist.Row(0).Caption, "e");
  EXPECT_EQ(playback.Opened, (std::vector<std::string>{"/m/b.mp3"}));
  EXPECT_EQ(Host.Pages, (std::vector<std::string>{"playlist"}));
  EXPECT_FALSE(playlist.IsBusy());
}

TEST_F(LibraryCommandsTest, ACancelledAddPlaysOnlyARowThatExists) {
  Tracks.Rows[3].Selected = true;
  int pumps = 0;
  runtime.OnProcessPendingMessages = [&] {
    if (++pumps == 2) playlist.CancelPlaylistActionActionExecute();
  };
  Commands.PlayAll(Tracks);
  EXPECT_EQ(playlist.Count(), 2);
  EXPECT_TRUE(playback.Opened.empty());
  EXPECT_EQ(playback.Stops, 0);

  // Cancelling within the first rows still plays a row that made it.
  pumps = 0;
  Tracks.Rows[3].Selected = false;
  Tracks.Rows[1].Selected = true;
  Commands.PlayAll(Tracks);
  EXPECT_EQ(playback.Opened, (std::vector<std::string>{"/m/d.mp3"}));
}

TEST_F(LibraryCommandsTest, SelectedRowsArtistsAndAlbumsGoInDisplayOrAlbumOrder) {
  Tracks.Rows[4].Selected = Tracks.Rows[0].Selected = true;
  Add({"/old.mp3"});
  Commands.AddToPlaylist(Tracks);
  EXPECT_EQ(Files(), (std::vector<std::string>{"/old.mp3", "/m/e.mp3", "/m/a.mp3"}));
  EXPECT_TRUE(playback.Opened.empty());

  Commands.PlaySelected(Tracks);
  EXPECT_EQ(Files(), (std::vector<std::string>{"/m/e.mp3", "/m/a.mp3"}));
  Commands.PlayArtist(*Library.Artist(0));
  EXPECT_EQ(Files(), (std::vector<std::string>{"/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/d.mp3", "/m/e.mp3"}));
  Commands.AddAlbum(*Library.Artist(0)->Album(1));
  EXPECT_EQ(playlist.Count(), 8);
  EXPECT_EQ(playback.Opened, (std::vector<std::string>{"/m/e.mp3", "/m/a.mp3"}));

  // Nothing selected: nothing happens.
  for (TLibraryRow& row : Tracks.Rows) row.Selected = false;
  Commands.PlayAll(Tracks);
  EXPECT_EQ(playlist.Count(), 8);
}

TEST_F(LibraryCommandsTest, TheSelectionIsAnEntryElseTheAllRow) {
  TLibraryList artists{lpArtists};
  artists.Rows = {{nullptr, TRowKind::rkAll}, {Library.Artist(0)}};
  EXPECT_FALSE(TLibraryCommands::Selection(artists).Row);
  artists.Rows[0].Selected = true;
  EXPECT_TRUE(TLibraryCommands::Selection(artists).Row);  // "<All>" opens every track
  EXPECT_EQ(TLibraryCommands::Selection(artists).Artist, nullptr);
  artists.Rows[1].Selected = true;
  EXPECT_EQ(TLibraryCommands::Selection(artists).Artist, Library.Artist(0));
  Tracks.Rows[3].Selected = true;
  EXPECT_EQ(TLibraryCommands::Selection(Tracks).File, Tracks.TrackAt(3));
}

TEST_F(LibraryCommandsTest, DontSwitchToPlaylistShowsTheVideoWhileOneIsPlaying) {
  LibrarySettings.DontSwitchToPlaylist = true;
  Tracks.Rows[0].Selected = true;
  Commands.PlayAll(Tracks);
  EXPECT_TRUE(Host.Pages.empty());  // music is playing
  playback.Kind = mkVideo;
  Commands.PlayAll(Tracks);
  EXPECT_EQ(Host.Pages, (std::vector<std::string>{"video"}));
}

TEST_F(LibraryCommandsTest, DeletingAPlaylistAsksAndReportsWhatCannotBeDeleted) {
  const std::string path = Folder.Write("lists/mix.m3u", "/m/a.mp3\n");
  Host.Answer = false;
  Commands.DeletePlaylist(path);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(Host.Questions, (std::vector<std::string>{"Are you sure want to delete this playlist?"}));

  Host.Answer = true;
  Library.Flags.LibraryDirty = false;
  Commands.DeletePlaylist(path);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_TRUE(Library.Flags.LibraryDirty);
  EXPECT_EQ(Library.CrawlTasks.Count(), 1);

  Library.Flags.LibraryDirty = false;
  const std::string stuck = Folder.MakeFolder("lists/stuck.m3u");
  Commands.DeletePlaylist(stuck);
  ASSERT_EQ(Host.Errors.size(), 1u);
  EXPECT_NE(Host.Errors[0].find("stuck.m3u"), std::string::npos);
  EXPECT_FALSE(Library.Flags.LibraryDirty);
  EXPECT_EQ(Library.CrawlTasks.Count(), 1);
}

}  // namespace
}  // namespace tunevale
