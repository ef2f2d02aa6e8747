#include "library/library_database.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "library/library_loader.h"
#include "library/library_test_support.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"
#include "util/runtime.h"
#include "util/text.h"

namespace tunevale {
namespace {

using test::AddTestTrack;
using test::Tags;
using test::TTempFolder;

std::string Be16(size_t n) { return {static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)}; }
std::string Field(std::string_view tag, std::string_view value) {
  return std::string(tag) + Be16(value.size()) + std::string(value);
}
std::string Record(std::string_view type, const std::string& body) {
  return std::string(type) + Be16(body.size()) + body;
}
std::string File(const std::string& records) { return std::string(kLibraryDbHeader) + records; }

class LibraryDatabaseTest : public ::testing::Test {
 protected:
  LibraryDatabaseTest() {
    Settings.LibraryFolders = {Temp / "music"};
    Settings.LibraryDbPath = Temp / "data/Library.db";
  }
  std::unique_ptr<TLibrary> NewLibrary(const std::string& programFolder = "/opt/tunevale") {
    return std::make_unique<TLibrary>(Settings, programFolder);
  }
  std::unique_ptr<TLibrary> Load(std::string_view bytes) {
    auto library = NewLibrary();
    const std::string path = Temp.Write("in.db", bytes);
    LoadLibrary(*library, path);
    return library;
  }
  std::string Music(std::string_view name) const { return Temp / "music/" + std::string(name); }
  std::string Saved() const { return test::ReadBytes(Settings.LibraryDbPath); }

