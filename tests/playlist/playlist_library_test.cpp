// The playlist wired to the real library and crawler, as the player wires it.
#include <gtest/gtest.h>

#include "library/crawler.h"
#include "library/library.h"
#include "library/track.h"
#include "playlist/playlist.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale::test {
namespace {

class PlaylistLibraryTest : public ::testing::Test {
 protected:
  PlaylistLibraryTest() {
    playlist.SetTagReader(
        [this](const std::string& path, TMetaData& meta) { crawler.NoticeFile(path, meta, true); });
  }

  TTempFolder folder;
  TLibrarySettings librarySettings;
  TLibrary library{librarySettings, folder.Path()};
  TFileExtensions extensions;
  TFakeRuntime runtime;
  TMessagePump pump{runtime};
  TCrawler crawler{library, extensions, pump};
  TPlaylistSettings settings;
  TPlaylist playlist{settings, extensions, pump};
};

TEST_F(PlaylistLibraryTest, TrackInfoOfALibraryTrackComesFromTheLibrary) {
  TMetaData meta;
  meta.Title = "Waterloo";
  meta.Artist = "ABBA";
  library.AddTrack(TTrack::Create("/srv/music/abba/01.mp3", "", meta, 0, false));
  library.Loaded = true;
  settings.ShowArtistInPlaylist = true;
  playlist.AddPlaylistEntry("/srv/music/abba/01.mp3");  // known to the library, not on disk
  playlist.ReadTrackInfo(false);
  EXPECT_EQ(playlist.Row(0).Caption, "ABBA - Waterloo");
}

}  // namespace
}  // namespace tunevale::test
