// What the desktop media controls show, read from a headless player with a
// fake engine: the mode, volume and URI mappings, the track id, the flags
// and which properties a change announces.
#include "mpris/mpris_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

#include "app/player.h"
#include "mpris/mpris_mapping.h"
#include "playback/fake_filter_graph.h"
#include "playback/volume_scale.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/mp3_file.h"
#include "support/portable_paths.h"

namespace tunevale {
namespace {

TEST(MprisMappingTest, LoopStatusWrittenBackKeepsTheModeAndNoneStopsRepeating) {
  for (uint8_t mode : {pmOnlyThisTrack, pmRepeat, pmPlayAll, pmRepeatAll})
    EXPECT_EQ(PlayModeForLoopStatus(LoopStatusName(mode), mode), mode) << int(mode);
  for (uint8_t mode : {pmRepeat, pmRepeatAll}) EXPECT_EQ(PlayModeForLoopStatus("None", mode), pmPlayAll);
}

TEST(MprisMappingTest, VolumeGoesToAGainAndBack) {
  for (double gain : {0.9, 0.5, 0.1, 0.01})
    EXPECT_NEAR(VolumeGain(LogVolumeForGain(gain)), gain, gain * 0.005) << gain;
  const std::pair<double, int32_t> edges[] = {{0, 0},     {-1, 0},    {NAN, 0},         {1e-7, 0},
                                              {1, 10000}, {2, 10000}, {INFINITY, 10000}};
  for (const auto& [gain, volume] : edges) EXPECT_EQ(LogVolumeForGain(gain), volume) << gain;
  EXPECT_EQ(VolumeGain(0), 0.0);  // the bottom of the slider is silence
}

TEST(MprisMappingTest, UriBecomesTheLocationPlayTakes) {
  // Byte 1 would split the command's arguments.
  const std::pair<const char*, const char*> cases[] = {
      {"FILE://localhost/m/a%20b%C3%A9.mp3", "/m/a b\xC3\xA9.mp3"},
      {"file://otherhost/m/x.mp3", ""},
      {"RTSP://host/s", "RTSP://host/s"},
      {"gopher://host/x", ""},
      {"file:///m/a%01b.mp3", ""}};
  for (const auto& [uri, location] : cases) EXPECT_EQ(LocationOfUri(uri), location) << uri;
}

class MprisStateTest : public ::testing::Test {
 protected:
  MprisStateTest() {
    Files = {Folder.Write("media/a.mp3", test::MakeMp3({"Alpha", "Ann", "Band", "First", "3", "2001"})),
             Folder.Write("media/b.mp3", "x"), Folder.Write("media/c.mp3", "x")};
    for (const std::string& file : Files) Player.Playlist().AddPlaylistEntry(file);
  }

  TMprisState Read() { return Reader.Read(Player); }
  void Play(int index) { Player.Playlist().PlayEntry(index, true); }
  // The Can* flags that hold.
  std::string Flags() {
    const TMprisState s = Read();
    return std::string(s.CanGoNext ? "next " : "") + (s.CanGoPrevious ? "previous " : "") +
           (s.CanPlay ? "play " : "") + (s.CanPause ? "pause " : "") + (s.CanSeek ? "seek " : "");
  }

  test::TTempFolder Folder;
  test::TFakeRuntime Runtime;
  test::TFakeFilterGraph Graph;
  test::TCannedHttp Http;
  TPlayer Player{TPlayerPorts{Runtime, Graph, Http}, test::PortablePaths(Folder)};
  TMprisStateReader Reader;
  std::vector<std::string> Files;
};

TEST_F(MprisStateTest, TrackIdStaysWithTheEntryAndChangesWithIt) {
  EXPECT_EQ(Read().Metadata.TrackId, NoTrackId);
  // Restored, not opened: the playlist's reading of the tags.
  Player.Playlist().ReadTrackInfo(false);
  Player.Playlist().MarkNowPlaying(0, {}, true);
  const TMprisMetadata restored = Read().Metadata;
  EXPECT_EQ(restored.Title + "|" + restored.AlbumArtist + "|" + std::to_string(restored.TrackNumber),
            "Alpha|Band|3");
  Play(0);
  const std::string first = Read().Metadata.TrackId;
  EXPECT_EQ(first, restored.TrackId);
  Player.Playlist().SortPlaylist(4, true);  // by file name, backwards: the entry moves to the end
  ASSERT_EQ(Player.Playlist().PlayingIndex(), 2);
  EXPECT_EQ(Read().Metadata.TrackId, first);

  Play(1);
  const std::string second = Read().Metadata.TrackId;
  EXPECT_NE(second, first);
  // The same file added anew is another entry: a client's id for the old one is stale.
  Player.Playlist().DeleteAllRows();
  Player.Playlist().AddPlaylistEntry(Files[0]);
  Play(0);
  const std::string third = Read().Metadata.TrackId;
  EXPECT_TRUE(third != first && third != second) << third;
}

TEST_F(MprisStateTest, FlagsFollowThePlayOrderAndTheEngine) {
  const std::tuple<uint8_t, int, const char*> cases[] = {{pmPlayAll, 2, "previous play pause seek "},
                                                         {pmRepeatAll, 2, "next previous play pause seek "},
                                                         {pmOnlyThisTrack, 0, "next play pause seek "}};
  for (const auto& [mode, index, flags] : cases) {
    Player.Playlist().SetPlayMode(mode);
    Play(index);
    EXPECT_EQ(Flags(), flags) << int(mode) << " at " << index;
  }
  Player.Stop();
  EXPECT_EQ(Flags(), "next play ");
  Player.Playlist().DeleteAllRows();
  EXPECT_EQ(Flags(), "");
}

TEST_F(MprisStateTest, EachChangeAnnouncesItsOwnProperties) {
  Play(0);
  const std::tuple<const char*, std::function<void()>, std::vector<std::string_view>> cases[] = {
      {"volume", [&] { Player.SetVolume(5000); }, {"Volume"}},
      {"mode", [&] { Player.Playlist().SetPlayMode(pmRepeat); }, {"LoopStatus"}},
      {"next", [&] { Player.Next(); }, {"Metadata", "CanGoPrevious"}},
      {"extension", [&] { Player.Extensions().AddCustomMusic("xm"); }, {"SupportedMimeTypes"}},
  };
  for (const auto& [change, run, expected] : cases) {
    const TMprisState before = Read();
    run();
    std::vector<std::string_view> names;
    for (const TMprisProperty& property : ChangedProperties(before, Read())) names.push_back(property.Name);
    EXPECT_EQ(names, expected) << change;
  }
}

}  // namespace
}  // namespace tunevale