  TTempFolder Temp;
  TLibrarySettings Settings;
};

TEST_F(LibraryDatabaseTest, WritesRecordsByteForByteInLibraryOrder) {
  auto library = NewLibrary();
  TMetaData meta = Tags("Title", "Band", "LP", "Singer");
  meta.Track = 3;
  meta.FileDate = 1234;
  meta.Length = 2000;
  AddTestTrack(*library, "/m/a.mp3", meta, "", 0);
  library->Playlists.Add("/m/p.m3u", "P", true);
  library->Videos.Add("/m/v.avi", "V", false);
  library->CrawlTasks.QueueRecheck();

  const std::string expected =
      File(Record("SET", Field("LIB", "Incomplete")) +
           Record("MUS", Field("PTH", "/m/a.mp3") + Field("FMD", "1234") + Field("NAM", "Title") +
                             Field("RES", "0") + Field("TIT", "Title") + Field("AR1", "Singer") +
                             Field("AR2", "Band") + Field("ALB", "LP") + Field("TRK", "3") +
                             Field("YER", "-1") + Field("LEN", "2000")) +
           Record("PLS", Field("PTH", "/m/p.m3u") + Field("NAM", "P") + Field("REL", " ")) +
           Record("VID", Field("PTH", "/m/v.avi") + Field("NAM", "V")));
  EXPECT_EQ(EncodeLibrary(*library), expected);
}

TEST_F(LibraryDatabaseTest, RoundTripKeepsEveryFieldIncludingAwkwardValues) {
  auto library = NewLibrary();
  TMetaData meta;
  meta.Title = "PTH ALB NAM\x00 inside";  // tag letters inside a value
  meta.Title.push_back('\x05');
  meta.Artist = "Björk";
  meta.AlbumArtist = "Björk";
  meta.Album = "Début";
  meta.Genre = "Pop";
  meta.Publisher = "One Little";
  meta.Composer = "B";
  meta.Copyright = "(c) 1993";
  meta.Comment = std::string(3000, 'x');  // a record longer than one 2048-byte block
  meta.URL = "http://example.org/";
  meta.Track = 12;
  meta.Year = -1;
  meta.Length = 123456;
  meta.FileDate = -5;
  AddTestTrack(*library, Music("b/1.mp3"), meta, "", 1);
  AddTestTrack(*library, Music("b/2.mp3"), Tags("Second", "Björk", "Post"), "", 0);
  library->Videos.Add(Music("v.avi"), "", false);
  library->Playlists.Add(Music("p.m3u"), "List", false);
  ASSERT_TRUE(SaveLibrary(*library));

  auto loaded = NewLibrary();
  LoadLibrary(*loaded, Settings.LibraryDbPath);
  EXPECT_TRUE(loaded->Loaded);
  EXPECT_EQ(loaded->CrawlTasks.Count(), 0);
  ASSERT_EQ(loaded->TrackCount(), 2u);
  const TTrack* track = loaded->FindTrackByPath(Music("b/1.mp3"));
  ASSERT_NE(track, nullptr);
  EXPECT_TRUE(MetaDataEquals(track->Meta(), meta));
  EXPECT_EQ(track->FileDate(), -5);
  EXPECT_EQ(track->ReadResult(), 1);
  EXPECT_EQ(loaded->Artist(0)->Album(1)->Name(), "Post");
  EXPECT_EQ(loaded->Videos.Item(0)->Name(), "V");
  EXPECT_EQ(loaded->Playlists.Item(0)->Name(), "List");
  // Saving what was loaded gives the same bytes.
  EXPECT_EQ(EncodeLibrary(*loaded), EncodeLibrary(*library));
}

TEST_F(LibraryDatabaseTest, RelativeTracksFollowTheProgramFolderToANewPlace) {
  const std::string oldProgram = Temp.MakeFolder("old/prog");
  Settings.LibraryFolders = {"../music"};
  auto library = NewLibrary(oldProgram);
  AddTestTrack(*library, Temp / "old/music/x.mp3", Tags("X", "A", "B"), "", 0, true);
  const std::string bytes = EncodeLibrary(*library);
  EXPECT_NE(bytes.find(Field("PTH", "../music/x.mp3") + Field("REL", " ")), std::string::npos);

  // A program folder right below the root.
  auto top = NewLibrary("/prog");
  AddTestTrack(*top, "/music/x.mp3", Tags("X", "A", "B"), "", 0, true);
  EXPECT_NE(EncodeLibrary(*top).find(Field("PTH", "../music/x.mp3")), std::string::npos);

  auto moved = NewLibrary(Temp / "new/prog");
  LoadLibraryFromBytes(*moved, bytes);
  const TTrack* track = moved->FindTrackByPath(Temp / "new/music/x.mp3");
  ASSERT_NE(track, nullptr);
  EXPECT_TRUE(track->Relative());
  EXPECT_EQ(moved->CrawlTasks.Count(), 0);
}

TEST_F(LibraryDatabaseTest, LoadSkipsUnknownRecordsAndDropsWhatItCannotUse) {
  const std::string mus1 =
      Record("MUS", Field("PTH", Music("1.mp3")) + Field("RES", "0") + Field("AR2", "A"));
  const std::string mus2 =
      Record("MUS", Field("PTH", Music("2.mp3")) + Field("RES", "0") + Field("AR2", "A") +
                        Field("XYZ", "unknown tag") + Field("AR2", "second AR2 ignored"));
  struct Case {
    const char* What;
    std::string Middle;
    size_t Tracks;
    bool FullCrawl;
  } cases[] = {
      {"unknown record type", Record("ZZZ", "whatever"), 2, false},
      {"bad number", Record("MUS", Field("PTH", Music("3.mp3")) + Field("TRK", "7x")), 2, true},
      {"read result out of range", Record("MUS", Field("PTH", Music("3.mp3")) + Field("RES", "256")), 2,
       true},
      {"read result not a number", Record("MUS", Field("PTH", Music("3.mp3")) + Field("RES", "x")), 2, true},
      {"highest read result",
       Record("MUS", Field("PTH", Music("3.mp3")) + Field("RES", "255") + Field("AR2", "A")), 3, false},
      {"outside the folders", Record("MUS", Field("PTH", "/elsewhere/3.mp3") + Field("RES", "0")), 2, true},
      {"no path", Record("MUS", Field("RES", "0")), 2, true},
      {"field overruns its record", Record("MUS", Field("PTH", Music("3.mp3")) + "TIT" + Be16(50) + "x"), 2,
       true},
      {"video outside the folders", Record("VID", Field("PTH", "/elsewhere/v.avi")), 2, true},
      {"incomplete marker", Record("SET", Field("LIB", "Incomplete")), 2, true},
      {"other marker", Record("SET", Field("LIB", "Complete")), 2, false},
  };
  for (const Case& c : cases) {
    auto library = Load(File(mus1 + c.Middle + mus2));
    EXPECT_EQ(library->TrackCount(), c.Tracks) << c.What;
    const bool fullCrawl = library->CrawlTasks.Count() == 1 && library->CrawlTasks.Task(0).SearchNew;
    EXPECT_EQ(fullCrawl, c.FullCrawl) << c.What;
    // Only a load that dropped something asks for a save.
    EXPECT_EQ(library->Flags.LibraryDirty, c.FullCrawl) << c.What;
    ASSERT_EQ(library->ArtistCount(), 1) << c.What;  // the first AR2 of a record counts
    EXPECT_EQ(library->Artist(0)->Name(), "A") << c.What;
    EXPECT_TRUE(library->Loaded);
  }
}

TEST_F(LibraryDatabaseTest, MissingFieldsGetTheirLoadDefaults) {
  auto library = Load(File(Record("MUS", Field("PTH", Music("n.mp3")) + Field("AR1", "Solo"))));
  const TTrack* track = library->FindTrackByPath(Music("n.mp3"));
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->ReadResult(), 2);  // no "RES": read again
  ASSERT_EQ(library->CrawlTasks.Count(), 1);
  EXPECT_FALSE(library->CrawlTasks.Task(0).SearchNew);  // a re-check only
  EXPECT_EQ(track->Year(), 0);                          // absent numbers stay 0
  EXPECT_EQ(library->Artist(0)->Name(), "");            // no "AR2": the artist with the empty name
  EXPECT_EQ(track->Name(), "N");                        // no name, no title: the file's display name
}

