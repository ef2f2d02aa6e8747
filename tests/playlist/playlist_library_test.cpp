// The playlist wired to the real library and crawler, as the player wires it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "library/crawler.h"
#include "library/library.h"
#include "library/track.h"
#include "playlist/playlist.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale::test {
namespace {

using ::testing::ElementsAre;

class PlaylistLibraryTest : public ::testing::Test {
 protected:
  PlaylistLibraryTest() {
    playlist.SetTagReader([this](const std::string& path, TMetaData& meta) { crawler.NoticeFile(path, meta, true); });
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> files;
    for (int i = 0; i < playlist.Count(); ++i) files.push_back(playlist.Row(i).Data->FileName);
    return files;
  }

  TTempFolder folder;
  TLibrarySettings librarySettings;
  TLibrary library{librarySettings, folder.Path()};
  TFileExtensions extensions;
  TFakeRuntime runtime;
  TMessagePump pump{runtime};
  TCrawler crawler{library, extensions, pump};
  TPlaylistSettings settings;
  TPlaylist playlist{settings, extensions,
                     [this](const std::string& path) { return library.Contains(path, true); }, pump};
};

TEST_F(PlaylistLibraryTest, FolderBeforeTheLibraryLoadedIsOneRowAfterwardsItsFiles) {
  folder.Write("music/a.mp3", "x");
  folder.Write("music/b.ogg", "x");
  playlist.AddPlaylistEntry(folder / "music");
  EXPECT_THAT(Files(), ElementsAre(folder / "music"));

  library.Loaded = true;
  playlist.DeleteAllRows();
  playlist.AddPlaylistEntry(folder / "music");
  std::vector<std::string> files = Files();
  std::sort(files.begin(), files.end());
  EXPECT_THAT(files, ElementsAre(folder / "music/a.mp3", folder / "music/b.ogg"));
}

TEST_F(PlaylistLibraryTest, TrackInfoOfALibraryTrackComesFromTheLibrary) {
  TMetaData meta;
  meta.Title = "Waterloo";
  meta.Artist = "ABBA";
  library.AddTrack(TTrack::Create("/srv/music/abba/01.mp3", "", meta, 0, false));
  library.Loaded = true;
  settings.ShowArtistInPlaylist = true;
  playlist.AddPlaylistEntry("/srv/music/abba/01.mp3");  // known to the library: no folder test, no file
  playlist.ReadTrackInfo(false);
  EXPECT_EQ(playlist.Row(0).Caption, "ABBA - Waterloo");
}

}  // namespace
}  // namespace tunevale::test
