// What the library lists show for a small library: names, counts, the
// "<unknown>" names, albums told apart by their artist, the special rows.
#include <gtest/gtest.h>

#include "library/album.h"
#include "library/artist.h"
#include "library/library.h"
#include "library/track.h"
#include "ui/library_list_model.h"

namespace tunevale {
namespace {

class LibraryListModelTest : public ::testing::Test {
 protected:
  LibraryListModelTest() : Library(Settings, "/opt/tunevale/") {
    Add("/m/1.mp3", "Dancing", "Abba", "Gold");
    Add("/m/2.mp3", "Waterloo", "Abba", "Gold");
    Add("/m/3.mp3", "Tide", "", "Gold");  // same album name, no artist
    Add("/m/4.mp3", "Maria", "Blondie", "");
    Library.Flags.ListsStale = false;  // as the refill that follows the additions leaves it
  }

  void Add(const char* path, const char* title, const char* artist, const char* album) {
    TMetaData meta;
    meta.Title = title;
    meta.AlbumArtist = artist;
    meta.Album = album;
    Library.AddTrack(TTrack::Create(path, "", meta, 0, false));
  }

  TArtist* ArtistNamed(const std::string& name) {
    for (int i = 0; i < Library.ArtistCount(); ++i)
      if (Library.Artist(i)->Name() == name) return Library.Artist(i);
    return nullptr;
  }

  std::vector<std::string> Row(const TLibraryListModel& model, int row) {
    std::vector<std::string> cells;
    for (int c = 0; c < model.columnCount(); ++c)
      cells.push_back(model.data(model.index(row, c), Qt::DisplayRole).toString().toStdString());
    return cells;
  }

  TLibrarySettings Settings;
  TLibrary Library;
  TTrackColumns::TTable Table = {-1, -1, -1, -1, -1, -1};  // "Title" only
};

TEST_F(LibraryListModelTest, ArtistAndAlbumRowsShowNamesCountsAndSpecialRows) {
  TLibraryList artists(lpArtists);
  artists.Rows.push_back({nullptr, TRowKind::rkAll});
  for (const char* name : {"Abba", ""}) artists.Rows.push_back({ArtistNamed(name)});
  TLibraryListModel artistModel(Library, artists, Table);
  artistModel.Refilled();
  ASSERT_EQ(artistModel.rowCount(), 3);
  EXPECT_EQ(Row(artistModel, 0), (std::vector<std::string>{"<All>", ""}));
  EXPECT_EQ(Row(artistModel, 1), (std::vector<std::string>{"Abba", "1"}));
  EXPECT_EQ(Row(artistModel, 2), (std::vector<std::string>{"<unknown>", "1"}));
  EXPECT_EQ(artistModel.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Album count");

  TLibraryList albums(lpAlbums);
  albums.Rows.push_back({ArtistNamed("Abba")->Album(0)});
  albums.Rows.push_back({ArtistNamed("")->Album(0)});
  albums.Rows.push_back({ArtistNamed("Blondie")->Album(0)});
  TLibraryListModel albumModel(Library, albums, Table);
  ASSERT_EQ(albumModel.rowCount(), 3);
  // Two albums called "Gold": the one with an artist carries it.
  EXPECT_EQ(Row(albumModel, 0), (std::vector<std::string>{"Gold (Abba)", "Abba", "2"}));
  EXPECT_EQ(Row(albumModel, 1), (std::vector<std::string>{"Gold", "", "1"}));
  EXPECT_EQ(Row(albumModel, 2), (std::vector<std::string>{"<unknown> (Blondie)", "Blondie", "1"}));
}

TEST_F(LibraryListModelTest, StaleListsShowNoRowsUntilRefilled) {
  TLibraryList tracks(lpTracks);
  tracks.Rows.push_back({ArtistNamed("Abba")->Album(0)->Track(0)});
  tracks.Rows.push_back({nullptr, TRowKind::rkNoItems});
  TLibraryListModel model(Library, tracks, Table);
  EXPECT_EQ(Row(model, 0), (std::vector<std::string>{"Dancing"}));
  EXPECT_EQ(Row(model, 1), (std::vector<std::string>{"<No items match your search>"}));
  // Rows may point at destroyed entries until the refill.
  Library.Flags.ListsStale = true;
  EXPECT_EQ(model.rowCount(), 0);
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::DisplayRole).isValid());
}

}  // namespace
}  // namespace tunevale