TEST_F(LibraryDatabaseTest, TruncatedLastRecordIsDroppedAndEndsTheLoad) {
  const std::string good = Record("MUS", Field("PTH", Music("1.mp3")) + Field("RES", "0"));
  const std::string cut = Record("MUS", Field("PTH", Music("2.mp3")) + Field("RES", "0"));
  for (size_t keep : {size_t(1), size_t(4), size_t(5), cut.size() - 1}) {
    auto library = Load(File(good + cut.substr(0, keep)));
    EXPECT_EQ(library->TrackCount(), 1u) << keep;
    ASSERT_EQ(library->CrawlTasks.Count(), 1) << keep;
    EXPECT_TRUE(library->CrawlTasks.Task(0).SearchNew);
  }
}

TEST_F(LibraryDatabaseTest, NoUsableFileQueuesAFullCrawlAndStillFinishesTheLoad) {
  auto missing = NewLibrary();
  LoadLibrary(*missing, Temp / "none.db");
  EXPECT_TRUE(missing->Loaded);
  EXPECT_EQ(missing->CrawlTasks.Count(), 1);

  auto shortFile = Load("Tunevale");
  EXPECT_EQ(shortFile->CrawlTasks.Count(), 1);

  const std::string path = Temp.Write("old.db", File(Record("MUS", Field("PTH", Music("1.mp3")))));
  auto old = NewLibrary();
  TLoadOptions options;
  options.SettingsBuild = 16;
  LoadLibrary(*old, path, options);
  EXPECT_EQ(old->TrackCount(), 0u);
  EXPECT_EQ(old->CrawlTasks.Count(), 1);
  EXPECT_TRUE(old->Loaded);
}

