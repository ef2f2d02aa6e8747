#include "playlist/playlist_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>

#include "library/crawl_tasks.h"
#include "platform/curl_http_client.h"
#include "playlist/local_http_server.h"
#include "playlist/playlist_fixture.h"
#include "support/temp_folder.h"

namespace tunevale::test {
namespace {

using ::testing::ElementsAre;

TEST(PlaylistScannerTest, ValuesLocationsAndDuplicates) {
  const std::set<std::string> existing = {"/b/a.mp3",     "/b/b.mp3",         "/b/a=b.mp3",
                                          "/b/sub/c.mp3", "/x/y.mp3",         "C:\\m\\d.mp3",
                                          "/b/ü.mp3",     "/b/two words.mp3", "/b/\xff.mp3"};
  struct Case {
    const char* Name;
    std::string Text;
    std::vector<std::string> Expected;
  };
  const Case cases[] = {
      {"plain lines", "a.mp3\nmissing.mp3\nb.mp3", {"/b/a.mp3", "/b/b.mp3"}},
      {"after the first equals sign", "File1=a=b.mp3\nTitle1=a.mp3", {"/b/a=b.mp3", "/b/a.mp3"}},
      {"quoted values in turn", "<ref a=\"a.mp3\" b=\"b.mp3\"/>", {"/b/a.mp3", "/b/b.mp3"}},
      {"unclosed quote", "<ref href=\"a.mp3", {"/b/a.mp3"}},
      {"consecutive duplicates", "a.mp3\na.mp3\n<x s=\"a.mp3\" t=\"a.mp3\"/>", {"/b/a.mp3"}},
      {"duplicate with another between", "a.mp3\nb.mp3\na.mp3", {"/b/a.mp3", "/b/b.mp3", "/b/a.mp3"}},
      {"line ends", "a.mp3\r\nb.mp3\ra.mp3\n\n", {"/b/a.mp3", "/b/b.mp3", "/b/a.mp3"}},
      {"backslashes in relative values", "sub\\c.mp3", {"/b/sub/c.mp3"}},
      {"absolute values unchanged", "/x/y.mp3\nC:\\m\\d.mp3", {"/x/y.mp3", "C:\\m\\d.mp3"}},
      {"file addresses",
       "file:///x/y.mp3\nfile://localhost/b/two%20words.mp3\nfile://host/x/y.mp3\nfile:///b/%FF.mp3",
       {"/x/y.mp3", "/b/two words.mp3", "/b/\xff.mp3"}},
      {"addresses",
       "HTTP://h/s\nmms://h/s\nrtsp://h/s\nftp://h/a.mp3\ngopher://h/x",
       {"HTTP://h/s", "mms://h/s", "rtsp://h/s", "ftp://h/a.mp3"}},
      {"comments and 8-bit text", "#EXTM3U\n#EXTINF:1,x\n\xc3\xbc.mp3", {"/b/ü.mp3"}},
      {"zero byte in a value", std::string("a.mp3\0junk", 10), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<std::string> entries;
    TPlaylistScanHooks hooks;
    hooks.IsPlayable = [&](const std::string& location) {
      return existing.count(location) > 0 || IsPlayableLocation(location);
    };
    hooks.OnEntry = [&](const std::string& location) { entries.push_back(location); };
    ScanPlaylistText(c.Text, "/b", hooks);
    EXPECT_EQ(entries, c.Expected);
  }
}

TEST(PlaylistScannerTest, CancelIsTestedAfterEachLine) {
  std::vector<std::string> entries;
  int values = 0;
  TPlaylistScanHooks hooks;
  hooks.IsPlayable = [](const std::string&) { return true; };
  hooks.OnEntry = [&](const std::string& location) { entries.push_back(location); };
  hooks.AfterValue = [&] { ++values; };
  hooks.Cancelled = [&] { return entries.size() >= 2; };
  ScanPlaylistText("x=\"1\" y=\"2\" z=\"3\"\n4\n5", "/b/", hooks);
  EXPECT_THAT(entries, ElementsAre("/b/1", "/b/2", "/b/3"));
  EXPECT_EQ(values, 3);
}

TEST(PlaylistScannerTest, RelativeValueWithoutBaseFolderStaysRelative) {
  EXPECT_EQ(PlaylistValueLocation("a\\b.mp3", ""), "a/b.mp3");
  EXPECT_EQ(LocalPathOfFileUrl("FILE:///a%2Fb"), "/a/b");
  EXPECT_FALSE(IsPlayableLocation("/"));
  EXPECT_FALSE(IsPlayableLocation(""));
}

class PlaylistFileTest : public PlaylistFixture {
 protected:
  PlaylistFileTest() {
    folder.Write("music/one.mp3", "1");
    folder.Write("music/sub/three.mp3", "3");
    folder.Write("music/with space.mp3", "s");
    folder.Write("other/four.mp3", "4");
  }
  std::string Music(const std::string& name) const { return folder / ("music/" + name); }

  TTempFolder folder;
  TCrawlTasks crawlTasks;
  TCurlHttpClient http{runtime};
  TPlaylistFile playlistFile{playlist, http, runtime, crawlTasks, folder / "data"};
};

TEST_F(PlaylistFileTest, EveryKindOfPlaylistGivesItsExistingEntries) {
  const std::string two = folder.Write("elsewhere/two.mp3", "2");
  struct Case {
    const char* Name;
    std::string Text;
    std::vector<std::string> Expected;
  };
  const Case cases[] = {
      {"list.m3u",
       "#EXTM3U\r\n#EXTINF:123,Artist - One\r\none.mp3\r\n" + two +
           "\r\nmissing.mp3\r\nsub\\three.mp3\r\nsub\\three.mp3\r\none.mp3\r\nhttp://radio.example/live\r\n",
       {Music("one.mp3"), two, Music("sub/three.mp3"), Music("one.mp3"), "http://radio.example/live"}},
      {"list.pls",
       "[playlist]\nNumberOfEntries=3\nFile1=one.mp3\nTitle1=One\nLength1=123\nFile2=file://" +
           folder.Path() + "/music/with%20space.mp3\nFile3=gone.mp3\nVersion=2\n",
       {Music("one.mp3"), Music("with space.mp3")}},
      {"list.asx",
       "<asx version=\"3.0\">\n<entry><title>One</title><ref href=\"one.mp3\"/></entry>\n"
       "<entry><ref href=\"sub\\three.mp3\" /><ref href=\"sub\\three.mp3\" /></entry>\n</asx>\n",
       {Music("one.mp3"), Music("sub/three.mp3")}},
      {"list.wvx",
       "<ASX VERSION=\"3.0\"><ENTRY><REF HREF=\"" + two +
           "\"/></ENTRY><ENTRY><REF HREF=\"nothere.wma\"/></ENTRY></ASX>",
       {two}},
      {"list.wpl",
       "<?wpl version=\"1.0\"?>\n<smil><body><seq>\n<media src=\"..\\other\\four.mp3\" tid=\"{A1}\"/>\n"
       "<media src=\"C:\\Music\\gone.mp3\"/>\n</seq></body></smil>\n",
       {Music("../other/four.mp3")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Add({"/old/entry.mp3"});
    const std::string path = folder.Write(std::string("music/") + c.Name, c.Text);
    EXPECT_TRUE(playlistFile.OpenPlaylistFile(path));
    EXPECT_EQ(Files(), c.Expected);
  }
  EXPECT_TRUE(playlist.Row(0).Data->InfoRead);
  EXPECT_EQ(playlist.Row(0).Caption, "Four");
  EXPECT_FALSE(playlist.IsBusy());
}

TEST_F(PlaylistFileTest, OnlyRegularFilesUpToTheCapAreRead) {
  std::filesystem::create_symlink(folder.Write("music/list.m3u", "one.mp3\n"), folder / "music/link.m3u");
  std::filesystem::create_symlink("/dev/zero", folder / "music/zero.m3u");
  ASSERT_EQ(mkfifo((folder / "music/fifo.m3u").c_str(), 0600), 0);
  std::filesystem::resize_file(folder.Write("music/full.m3u"), TPlaylistFile::MaxPlaylistBytes);
  std::filesystem::resize_file(folder.Write("music/over.m3u"), TPlaylistFile::MaxPlaylistBytes + 1);
  const std::vector<std::string> old = {"/old/entry.mp3"};
  Add({"/old/entry.mp3"});  // kept by the unreadable ones, which come first
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"none.m3u", old}, {"", old},         {"fifo.m3u", old},
      {"zero.m3u", old}, {"over.m3u", old}, {"link.m3u", {Music("one.mp3")}},
      {"full.m3u", {}}};
  for (const auto& [name, expected] : cases) {
    SCOPED_TRACE(name);
    if (expected == old)
      EXPECT_THROW(playlistFile.OpenPlaylistFile(Music(name)), EPlaylistFileError);
    else
      EXPECT_NO_THROW(playlistFile.OpenPlaylistFile(Music(name)));
    EXPECT_EQ(Files(), expected);
  }
}

TEST_F(PlaylistFileTest, RemotePlaylistIsDownloadedAndAnErrorPageIgnored) {
  TLocalHttpServer server;
  server.Serve("/list.m3u", 200, Music("one.mp3") + "\r\nhttp://radio.example/live\r\nrelative.mp3\r\n");
  Add({"/old/entry.mp3"});

  EXPECT_FALSE(playlistFile.OpenPlaylistFile(server.Url("/gone.m3u")));
  EXPECT_THAT(Files(), ElementsAre("/old/entry.mp3"));
  EXPECT_FALSE(std::filesystem::exists(folder / "data/Download/Playlist.tmp"));

  EXPECT_TRUE(playlistFile.OpenPlaylistFile(server.Url("/list.m3u")));
  EXPECT_THAT(Files(), ElementsAre(Music("one.mp3"), "http://radio.example/live"));
  EXPECT_EQ(test::ReadBytes(folder / "data/Download/Playlist.tmp"),
            Music("one.mp3") + "\r\nhttp://radio.example/live\r\nrelative.mp3\r\n");

  server.ServeCutShort("/cut.m3u", Music("sub/three.mp3") + "\n" + Music("one.mp3") + "\n");
  EXPECT_FALSE(playlistFile.OpenPlaylistFile(server.Url("/cut.m3u")));
  EXPECT_THAT(Files(), ElementsAre(Music("one.mp3"), "http://radio.example/live"));
  EXPECT_EQ(server.Requests(), 3);
}

TEST_F(PlaylistFileTest, CancelEndsADownloadThatNeverEndsAndKeepsTheRows) {
  TLocalHttpServer server;
  server.ServeTrickle("/endless.m3u", 50);
  playlistFile.DownloadLimits.TimeLimitMs = 3600000;  // only the cancel can end it
  Add({"/old/entry.mp3"});
  runtime.OnProcessPendingMessages = [&] {
    if (server.Requests() == 1) playlist.CancelPlaylistActionActionExecute();
  };
  EXPECT_FALSE(playlistFile.OpenPlaylistFile(server.Url("/endless.m3u")));
  EXPECT_THAT(Files(), ElementsAre("/old/entry.mp3"));
  EXPECT_THAT(listener.BusyEvents, ElementsAre("+Opening playlist...", "-Opening playlist..."));
  for (int i = 0; i < 6000 && server.Finished() == 0; ++i) runtime.WaitForMessages();
  EXPECT_EQ(server.Finished(), 1);
}

TEST_F(PlaylistFileTest, SavedPlaylistReopensWithItsEntriesAndQueuesACrawl) {
  playlist.AddPlaylistEntry(Music("one.mp3") + "*Custom caption");
  playlist.AddPlaylistEntry("http://radio.example/live");
  playlist.AddPlaylistEntry(Music("sub/three.mp3"));
  const std::string path = folder / "music/saved.m3u";
  playlistFile.WritePlaylistFile(path);

  EXPECT_EQ(test::ReadBytes(path),
            Music("one.mp3") + "\r\nhttp://radio.example/live\r\n" + Music("sub/three.mp3") + "\r\n");
  ASSERT_EQ(crawlTasks.Count(), 1);
  EXPECT_EQ(crawlTasks.Task(0).Path, folder / "music");
  EXPECT_FALSE(crawlTasks.Task(0).Recursive);
  EXPECT_TRUE(crawlTasks.Task(0).ForceReread);

  playlistFile.OpenPlaylistFile(path);
  EXPECT_THAT(Files(), ElementsAre(Music("one.mp3"), "http://radio.example/live", Music("sub/three.mp3")));
  EXPECT_EQ(playlist.Row(0).Caption, "One");

  EXPECT_THROW(playlistFile.WritePlaylistFile(folder / "no/such/folder/x.m3u"), EPlaylistFileError);
}

TEST_F(PlaylistFileTest, LibraryPlaylistPlaysItsFirstEntryAndDeletingQueuesACheck) {
  const std::string path = folder.Write("music/mix.m3u", "sub/three.mp3\none.mp3\n");
  playlistFile.PlayLibraryPlaylist(path);
  EXPECT_THAT(playback.Opened, ElementsAre(Music("sub/three.mp3")));
  EXPECT_EQ(playlist.PlayingIndex(), 0);

  std::string error;
  EXPECT_TRUE(playlistFile.DeletePlaylistFile(path, error));
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_EQ(crawlTasks.Count(), 1);
  EXPECT_EQ(crawlTasks.Task(0).Path, folder / "music");
  EXPECT_FALSE(crawlTasks.Task(0).SearchNew || crawlTasks.Task(0).ForceReread ||
               crawlTasks.Task(0).Recursive);
}

TEST_F(PlaylistFileTest, SavedXspfReopensWithTheSameEntries) {
  const std::vector<std::string> files = {folder.Write("a & b #1 100%.mp3", "1"),
                                          folder.Write("\xC3\x9C <x>.ogg", "2"),
                                          "http://r.example/live?a=1&b=2"};
  for (const std::string& file : files) playlist.AddPlaylistEntry(file);
  playlist.SetCaption(0, "Rock & <Roll>");
  const std::string path = folder / "saved.xspf";
  playlistFile.WritePlaylistFile(path);

  const std::string text = ReadBytes(path);
  for (const std::string part :
       {"/a%20%26%20b%20%231%20100%25.mp3</location>", "/%C3%9C%20%3Cx%3E.ogg</location>",
        "<location>http://r.example/live?a=1&amp;b=2</location>", "<title>Rock &amp; &lt;Roll&gt;</title>",
        "<location>file:///"})
    EXPECT_NE(text.find(part), std::string::npos) << part << " in " << text;

  playlist.DeleteAllRows();
  playlistFile.OpenPlaylistFile(path);
  EXPECT_EQ(Files(), files);
}

}  // namespace
}  // namespace tunevale::test
