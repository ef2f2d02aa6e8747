#include "app/settings.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "app/fake_settings_window.h"
#include "app/ini_file.h"
#include "app/key_store.h"
#include "app/settings_locations.h"
#include "app/settings_values.h"
#include "library/crawl_tasks.h"
#include "media/media_kind.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using test::TFakeSettingsWindow;
using test::TTempFolder;

const double Now = *DateTimeFromText("2026-12-06 20:00:00");

// One player's worth of settings on one store: the record, its window and
// the file, with a fixed clock.
struct TSetup {
  explicit TSetup(bool installed, std::string_view fileContent = {}, bool withWindow = true) {
    Path = Folder / (installed ? "Tunevale.conf" : "Tunevale.ini");
    if (!fileContent.empty()) Folder.Write(installed ? "Tunevale.conf" : "Tunevale.ini", fileContent);
    if (installed)
      Store = std::make_unique<TKeyStore>(Path);
    else
      Store = std::make_unique<TIniFile>(Path);
    Settings.IsInstalled = installed;
    Settings.MyMusicFolder = "/home/u/Music";
    Settings.MyVideoFolder = "/home/u/Videos";
    Window = std::make_unique<TFakeSettingsWindow>(Settings);
    Context = std::make_unique<TSettingsContext>(TSettingsContext{
        Settings, *Store, withWindow ? Window.get() : nullptr, &Extensions, [] { return Now; }, &CrawlTasks});
  }
  void Load(bool playlistOnly = false) { LoadSettings(*Context, playlistOnly); }
  void Save(TSaveSettingsFlags flags = {}) { ASSERT_TRUE(SaveSettings(*Context, flags)); }
  std::string File() const { return test::ReadBytes(Path); }

  TTempFolder Folder;
  std::string Path;
  TSettings Settings;
  std::unique_ptr<TSettingsStore> Store;
  std::unique_ptr<TFakeSettingsWindow> Window;
  TFileExtensions Extensions;
  std::unique_ptr<TSettingsContext> Context;
  TCrawlTasks CrawlTasks;
};

// Short column layouts keep the expected files readable.
void UseShortLayouts(TSettings& s) {
  for (TListLayout& layout : s.ListLayouts) layout.Columns = {{100, 0}};
  s.ListLayouts[llTracks - 1].Tag = -2;
}

void FillForSave(TSetup& setup) {
  TSettings& s = setup.Settings;
  UseShortLayouts(s);
  s.LibraryFolders = {"/music", "/videos"};
  s.LastUpdateCheck = *DateTimeFromText("2026-12-01 10:00:00");
  s.CustomMusicExtensions = "xm,it";
  setup.Window->Rows = {{"a", "A"}, {"b", "B"}, {"c", "C"}};
  setup.Window->Playing = 1;
}

constexpr const char* ExpectedMainKeys =
    "AppVersion=2.0.0.18\nPreferOverlay=0\nHZoom=0\nVZoom=0\nResumePlaybackAfterClose=0\n"
    "EnableGlobalHotkeys=0\nCheckForUpdates=1\nLastUpdateCheck=2026-12-01 10:00:00\nShowArtistInPlaylist=0\n"
    "DontSwitchToPlaylist=0\nOpenBehavior=0\nLibraryViewMode=0\nHideIncompleteAlbums=0\nVolume=10000\n"
    "VolumeMuted=0\nPlayMode=2\nPictureDuration=7\nArtistDoubleclickTab=0\nAlwaysShowAlbumArtist=0\n";