// The save timer can fire inside the load's message processing.
TEST_F(LibraryDatabaseTest, SaveDuringTheLoadLeavesTheFileAlone) {
  std::string records;
  for (int i = 0; i < 3; ++i)
    records += Record("MUS", Field("PTH", Music(std::to_string(i))) + Field("RES", "0"));
  const std::string bytes = File(records);
  const std::string path = Temp.Write("data/Library.db", bytes);
  // A clock that moves 100 ms each time it is read, so every record pumps.
  struct TTickingRuntime : test::TFakeRuntime {
    int64_t MonotonicMs() const override { return 100 * ++Reads; }
    mutable int64_t Reads = 0;
  } runtime;
  TMessagePump pump(runtime);
  auto library = NewLibrary();
  int saves = 0;
  std::vector<bool> loadedSeen;
  runtime.OnProcessPendingMessages = [&] {
    loadedSeen.push_back(library->Loaded);
    library->Flags.LibraryDirty = true;
    EXPECT_TRUE(SaveLibrary(*library));
    if (!library->Loaded) {
      EXPECT_EQ(Saved(), bytes);  // not replaced by the part read so far
    }
    ++saves;
  };
  TLoadOptions options;
  options.Pump = &pump;
  LoadLibrary(*library, path, options);
  EXPECT_EQ(saves, 4);  // after each record, and once loaded
  EXPECT_EQ(loadedSeen, (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(library->TrackCount(), 3u);
  auto again = NewLibrary();
  LoadLibrary(*again, path);
  EXPECT_EQ(again->TrackCount(), 3u);
}

TEST_F(LibraryDatabaseTest, SaveDeletesTheFileWhenTheLibraryIsEmptyOrOff) {
  auto library = NewLibrary();
  AddTestTrack(*library, Music("1.mp3"), Tags("T", "A", "B"));
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_TRUE(std::filesystem::exists(Settings.LibraryDbPath));
  EXPECT_FALSE(library->Flags.LibraryDirty);

  library->Clear();
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_FALSE(std::filesystem::exists(Settings.LibraryDbPath));

  AddTestTrack(*library, Music("1.mp3"), Tags("T", "A", "B"));
  ASSERT_TRUE(SaveLibrary(*library));
  Settings.UseLibrary = false;
  library->Flags.LibraryDirty = true;
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_FALSE(std::filesystem::exists(Settings.LibraryDbPath));
  EXPECT_TRUE(library->Flags.LibraryDirty);
}

TEST_F(LibraryDatabaseTest, SaveWithQueuedTasksMarksTheLibraryIncompleteAndKeepsTheQueue) {
  auto library = NewLibrary();
  AddTestTrack(*library, Music("1.mp3"), Tags("T", "A", "B"));
  ASSERT_TRUE(SaveLibrary(*library));
  const std::string clean = Saved();
  EXPECT_EQ(clean.compare(26, 3, "MUS"), 0);

  // Not changed and nothing queued: the file is left alone.
  std::filesystem::remove(Settings.LibraryDbPath);
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_FALSE(std::filesystem::exists(Settings.LibraryDbPath));

  library->CrawlTasks.AddTask(Music(""), false, true, false);
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_EQ(library->CrawlTasks.Count(), 1);
  EXPECT_EQ(Saved(),
            std::string(kLibraryDbHeader) + Record("SET", Field("LIB", "Incomplete")) + clean.substr(26));
  library->CrawlTasks.PopFirst();  // the work is done: the mark goes, though nothing else changed
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_EQ(Saved(), clean);

  library->Flags.CancelCrawl = true;
  library->Flags.LibraryDirty = true;
  ASSERT_TRUE(SaveLibrary(*library));
  EXPECT_EQ(Saved().compare(26, 3, "SET"), 0);
}

// A full disk, simulated with a file size limit (which binds root as well).
TEST_F(LibraryDatabaseTest, FailedSaveKeepsTheOldFileTheFlagAndTheQueue) {
  auto library = NewLibrary();
  AddTestTrack(*library, Music("1.mp3"), Tags("T", "A", "B"));
  ASSERT_TRUE(SaveLibrary(*library));
  const std::string before = Saved();
  for (int i = 0; i < 50; ++i) AddTestTrack(*library, Music(std::to_string(i) + ".mp3"), Tags("U", "A", "B"));
  library->CrawlTasks.QueueFullCrawl();

  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = before.size() + 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool saved = SaveLibrary(*library, &error);
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(saved);
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(library->Flags.LibraryDirty);
  EXPECT_EQ(library->CrawlTasks.Count(), 1);
  EXPECT_EQ(Saved(), before);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Temp / "data"), {}), 1);  // no temporary left

  // The folder is a file: nothing can be written at all.
  Settings.LibraryDbPath = Temp.Write("plain") + "/Library.db";
  EXPECT_FALSE(SaveLibrary(*library));
  EXPECT_TRUE(library->Flags.LibraryDirty);
}

