// The player headless: a fake engine and clock, real files for the settings,
// the playlist entries and a small library, remote commands through the real
// interpreter.
#include "app/player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "library/folder_watcher.h"
#include "library/library_database.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/mp3_file.h"
#include "support/portable_paths.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using Texts = std::vector<std::string>;

// The transport: records what the player sends, hands frames in as a client would.
class TRecordingServer : public TRemoteServer {
 public:
  void Listen(TFrameHandler handler) override { Handler = std::move(handler); }
  void SendFrame(TConnectionId connection, std::string_view text) override {
    Frames.emplace_back(connection, std::string(text));
  }
  Texts TextsFor(TConnectionId connection) const {
    Texts out;
    for (const auto& [id, text] : Frames)
      if (id == connection) out.push_back(text);
    return out;
  }
  TFrameHandler Handler;
  std::vector<std::pair<TConnectionId, std::string>> Frames;
};

class TRecordingView : public TPlayerView {
 public:
  void ShowMessage(const std::string& text, TMessageKind) override { Messages.push_back(text); }
  bool OpenMessageBox(const TMessage& m) override { return Messages.push_back(m.Text), true; }
  void MessageBoxRepeated(int count) override { Messages.push_back("+" + std::to_string(count)); }
  void RemoveTrayIcon() override { ++TrayRemovals; }
  void EndProcessNow() override { ++ProcessEnds; }
  void RestartProcess() override { ++Restarts; }
  void UpdateCheckDue() override { ++UpdateChecks; }
  Texts Messages;
  int UpdateChecks = 0;
  int TrayRemovals = 0;
  int ProcessEnds = 0;
  int Restarts = 0;
};

class PlayerTest : public ::testing::Test {
 protected:
  PlayerTest() {
    Runtime.ClockMs = 1000000;
    Paths = test::PortablePaths(Folder);
    for (const char* name : {"a", "b", "c"})
      Files.push_back(Folder.Write(std::string("media/") + name + ".mp3", "x"));
  }

  // `shown` false: up to the window's showing, AfterShow is the test's.
  TPlayer& Start(const Texts& files = {}, bool shown = true) {
    Player.reset();
    Player = std::make_unique<TPlayer>(TPlayerPorts{Runtime, Graph, Http, nullptr, &Server}, Paths);
    Player->SetView(&View);
    Player->Create(files);
    if (shown) {
      Player->AfterShow();
      Player->WaitForLibrary();
    }
    return *Player;
  }

  Texts FileNames() const {
    Texts out;
    for (int i = 0; i < Player->Playlist().Count(); ++i) out.push_back(Player->Playlist().Entry(i).FileName);
    return out;
  }

  // One frame from connection 1, as the transport hands it over.
  void Send(std::string_view text, TConnectionId sender = 1) { Server.Handler(sender, text); }

  std::string Ini() const { return test::ReadBytes(Paths.IniFilePath); }

  std::vector<int> Markers() const {
    std::vector<int> out;
    for (int i = 0; i < Player->Playlist().Count(); ++i) out.push_back(Player->Playlist().Row(i).ImageIndex);
    return out;
  }

  // Library folders with two artists, tagged files the crawler reads for
  // real; one file per folder, so the library's order does not depend on
  // the order the file system lists a folder in.
  Texts MakeLibrary() {
    Folder.Write("music/gold1/a.mp3", test::MakeMp3({"Dancing", "Abba", "Abba", "Gold", "1", "1992"}));
    Folder.Write("music/gold2/b.mp3", test::MakeMp3({"Waterloo", "Abba", "Abba", "Gold", "2", "1992"}));
    Folder.Write("music/arrival/c.mp3", test::MakeMp3({"Fernando", "Abba", "Abba", "Arrival", "1", "1976"}));
    Folder.Write("music/blondie/d.mp3",
                 test::MakeMp3({"Maria", "Blondie", "Blondie", "Parallel", "1", "1999"}));
    Texts folders;
    for (const char* name : {"gold1", "gold2", "arrival", "blondie"})
      folders.push_back(Folder / "music" + "/" + name);
    return folders;
  }

  test::TTempFolder Folder;
  test::TFakeRuntime Runtime;
  test::TFakeFilterGraph Graph;
  test::TCannedHttp Http;
  TRecordingServer Server;
  TRecordingView View;
  TAppPaths Paths;
  Texts Files;
  std::unique_ptr<TPlayer> Player;
};