TEST(SettingsTest, IniLayoutByteForByte) {
  TSetup setup(false);
  FillForSave(setup);
  setup.Save();
  EXPECT_EQ(setup.File(),
            std::string("[Tunevale]\n"
                        "WindowLeft=0\nWindowTop=0\nWindowWidth=270\nWindowHeight=320\nMaximized=0\n"
                        "NowPlaying=1\nNowPlayingPosition=0\n"
                        "PlaylistCount=3\nPlaylistItem0=a*A\nPlaylistItem1=b*B\nPlaylistItem2=c*C\n"
                        "List1S=0\nList1C0W=100\nList1C0I=0\nList2S=0\nList2C0W=100\nList2C0I=0\n"
                        "List3S=-2\nList3C0W=100\nList3C0I=0\n"
                        "List3C0V=0\nList3C1V=1\nList3C2V=2\nList3C3V=3\nList3C4V=4\nList3C5V=5\n"
                        "List4S=0\nList4C0W=100\nList4C0I=0\nList5S=0\nList5C0W=100\nList5C0I=0\n") +
                ExpectedMainKeys +
                "CustomMusicExtensions=xm,it\nCustomVideoExtensions=\nCustomPlaylistExtensions=\nFirstRun=0\n"
                "LibraryFolderCount=2\nLibraryFolder0=/music\nLibraryFolder1=/videos\n"
                "UseLibrary=1\nHidePanels=0\nHideSidePanels=0\nMiniMode=0\nMicroMode=0\nSmallTopPanel=0\n");
}

TEST(SettingsTest, KeyStoreLayoutByteForByte) {
  TSetup setup(true);
  FillForSave(setup);
  setup.Save();
  EXPECT_EQ(
      setup.File(),
      std::string("WindowLeft=0\nWindowTop=0\nWindowWidth=270\nWindowHeight=320\nMaximized=0\n"
                  "NowPlaying=1\nNowPlayingPosition=0\n"
                  "CurrentPlaylist=\"a*A|b*B|c*C\"\n"
                  "List1S=0\nList1C0W=100\nList1C0I=0\nList2S=0\nList2C0W=100\nList2C0I=0\n"
                  "List3S=-2\nList3C0W=100\nList3C0I=0\n"
                  "List3C0V=0\nList3C1V=1\nList3C2V=2\nList3C3V=3\nList3C4V=4\nList3C5V=5\n"
                  "List4S=0\nList4C0W=100\nList4C0I=0\nList5S=0\nList5C0W=100\nList5C0I=0\n"
                  "AppVersion=\"2.0.0.18\"\nPreferOverlay=0\nHZoom=0\nVZoom=0\nResumePlaybackAfterClose=0\n"
                  "EnableGlobalHotkeys=0\nCheckForUpdates=1\nLastUpdateCheck=\"2026-12-01 10:00:00\"\n"
                  "ShowArtistInPlaylist=0\nDontSwitchToPlaylist=0\nOpenBehavior=0\nLibraryViewMode=0\n"
                  "HideIncompleteAlbums=0\nVolume=10000\nVolumeMuted=0\nPlayMode=2\nPictureDuration=7\n"
                  "ArtistDoubleclickTab=0\nAlwaysShowAlbumArtist=0\n") +
          "CustomMusicExtensions=\"xm,it\"\nCustomVideoExtensions=\"\"\nCustomPlaylistExtensions=\"\"\n"
          "FirstRun=0\nLibraryFolders=\"/music|/videos\"\n"
          "UseLibrary=1\nHidePanels=0\nHideSidePanels=0\nMiniMode=0\nMicroMode=0\nSmallTopPanel=0\n");
}

TEST(SettingsTest, StarsInPathsAndBarsInCaptionsComeBackInBothLayouts) {
  for (const bool installed : {false, true}) {
    TSetup setup(installed);
    const std::vector<TSavedPlaylistRow> rows = {{setup.Folder.Write("m/a*b.mp3", "x"), "x | y"},
                                                 {"/m/c.mp3", "C*D"}};
    setup.Window->Rows = rows;
    setup.Save();
    setup.Window->Rows.clear();
    setup.Load(true);
    EXPECT_EQ(setup.Window->Rows, rows) << installed;
  }
}

// The INI main section is rewritten whole: a key no longer written goes,
// "Tweaks" and foreign sections stay. The key store keeps every old value.
TEST(SettingsTest, SavingErasesOldIniKeysButNeverClearsTheKeyStore) {
  TSetup ini(false,
             "[Tunevale]\nLibraryFolderCount=6\nLibraryFolder5=/old\n[Tweaks]\nHideVersionLabel=1\n"
             "[Mine]\nnote=kept\n");
  ini.Settings.LibraryFolders = {"/music"};
  ini.Save();
  const std::string file = ini.File();
  EXPECT_EQ(file.find("LibraryFolder5"), std::string::npos);
  EXPECT_EQ(file.rfind("[Tweaks]\nHideVersionLabel=1\n[Mine]\nnote=kept\n[Tunevale]\n", 0), 0u) << file;

  TSetup keys(true, "LibraryFolder5=\"/old\"\nHideVersionLabel=1\n");
  keys.Save();
  EXPECT_EQ(keys.File().rfind("LibraryFolder5=\"/old\"\nHideVersionLabel=1\nWindowLeft=0\n", 0), 0u);
}