TEST_F(LibraryDatabaseTest, OverlongValuesAreCutAtACharacterBoundary) {
  auto library = NewLibrary();
  TMetaData meta = Tags("T", "A", "B");
  std::string comment;
  while (comment.size() < 70000) comment += "é€";  // 2- and 3-byte characters
  meta.Comment = comment;
  meta.URL = std::string(65535, 'u');  // no room left in the record: cut as well
  AddTestTrack(*library, Music("1.mp3"), meta);
  AddTestTrack(*library, Music("2.mp3"), Tags("After", "A", "B"));
  ASSERT_TRUE(SaveLibrary(*library));

  std::vector<TDbRecord> records;
  ASSERT_TRUE(ReadDbRecords(Saved(), records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_FALSE(records[0].Damaged);
  auto loaded = NewLibrary();
  LoadLibrary(*loaded, Settings.LibraryDbPath);
  EXPECT_EQ(loaded->TrackCount(), 2u);
  EXPECT_EQ(loaded->CrawlTasks.Count(), 0);
  const TTrack* track = loaded->FindTrackByPath(Music("1.mp3"));
  ASSERT_NE(track, nullptr);
  EXPECT_TRUE(IsValidUtf8(track->Comment()));
  EXPECT_GT(track->Comment().size(), 60000u);
  EXPECT_TRUE(StartsWith(comment, track->Comment()));
  EXPECT_EQ(track->Title(), "T");
}

TEST_F(LibraryDatabaseTest, RecordReaderReportsDamage) {
  std::vector<TDbRecord> records;
  EXPECT_FALSE(ReadDbRecords("short", records));
  EXPECT_TRUE(ReadDbRecords(File(""), records) && records.empty());  // the header alone: no records
  // The records view into the bytes, so they must outlive them.
  const std::string bytes = File(Record("MUS", Field("PTH", "/a") + "TI")) + "VI";
  ASSERT_TRUE(ReadDbRecords(bytes, records));
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].Damaged);
  ASSERT_EQ(records[0].Fields.size(), 1u);
  EXPECT_EQ(records[0].Fields[0].Value, "/a");
  EXPECT_TRUE(records[1].Damaged);
}

