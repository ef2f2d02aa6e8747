#include "util/path.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(PathTest, NormalizeCollapsesDoubledSlashesButKeepsSchemes) {
  EXPECT_EQ(NormalizePath("/home//u///music/"), "/home/u/music");
  EXPECT_EQ(NormalizePath("http://host//a/"), "http://host/a");
  EXPECT_EQ(NormalizePath("/"), "/");
  EXPECT_EQ(NormalizePath("//server/share"), "//server/share");
  EXPECT_EQ(NormalizePath("/Music/A"), "/Music/A");  // case kept
}

TEST(PathTest, FileNamePieces) {
  EXPECT_EQ(ExtractFileName("/a/b/song.mp3"), "song.mp3");
  EXPECT_EQ(ExtractFilePath("/a/b/song.mp3"), "/a/b/");
  EXPECT_EQ(ExtractFileDir("/a/b/song.mp3"), "/a/b");
  EXPECT_EQ(ExtractFileDir("/song.mp3"), "/");
  EXPECT_EQ(ExtractFileExt("/a.dir/song"), "");
  EXPECT_EQ(ExtractFileExt("/a/archive.tar.gz"), ".gz");
  EXPECT_EQ(FileNameWithoutExt("/a/my.song.mp3"), "my.song");
}

TEST(PathTest, ExpandResolvesRelativeFolders) {
  EXPECT_EQ(ExpandPath("/opt/tv/", "../Music"), "/opt/Music");
  EXPECT_EQ(ExpandPath("/opt/tv", "./a/./b/"), "/opt/tv/a/b/");
  EXPECT_EQ(ExpandPath("/opt/tv", "/abs/x"), "/abs/x");
  EXPECT_EQ(ExpandPath("/", "../../x"), "/x");
}

}  // namespace
}  // namespace tunevale