TEST(SettingsTest, FirstRunGivesTheDefaultsInBothLayouts) {
  for (const bool installed : {false, true}) {
    for (const char* content :
         {"", "\x01\xFF[[[\n=\n\0garbage", "Volume=\"5\"\nPlayMode=[\n[Tunevale]\nVolume=x\n"}) {
      TSetup setup(installed, content);
      setup.Load();
      const TSettings& s = setup.Settings;
      SCOPED_TRACE(std::string(installed ? "key store: " : "ini: ") + content);
      EXPECT_EQ(s.Volume, 10000);
      EXPECT_EQ(s.PlayMode, 2);
      EXPECT_EQ(s.PictureDuration, 7);
      EXPECT_TRUE(s.CheckForUpdates);
      EXPECT_TRUE(s.UseLibrary);
      EXPECT_TRUE(s.FirstRun);
      EXPECT_EQ(s.LibraryFolders, (std::vector<std::string>{"/home/u/Music", "/home/u/Videos"}));
      EXPECT_EQ(s.TrayControlsFadeInTime, 300);
      EXPECT_EQ(s.TopPanelFontColor, clWhite);
      EXPECT_EQ(s.TopPanelBevelInner, clNone);
      EXPECT_EQ(s.StoredVersion, 18);
      EXPECT_EQ(s.LastUpdateCheck, Now);
      EXPECT_EQ(s.ZoomMark, zmFitToScreen);
      EXPECT_TRUE(setup.Window->Switches.empty());
      EXPECT_EQ(setup.CrawlTasks.Count(), 0);
      EXPECT_EQ(setup.Window->Log.back(), "applied");
    }
  }
}

// The values a save writes and a load reads back, for comparing.
auto Stored(const TSettings& s) {
  return std::tuple(std::tie(s.OpenBehavior, s.LibraryViewMode, s.VolumeMuted, s.Volume, s.PlayMode,
                             s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight, s.Maximized,
                             s.HidePanels, s.HideSidePanels, s.SmallTopPanel, s.MicroMode, s.TrackColumns,
                             s.PreferOverlay, s.ResumePlaybackAfterClose, s.EnableGlobalHotkeys),
                    std::tie(s.ShowArtistInPlaylist, s.CheckForUpdates, s.HZoom, s.VZoom, s.PictureDuration,
                             s.ArtistDoubleclickTab, s.AlwaysShowAlbumArtist, s.HideIncompleteAlbums,
                             s.DontSwitchToPlaylist, s.UseLibrary, s.LastUpdateCheck, s.CustomMusicExtensions,
                             s.CustomVideoExtensions, s.CustomPlaylistExtensions, s.LibraryFolders,
                             s.ListLayouts[llAlbums - 1].Tag));
}