TEST_F(PlayerTest, CloseSavesThePlaylistAndTheNextStartRestoresItWithoutPlaying) {
  TPlayer& first = Start(Files);
  EXPECT_EQ(first.Playlist().Count(), 3);
  EXPECT_EQ(Graph.Location, Files[0]);  // OpenBehavior 0: the first file plays
  first.Playlist().PlayEntry(1, true);
  ASSERT_TRUE(first.FormCloseQuery());
  EXPECT_TRUE(first.Terminating());
  EXPECT_EQ(View.TrayRemovals, 1);
  EXPECT_FALSE(Graph.Loaded());  // playback stopped
  EXPECT_NE(Ini().find("NowPlaying=1"), std::string::npos);

  TPlayer& second = Start();
  ASSERT_EQ(second.Playlist().Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(second.Playlist().Entry(i).FileName, Files[i]);
  EXPECT_EQ(Markers(), (std::vector<int>{piNormal, piNowPlaying, piNormal}));
  EXPECT_FALSE(Graph.Loaded());  // the position is kept only when asked
  EXPECT_TRUE(View.Messages.empty());
}

TEST_F(PlayerTest, ResumeAfterCloseReopensTheEntryAtItsPosition) {
  TPlayer& first = Start(Files);
  first.Settings().ResumePlaybackAfterClose = true;
  first.Playlist().PlayEntry(2, true);
  Graph.AdvancePosition(12000);
  first.Controller().DSTrackBarTimer(Graph.PositionMs, 60000);
  first.FormCloseQuery();

  Graph.Calls.clear();
  TPlayer& second = Start();
  EXPECT_EQ(Graph.Location, Files[2]);
  EXPECT_NE(std::find(Graph.Calls.begin(), Graph.Calls.end(), "Seek:12000"), Graph.Calls.end());
  EXPECT_EQ(Markers(), (std::vector<int>{piNormal, piNormal, piNowPlaying}));
  EXPECT_EQ(second.Controller().State(), psPlaying);
}

TEST_F(PlayerTest, CommandLineFilesFollowOpenBehavior) {
  Start(Files).FormCloseQuery();  // a saved playlist of three
  // Add and keep playing, while stopped: appended after the saved rows, the first new one plays.
  {
    TPlayer& p = Start();
    p.Settings().OpenBehavior = 1;
    p.FormCloseQuery();
  }
  const std::string extra = Folder.Write("media/d.mp3", "x");
  TPlayer& p = Start({extra});
  ASSERT_EQ(p.Playlist().Count(), 4);
  EXPECT_EQ(p.Playlist().Entry(3).FileName, extra);
  EXPECT_EQ(Graph.Location, extra);
  // Within 500 ms of the start's own files a remote "play" only appends.
  Send("play=" + Files[0]);
  EXPECT_EQ(p.Playlist().Count(), 5);
  EXPECT_EQ(Graph.Location, extra);
}

// The words themselves are the interpreter's; here the player's own target carries them out.
TEST_F(PlayerTest, TransportAndVolumeCommandsReachTheEngine) {
  TPlayer& p = Start(Files);
  Send("playpause");
  EXPECT_EQ(p.Controller().State(), psPaused);
  Send("next");
  EXPECT_EQ(Graph.Location, Files[1]);
  Send("setvolume=5000");
  EXPECT_EQ(p.Settings().Volume, 5000);
  Send("playfromplaylist=3");  // past the last row: stops, as PlayEntry does
  EXPECT_FALSE(Graph.Loaded());
}

TEST_F(PlayerTest, ACloseDuringTheStartUpRestoreKeepsEverySavedRow) {
  const std::string saved =
      "NowPlaying=2\nNowPlayingPosition=5000\nPlaylistCount=3\nPlaylistItem0=" + Files[0] +
      "*A\nPlaylistItem1=" + Files[1] + "*B\nPlaylistItem2=" + Files[2] + "*x | y\n";
  Folder.Write("prog/Tunevale.ini", "[Tunevale]\n" + saved);
  TPlayer& p = Start({}, false);
  Runtime.TickPerReadMs = 1000;  // every busy tick lets messages in: the close comes after the first row
  Runtime.OnProcessPendingMessages = [&] {
    if (p.Playlist().Count() == 1 && !p.Terminating()) p.Close();
  };
  p.AfterShow();
  EXPECT_TRUE(p.Terminating());
  EXPECT_NE(Ini().find(saved), std::string::npos) << Ini();
}

TEST_F(PlayerTest, PlayCommandsDuringTheStartUpRestoreRunInOrderOnceItIsDone) {
  Start(Files).FormCloseQuery();  // a saved playlist of three
  TPlayer& p = Start({}, false);
  bool sent = false;
  Runtime.OnProcessPendingMessages = [&] {
    if (sent || p.Playlist().Count() != 1) return;
    sent = true;
    Runtime.Advance(1000);
    Send("play=" + Files[2]);  // a new command: replaces the playlist
    Runtime.Advance(200);
    Send("play=" + Files[0]);  // its continuation: appends
  };
  p.AfterShow();
  EXPECT_EQ(FileNames(), (Texts{Files[2], Files[0]}));
  EXPECT_EQ(Graph.Location, Files[2]);
}

TEST_F(PlayerTest, FoldersOnTheCommandLineAddTheirFilesInNameOrderAndTheFirstPlays) {
  for (const char* track : {"two/02", "two/01", "one/02", "one/01"})
    Folder.Write(std::string(track) + ".mp3", "x");
  Start({Folder / "one", Folder / "two"});  // no Library.db: the library has not loaded
  EXPECT_EQ(FileNames(), (Texts{Folder / "one/01.mp3", Folder / "one/02.mp3", Folder / "two/01.mp3",
                                Folder / "two/02.mp3"}));
  EXPECT_EQ(Graph.Location, Folder / "one/01.mp3");
}

TEST_F(PlayerTest, APortableCopyDownloadsRemotePlaylistsBesideItsLibrary) {
  Http.Body = Files[1] + "\n";
  TPlayer& p = Start();
  p.PlaylistFile().OpenPlaylistFile("http://host/list.m3u");
  EXPECT_EQ(FileNames(), Texts{Files[1]});
  EXPECT_TRUE(std::filesystem::is_empty(Paths.AppDataDir));
}

TEST_F(PlayerTest, FailedCommandsWaitForOneBoxThatCountsRepeats) {
  TPlayer& p = Start();
  for (const char* text : {"setvolume=abc", "playalbum=99999999999999999999", "setvolume=abc"}) Send(text);
  EXPECT_EQ(View.Messages, (Texts{"'abc' is not a valid integer value", "+2"}));
  p.MessageBoxClosed();  // the message that waited shows next
  EXPECT_EQ(View.Messages.back(), "'99999999999999999999' is not a valid integer value");
}

TEST_F(PlayerTest, LibraryQueriesAndPlayArtistOverARealLibrary) {
  TPlayer& p = Start();
  p.Settings().LibraryFolders = MakeLibrary();
  p.Library().CrawlTasks.QueueFullCrawl();
  p.Crawler().ProcessCrawlTasks();
  ASSERT_EQ(p.Library().ArtistCount(), 2);

  Send("registerwindow=1");
  Server.Frames.clear();
  Send("getartists=");
  Send("getalbums=abba");
  Send("gettracks=maria");
  EXPECT_EQ(Server.TextsFor(1), (Texts{"artists=0\x02"
                                       "Abba\x01"
                                       "1\x02"
                                       "Blondie\x01",
                                       "albums=0\x02"
                                       "0\x02"
                                       "Gold\x01"
                                       "0\x02"
                                       "1\x02"
                                       "Arrival\x01",
                                       "tracks=" + Folder.Path() + "/music/blondie/d.mp3\x02Maria\x01"}));

  Send(
      "playalbum=0\x01"
      "0");
  ASSERT_EQ(p.Playlist().Count(), 2);
  EXPECT_EQ(p.Playlist().Entry(0).FileName, Folder.Path() + "/music/gold1/a.mp3");
  EXPECT_EQ(Graph.Location, p.Playlist().Entry(0).FileName);

  Send("playartist=0");
  EXPECT_EQ(p.Playlist().Count(), 3);
}

TEST_F(PlayerTest, HeartbeatsCrawlRefillAndSaveTheLibrary) {
  TPlayer& p = Start();
  p.Settings().LibraryFolders = MakeLibrary();
  p.Library().CrawlTasks.QueueFullCrawl();
  // The refresh timer's tick arms the idle work.
  Runtime.Advance(4000);
  ASSERT_TRUE(Runtime.RunIdle());
  EXPECT_EQ(p.Library().TrackCount(), 4u);
  EXPECT_EQ(p.Search().List(lpArtists).RowCount(), 2);
  EXPECT_EQ(p.Search().List(lpTracks).RowCount(), 4);
  // Hiding short albums in the settings dialog rebuilds the views, queries forgotten, when idle.
  TSettingsDialogModel dialog(p.Settings(), p.SettingsDialogTarget(), Paths.ProgramDir);
  dialog.Show();
  dialog.Draft.HideIncompleteAlbums = true;
  dialog.TakeOver();
  p.Search().List(lpTracks).QueryText = "old";
  Runtime.Advance(4000);
  ASSERT_TRUE(Runtime.RunIdle());
  EXPECT_EQ(p.Search().List(lpAlbums).RowCount(), 0);
  EXPECT_EQ(p.Search().List(lpTracks).QueryText, "");
  p.Settings().HideIncompleteAlbums = false;
  EXPECT_FALSE(std::filesystem::exists(Paths.LibraryDbPath));

  Runtime.Advance(LibrarySaveIntervalMs);
  ASSERT_TRUE(std::filesystem::exists(Paths.LibraryDbPath));
  test::SetModificationTime(Paths.LibraryDbPath, 1000000);
  const auto saved = std::filesystem::last_write_time(Paths.LibraryDbPath);
  Runtime.Advance(LibrarySaveIntervalMs);  // unchanged: nothing written
  EXPECT_EQ(std::filesystem::last_write_time(Paths.LibraryDbPath), saved);
  EXPECT_TRUE(View.Messages.empty());

  // The next start reads it on a worker while the loop goes on. Until the
  // hand-over every path counts as known, nothing crawls and nothing is saved.
  p.FormCloseQuery();
  p.FormDestroy();
  const std::string bytes = test::ReadBytes(Paths.LibraryDbPath);
  Folder.Write("music/blondie/e.mp3", test::MakeMp3({"Atomic", "Blondie", "Blondie", "Eat", "1", "1979"}));
  TPlayer& next = Start({}, false);
  next.AfterShow();
  EXPECT_TRUE(next.Library().Contains(Folder / "music/blondie/e.mp3", true));
  next.Library().CrawlTasks.QueueFullCrawl();
  next.Library().Flags.LibraryDirty = true;
  Runtime.Advance(LibrarySaveIntervalMs);
  Runtime.RunIdle();
  EXPECT_EQ(next.Library().TrackCount(), 0u);
  EXPECT_EQ(test::ReadBytes(Paths.LibraryDbPath), bytes);

  next.WaitForLibrary();
  EXPECT_EQ(next.Library().TrackCount(), 4u);
  EXPECT_EQ(next.Search().List(lpAlbums).RowCount(), 3);
  EXPECT_FALSE(next.Library().Contains(Folder / "music/blondie/e.mp3", true));
  Runtime.Advance(4000);
  ASSERT_TRUE(Runtime.RunIdle());  // the crawl queued meanwhile runs now
  EXPECT_EQ(next.Library().TrackCount(), 5u);
}

TEST_F(PlayerTest, TheDailyUpdateCheckComesAfterTwentyFourWholeHours) {
  TPlayer& player = Start();
  const double minute = 1.0 / (24 * 60);
  const struct {
    double Ago;  // days since the last check
    bool Enabled;
    int Checks;
  } cases[] = {{24 * 60 * minute - minute, true, 0}, {1, true, 1}, {1.5, false, 0}, {-1, true, 1}};
  for (const auto& c : cases) {
    View.UpdateChecks = 0;
    player.Settings().CheckForUpdates = c.Enabled;
    player.Settings().LastUpdateCheck = Runtime.Now() - c.Ago;
    player.LibrarySaveTimerTimer();
    EXPECT_EQ(View.UpdateChecks, c.Checks) << c.Ago << " days, enabled " << c.Enabled;
  }
}

TEST_F(PlayerTest, SeamlessUpgradeKeepsThePositionAndEnds) {
  TPlayer& p = Start(Files);
  ASSERT_FALSE(p.Settings().ResumePlaybackAfterClose);
  Graph.AdvancePosition(7000);
  p.Controller().DSTrackBarTimer(Graph.PositionMs, 60000);
  Send("|seamlessupgrade|");
  EXPECT_EQ(View.ProcessEnds, 1);
  EXPECT_NE(Ini().find("NowPlayingPosition=7000"), std::string::npos) << Ini();
}

TEST_F(PlayerTest, AFloatingPointErrorSavesWithoutPositionAndRestarts) {
  TPlayer& p = Start(Files);
  p.Settings().ResumePlaybackAfterClose = true;
  Graph.AdvancePosition(7000);
  p.Controller().DSTrackBarTimer(Graph.PositionMs, 60000);
  p.HandleException(std::runtime_error("Invalid floating point operation"));
  EXPECT_EQ(View.Restarts, 1);
  EXPECT_NE(Ini().find("NowPlayingPosition=0"), std::string::npos);
  p.HandleException(std::runtime_error("Something else"));
  EXPECT_EQ(View.Restarts, 1);
  EXPECT_EQ(View.Messages.back(), "Something else");
}

TEST_F(PlayerTest, AFailedSettingsSaveIsReportedAndTheCloseGoesOn) {
  TPlayer& p = Start(Files);
  // The INI file's folder cannot take a new file.
  std::filesystem::remove_all(Paths.ProgramDir);
  Folder.Write("prog", "not a folder");
  EXPECT_TRUE(p.FormCloseQuery());
  EXPECT_TRUE(p.Terminating());
  EXPECT_EQ(View.TrayRemovals, 1);
  EXPECT_FALSE(Graph.Loaded());
  ASSERT_EQ(View.Messages.size(), 1u);
  EXPECT_EQ(View.Messages[0].rfind("The settings could not be saved", 0), 0u);
}

TEST_F(PlayerTest, ALibraryThatNeverLoadedIsNotSavedOverTheFile) {
  const std::string db = Folder.Write("prog/Library.db", "the user's library");
  Player = std::make_unique<TPlayer>(TPlayerPorts{Runtime, Graph, Http, nullptr, &Server}, Paths);
  Player->SetView(&View);
  Player->Create({});
  // An upgrade arrives while the playlist comes back, with a crawl queued.
  Player->Library().CrawlTasks.QueueFullCrawl();
  Send("|seamlessupgrade|");
  EXPECT_EQ(View.ProcessEnds, 1);
  Player.reset();
  EXPECT_EQ(test::ReadBytes(db), "the user's library");
}

TEST_F(PlayerTest, StartRemovesWhatASaveCutShortLeftBesideTheLibrary) {
  const Texts names = {"Library.db.tmp-AbCd12", "Library.db.tmp-AbCd123", "Library.db.tmp-Ab_d12",
                       "Other.db.tmp-AbCd12", "Library.db.tmp-Zz99Yy"};
  for (const std::string& name : names) Folder.Write("prog/" + name);
  for (size_t i = 0; i + 1 < names.size(); ++i)
    test::SetModificationTime(Folder / ("prog/" + names[i]), 1000000);
  Start();  // the last one is younger than the player: a save running now
  for (const std::string& name : names)
    EXPECT_EQ(std::filesystem::exists(Folder / ("prog/" + name)), name != names[0]) << name;
}

class TRecordingWatcher : public TFolderWatcher {
 public:
  void SetRoots(const std::vector<std::string>& roots) override { Calls.push_back(roots); }
  std::vector<Texts> Calls;
};

TEST_F(PlayerTest, TheWatcherFollowsTheLibraryFoldersOnceTheWindowShows) {
  TRecordingWatcher watcher;
  Folder.Write("prog/Tunevale.ini",
               "[Tunevale]\nLibraryFolderCount=1\nLibraryFolder0=" + Folder.Path() + "/music\n");
  Player = std::make_unique<TPlayer>(TPlayerPorts{Runtime, Graph, Http, &watcher, &Server}, Paths);
  Player->Create({});
  EXPECT_TRUE(watcher.Calls.empty());  // not before the window shows
  Player->AfterShow();
  Player->WaitForLibrary();
  EXPECT_EQ(watcher.Calls, std::vector<Texts>{{Folder.Path() + "/music"}});
  Send("loadsettings");  // the same folders: no second walk
  EXPECT_EQ(watcher.Calls.size(), 1u);
  Player->Settings().LibraryFolders.push_back(Folder.Path() + "/more");
  Send("savesettings");
  Send("loadsettings");
  ASSERT_EQ(watcher.Calls.size(), 2u);
  EXPECT_EQ(watcher.Calls[1].size(), 2u);
  Player.reset();
  EXPECT_EQ(watcher.Calls.back(), Texts{});  // stopped with the window
}

}  // namespace
}  // namespace tunevale