// A file read in blocks gives what the same bytes in memory give, records
// cut by a block's end included, and a last record cut short still counts as damage;
// one saved in blocks holds what the whole encoding holds.
// A file load reads on one thread and files on another; it must build what
// the one-thread load from memory builds, damage and crawl requests included.
TEST_F(LibraryDatabaseTest, AFileOfManyBlocksLoadsAndSavesAsItsBytesInMemory) {
  std::string records;
  for (int i = 0; i < 6000; ++i) {
    records += Record("MUS", Field("PTH", Music(std::to_string(i))) + Field("RES", i == 4200 ? "" : "0") +
                                 Field("AR2", std::to_string(i % 7)) +
                                 Field("CMT", std::string(static_cast<size_t>(i % 700), 'c')));
    if (i % 1500 == 1) records += Record("PLS", Field("PTH", Music(std::to_string(i) + ".m3u")));
    if (i == 2500) records += Record("VID", Field("PTH", "/elsewhere/v.avi"));
    if (i == 3100) records += Record("MUS", Field("PTH", Music("bad")) + Field("TRK", "x"));
  }
  for (const size_t cut : {size_t(0), size_t(7)}) {
    const std::string bytes = File(records).substr(0, File(records).size() - cut);
    auto inMemory = NewLibrary();
    EXPECT_FALSE(LoadLibraryFromBytes(*inMemory, bytes));
    auto fromFile = Load(bytes);
    EXPECT_EQ(fromFile->TrackCount(), inMemory->TrackCount()) << cut;
    EXPECT_EQ(EncodeLibrary(*fromFile), EncodeLibrary(*inMemory)) << cut;
    ASSERT_EQ(fromFile->CrawlTasks.Count(), inMemory->CrawlTasks.Count()) << cut;
    for (int t = 0; t < fromFile->CrawlTasks.Count(); ++t)
      EXPECT_EQ(fromFile->CrawlTasks.Task(t).SearchNew, inMemory->CrawlTasks.Task(t).SearchNew) << cut;
    EXPECT_FALSE(fromFile->DamagedDbPath.empty()) << cut;
    ASSERT_TRUE(SaveLibrary(*fromFile));
    EXPECT_TRUE(Saved() == EncodeLibrary(*fromFile)) << cut;
  }
  // A load given up before it starts leaves the library empty (and returns).
  const std::atomic<bool> cancel{true};
  auto cancelled = NewLibrary();
  LoadLibrary(*cancelled, Temp.Write("in.db", File(records)), {.Cancel = &cancel});
  EXPECT_EQ(cancelled->TrackCount(), 0u);
}

// The load on a worker: the library it hands over is the one a direct load
// builds, what was filed meanwhile stays on top, and the queued crawl comes along.
TEST_F(LibraryDatabaseTest, AWorkerLoadHandsOverWhatADirectLoadBuilds) {
  std::string records = Record("PLS", Field("PTH", Music("p.m3u")));
  for (const char* name : {"a", "b", "c"})
    records += Record("MUS", Field("PTH", Music(name)) + Field("AR2", "Band") + Field("ALB", name));
  const std::string path = Temp.Write("in.db", File(records));
  auto direct = NewLibrary();
  LoadLibrary(*direct, path);
  AddTestTrack(*direct, Music("b"), Tags("Late", "Other", "LP"), "", 0);

  test::TFakeRuntime runtime;
  auto library = NewLibrary();
  int handedOver = 0;
  {
    TLibraryLoader loader(runtime, *library);
    loader.Start(path, 18, [&] { ++handedOver; });
    EXPECT_TRUE(library->Contains("/elsewhere", true));  // nothing is queued for it yet
    AddTestTrack(*library, Music("b"), Tags("Late", "Other", "LP"), "", 0);
    EXPECT_TRUE(SaveLibrary(*library));  // waits for the load
    EXPECT_FALSE(std::filesystem::exists(Settings.LibraryDbPath));
    loader.Wait();
  }
  EXPECT_EQ(handedOver, 1);
  EXPECT_TRUE(library->Loaded && !library->Loading);
  EXPECT_FALSE(library->Contains("/elsewhere", true));
  EXPECT_EQ(EncodeLibrary(*library), EncodeLibrary(*direct));
  EXPECT_EQ(library->CrawlTasks.Count(), 1);  // a re-check: no read results stored

  // A loader that goes first hands nothing over.
  auto abandoned = NewLibrary();
  {
    TLibraryLoader loader(runtime, *abandoned);
    loader.Start(path, 18, [&] { ++handedOver; });
  }
  runtime.WaitForMessages();
  EXPECT_EQ(handedOver, 1);
  EXPECT_FALSE(abandoned->Loaded);
}

}  // namespace
}  // namespace tunevale