TEST(SettingsTest, EverySettingSurvivesASaveAndALoad) {
  for (const bool installed : {false, true}) {
    TSetup saved(installed);
    TSettings& s = saved.Settings;
    std::tie(s.OpenBehavior, s.LibraryViewMode, s.Volume, s.PlayMode, s.PictureDuration,
             s.ArtistDoubleclickTab) = std::tuple(2, 1, 1234, 3, 12, 1);
    std::tie(s.WindowLeft, s.WindowTop, s.WindowWidth, s.WindowHeight, s.HZoom, s.VZoom) =
        std::tuple(-20, 40, 800, 600, 100, 100);
    s.VolumeMuted = s.Maximized = s.HidePanels = s.HideSidePanels = s.SmallTopPanel = s.MicroMode = true;
    s.TrackColumns = {2, -1, 0, -1, 1, -1};
    RebuildTrackColumns(s.ListLayouts[llTracks - 1], s.TrackColumns);
    s.ListLayouts[llTracks - 1].Columns[1] = {77, 3};
    s.ListLayouts[llAlbums - 1].Tag = 3;
    s.PreferOverlay = s.ResumePlaybackAfterClose = s.EnableGlobalHotkeys = s.ShowArtistInPlaylist = true;
    s.AlwaysShowAlbumArtist = s.HideIncompleteAlbums = s.DontSwitchToPlaylist = true;
    s.CheckForUpdates = s.UseLibrary = false;
    s.LastUpdateCheck = *DateTimeFromText("2025-02-28 23:59:59");
    std::tie(s.CustomMusicExtensions, s.CustomVideoExtensions, s.CustomPlaylistExtensions) =
        std::tuple("xm, it", " mkv", "\"q\"");
    s.LibraryFolders = {"../Music", "/srv/a=b;c", "/with space "};
    saved.Save();

    TSetup loaded(installed, saved.File());
    loaded.Load();
    const TSettings& t = loaded.Settings;
    SCOPED_TRACE(installed ? "key store" : "ini");
    EXPECT_EQ(Stored(t), Stored(s));
    ASSERT_EQ(t.ListLayouts[llTracks - 1].Columns.size(), 4u);
    EXPECT_EQ(t.ListLayouts[llTracks - 1].Columns[1].Width, 77);
    EXPECT_EQ(t.ListLayouts[llTracks - 1].Columns[1].Position, 3);
    EXPECT_EQ(t.ZoomMark, zmCrop);
    EXPECT_FALSE(t.FirstRun);
    EXPECT_EQ(loaded.Extensions.GetFileKind("/a/song.xm"), mkMusic);
  }
}

TEST(SettingsTest, OldBuildsConvertThePlaylistSeparatorAndBuild11RefreshesTheLibrary) {
  struct TCase {
    const char* Version;  // nullptr: no "AppVersion" stored
    int32_t Stored;
    std::vector<TSavedPlaylistRow> Rows;
    int Refreshes;
  };
  const TCase cases[] = {
      {"2.0.0.16", 16, {{"a", "A"}, {"b", "B*"}}, 0},  {"2.0.0.11", 11, {{"a", "A"}, {"b", "B*"}}, 1},
      {"2.0.0.17", 17, {{"a?A", ""}, {"b", "B?"}}, 0}, {"2.0.0.x", 0, {{"a", "A"}, {"b", "B*"}}, 0},
      {nullptr, 18, {{"a?A", ""}, {"b", "B?"}}, 0},
  };
  for (const TCase& c : cases) {
    std::string file = "CurrentPlaylist=\"a?A|b*B?\"\n";
    if (c.Version) file += "AppVersion=\"" + std::string(c.Version) + "\"\n";
    TSetup setup(true, file);
    setup.Load(false);
    setup.Load(true);
    EXPECT_EQ(setup.Settings.StoredVersion, c.Stored);
    EXPECT_EQ(setup.Window->Rows, c.Rows) << file;
    ASSERT_EQ(setup.CrawlTasks.Count(), c.Refreshes) << file;
    if (c.Refreshes) {
      const TCrawlTask& task = setup.CrawlTasks.Task(0);
      EXPECT_TRUE(task.Path.empty() && task.Recursive && task.SearchNew && task.ForceReread);
    }
  }
  // The INI layout never used "?".
  TSetup ini(false, "[Tunevale]\nAppVersion=2.0.0.16\nPlaylistCount=1\nPlaylistItem0=a?A\n");
  ini.Load(true);
  EXPECT_EQ(ini.Window->Rows, (std::vector<TSavedPlaylistRow>{{"a?A", ""}}));
}

TEST(SettingsTest, LastUpdateCheckIsNeverInTheFuture) {
  const struct {
    const char* Stored;
    double Expected;
  } cases[] = {
      {"2026-12-05 08:30:00", *DateTimeFromText("2026-12-05 08:30:00")},
      {"2027-01-01 00:00:00", Now},
      {"yesterday", Now},
  };
  for (const auto& c : cases) {
    TSetup setup(false, std::string("[Tunevale]\nLastUpdateCheck=") + c.Stored + "\n");
    setup.Load();
    EXPECT_EQ(setup.Settings.LastUpdateCheck, c.Expected) << c.Stored;
  }
}

TEST(SettingsTest, PlaylistPassRestoresTheCurrentEntryOnlyWhenItExists) {
  const struct {
    int NowPlaying;
    int Position;
    std::vector<std::string> Log;
  } cases[] = {
      {1, 0, {"busy Loading playlist...", "end busy", "mark 1", "pump", "applied"}},
      {2, 5000, {"busy Loading playlist...", "end busy", "mark 2", "resume 2 at 5000", "pump", "applied"}},
      {3, 5000, {"busy Loading playlist...", "end busy", "pump", "applied"}},
      {-1, 5000, {"busy Loading playlist...", "end busy", "pump", "applied"}},
  };
  for (const auto& c : cases) {
    TSetup setup(false,
                 "[Tunevale]\nPlaylistCount=3\nPlaylistItem0=a*A\nPlaylistItem1=b\nPlaylistItem2=c*C*D\n"
                 "NowPlaying=" +
                     std::to_string(c.NowPlaying) + "\nNowPlayingPosition=" + std::to_string(c.Position) +
                     "\n");
    setup.Load(true);
    EXPECT_EQ(setup.Window->Rows, (std::vector<TSavedPlaylistRow>{{"a", "A"}, {"b", ""}, {"c", "C*D"}}));
    EXPECT_EQ(setup.Window->Log, c.Log) << c.NowPlaying;
  }
}

TEST(SettingsTest, PlaylistPassStopsWhenCancelled) {
  TSetup setup(true, "CurrentPlaylist=\"a*|b*|c*\"\n");
  setup.Window->CancelAfterRows = 1;
  setup.Load(true);
  EXPECT_EQ(setup.Window->Rows.size(), 1u);
  EXPECT_EQ(setup.Window->Log.front(), "busy Loading playlist...");
  EXPECT_EQ(setup.Window->Log[1], "end busy");
}

TEST(SettingsTest, ThePositionIsSavedOnlyWhenAskedFor) {
  const struct {
    bool Resume;
    TSaveSettingsFlags Flags;
    bool Playing;
    const char* Expected;
  } cases[] = {
      {false, {}, true, "NowPlayingPosition=0\n"},
      {true, {}, true, "NowPlayingPosition=4321\n"},
      {true, {}, false, "NowPlayingPosition=0\n"},
      {false, {.KeepPosition = true}, true, "NowPlayingPosition=4321\n"},
      {true, {.NoPosition = true}, true, "NowPlayingPosition=0\n"},
      {false, {.KeepPosition = true, .NoPosition = true}, true, "NowPlayingPosition=0\n"},
  };
  for (const auto& c : cases) {
    TSetup setup(false);
    setup.Settings.ResumePlaybackAfterClose = c.Resume;
    setup.Window->PausedOrPlaying = c.Playing;
    setup.Window->Position = 4321;
    setup.Save(c.Flags);
    EXPECT_NE(setup.File().find(c.Expected), std::string::npos) << c.Resume << c.Playing;
  }
}

TEST(SettingsTest, StoredSwitchesRunOnlyWhenTheWindowIsInTheOtherState) {
  TSetup setup(false,
               "[Tunevale]\nHidePanels=1\nHideSidePanels=1\nLibraryViewMode=1\nVolumeMuted=1\nMicroMode=0\n");
  setup.Load();
  // The side panels followed the panel switch, so their own "1" changes nothing.
  EXPECT_EQ(setup.Window->Switches,
            (std::vector<TWindowSwitch>{TWindowSwitch::LibraryViewMode, TWindowSwitch::Mute,
                                        TWindowSwitch::Panels, TWindowSwitch::SidePanels}));
  setup.Window->Switches.clear();
  setup.Load();  // a reload ("loadsettings") keeps the state
  EXPECT_TRUE(setup.Window->Switches.empty());
  EXPECT_EQ(setup.Settings.LibraryViewMode, 1);
  EXPECT_TRUE(setup.Settings.HidePanels && setup.Settings.HideSidePanels && setup.Settings.VolumeMuted);
}

TEST(SettingsTest, WindowValuesAreBoundedAndABadColumnEndsItsGroup) {
  TSetup setup(false,
               "[Tunevale]\nVolume=20000\nPlayMode=9\nOpenBehavior=258\nList1C0W=55\nList1C1I=5\nList2S=4\n"
               "List3C1V=-1\nHZoom=-1\nVZoom=-1\n");
  setup.Load();
  const TSettings& s = setup.Settings;
  EXPECT_EQ(s.Volume, 10000);
  EXPECT_EQ(s.PlayMode, 2);
  EXPECT_EQ(s.OpenBehavior, 2);
  EXPECT_EQ(s.ListLayouts[0].Columns[0].Width, 55);
  EXPECT_EQ(s.ListLayouts[1].Tag, 0);
  EXPECT_EQ(s.TrackColumns[1], 1);
  EXPECT_EQ(s.ZoomMark, zmStretch);
}

TEST(SettingsTest, WithoutAWindowOnlyTheRecordKeysAreReadAndWritten) {
  TSetup setup(false,
               "[Tunevale]\nVolume=5\nPlayMode=0\nPictureDuration=3\nPlaylistCount=1\nPlaylistItem0=a\n",
               false);
  setup.Load();
  setup.Load(true);
  EXPECT_EQ(setup.Settings.Volume, 10000);
  EXPECT_EQ(setup.Settings.PlayMode, 2);
  EXPECT_EQ(setup.Settings.PictureDuration, 3);
  EXPECT_TRUE(setup.Window->Log.empty());
  setup.Save();
  EXPECT_EQ(setup.File().rfind("[Tunevale]\nAppVersion=2.0.0.18\n", 0), 0u);
}

TEST(SettingsTest, TweaksReadColourTextsAndATweaksOnlySaveWritesOnlyThem) {
  TSetup setup(false,
               "[Tunevale]\nVolume=5\n[Tweaks]\nTopPanelBevelInner=clRed\nTopPanelBevelOuter=junk\n"
               "TopPanelFontColor=clNone\nTopPanelImage=/skins/top.png\nHideVersionLabel=1\n"
               "TrayControlsFadeInTime=50\nForceNoGlass=2\n");
  setup.Settings.TopPanelBevelOuter = 0x123456;
  setup.Load();
  const TSettings& s = setup.Settings;
  EXPECT_EQ(s.TopPanelBevelInner, 0x0000FF);
  EXPECT_EQ(s.TopPanelBevelOuter, 0x123456);
  EXPECT_EQ(s.TopPanelFontColor, clWhite);
  EXPECT_EQ(s.TopPanelImage, "/skins/top.png");
  EXPECT_TRUE(s.HideVersionLabel);
  EXPECT_FALSE(s.ForceNoGlass);
  EXPECT_EQ(s.TrayControlsFadeInTime, 50);

  setup.Settings.ShowTrayControlsBackground = true;
  setup.Save({.TweaksOnly = true});
  EXPECT_EQ(setup.File(),
            "[Tunevale]\nVolume=5\n[Tweaks]\nTopPanelBevelInner=clRed\nTopPanelBevelOuter=$00123456\n"
            "TopPanelFontColor=clWhite\nTopPanelImage=/skins/top.png\nHideVersionLabel=1\n"
            "TrayControlsFadeInTime=50\nForceNoGlass=0\nShowTrayControlsBackground=1\n");
}

TEST(SettingsTest, AnUnreadableFileIsNotSavedOver) {
  TSetup setup(false);
  setup.Folder.MakeFolder("Tunevale.ini");
  std::string error;
  EXPECT_FALSE(SaveSettings(*setup.Context, {}, &error));
  EXPECT_FALSE(error.empty());
}

TEST(SettingsValuesTest, ColourTexts) {
  const struct {
    int32_t Colour;
    const char* Text;
  } cases[] = {
      {clWhite, "clWhite"},
      {clBlack, "clBlack"},
      {clNone, "clNone"},
      {0x00FF00FF, "clFuchsia"},
      {0x00123456, "$00123456"},
      {-1, "$FFFFFFFF"},
      {static_cast<int32_t>(0xFF00000F), "clBtnFace"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColourToText(c.Colour), c.Text);
    EXPECT_EQ(ColourFromText(c.Text), c.Colour) << c.Text;
  }
  EXPECT_EQ(ColourFromText("CLWHITE"), clWhite);
  EXPECT_EQ(ColourFromText("255"), 255);
  EXPECT_EQ(ColourFromText("-1"), -1);
  EXPECT_EQ(ColourFromText("0xff"), 255);
  for (const char* bad : {"", "$", "$123456789", "clPink", "12px", "0x"})
    EXPECT_FALSE(ColourFromText(bad)) << bad;
}

TEST(SettingsValuesTest, DateTimeTexts) {
  EXPECT_EQ(DateTimeToText(0), "1899-12-30 00:00:00");
  EXPECT_EQ(DateTimeToText(45000.75), "2023-03-15 18:00:00");
  EXPECT_EQ(DateTimeToText(-1.5), "1899-12-28 12:00:00");
  EXPECT_EQ(DateTimeFromText("2023-03-15 18:00:00"), 45000.75);
  EXPECT_EQ(DateTimeFromText("2023-03-15T18:00"), 45000.75);
  EXPECT_EQ(DateTimeFromText("2023-03-15"), 45000.0);
  EXPECT_EQ(DateTimeToText(*DateTimeFromText("2024-02-29 23:59:59")), "2024-02-29 23:59:59");
  for (const char* bad : {"", "2023-02-29", "2023-13-01", "2023-01-01 24:00", "2023-01-01 10:00:60",
                          "2023-1-01", "2023-01-01 10:00:00Z", "0000-01-01"})
    EXPECT_FALSE(DateTimeFromText(bad)) << bad;
}

TEST(SettingsLocationsTest, UserFoldersFromTheXdgList) {
  const std::string text =
      "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_MUSIC_DIR=\"$HOME/My "
      "\\\"Music\\\"\"\n"
      "XDG_VIDEOS_DIR=\"/srv/videos/\"\nXDG_PICTURES_DIR=\"$HOME\"\nXDG_DOCUMENTS_DIR=relative\n"
      "XDG_TEMPLATES_DIR=\"/old\"\nXDG_TEMPLATES_DIR=\"Templates\"\n";
  const struct {
    const char* Name;
    const char* Folder;
  } cases[] = {
      {"MUSIC", "/home/u/My \"Music\""},
      {"VIDEOS", "/srv/videos"},
      {"DESKTOP", "/home/u/Desktop"},
      {"PICTURES", ""},  // the home folder itself means switched off
      {"DOCUMENTS", ""},
      {"TEMPLATES", ""},  // the last entry wins, and it is not absolute
      {"DOWNLOAD", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UserDirFromText(text, c.Name, "/home/u"), c.Folder) << c.Name;
}

TEST(SettingsLocationsTest, TheStoreFollowsTheInstallation) {
  const auto env = [](std::map<std::string, std::string> vars) {
    return [vars](const char* name) -> std::optional<std::string> {
      const auto it = vars.find(name);
      return it == vars.end() ? std::nullopt : std::optional(it->second);
    };
  };
  EXPECT_EQ(KeyStorePathFor(env({{"XDG_CONFIG_HOME", "/cfg/"}, {"HOME", "/home/u"}})),
            "/cfg/Tunevale/Tunevale.conf");
  EXPECT_EQ(KeyStorePathFor(env({{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/home/u"}})),
            "/home/u/.config/Tunevale/Tunevale.conf");
  EXPECT_EQ(IniFilePathFor("/opt/tunevale"), "/opt/tunevale/Tunevale.ini");

  TTempFolder folder;
  folder.Write("cfg/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Music\"\n");
  TSettings settings;
  ReadUserFolders(env({{"XDG_CONFIG_HOME", folder / "cfg"}, {"HOME", "/home/u"}}), settings);
  EXPECT_EQ(settings.MyMusicFolder, "/home/u/Music");
  EXPECT_EQ(settings.MyVideoFolder, "");

  settings.IniFilePath = folder / "Tunevale.ini";
  settings.KeyStorePath = folder / "Tunevale.conf";
  EXPECT_FALSE(CreateSettingsStore(settings)->JoinsLists());
  settings.IsInstalled = true;
  EXPECT_TRUE(CreateSettingsStore(settings)->JoinsLists());
}

}  // namespace
}  // namespace tunevale
