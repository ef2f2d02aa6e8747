#include "media/metadata.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(MetaDataTest, EqualsIgnoresFileDateButNotCase) {
  TMetaData a, b;
  a.Artist = b.Artist = "Abba";
  a.FileDate = 1;
  b.FileDate = 2;
  EXPECT_TRUE(MetaDataEquals(a, b));
  b.Artist = "ABBA";
  EXPECT_FALSE(MetaDataEquals(a, b));
  b.Artist = "Abba";
  b.Comment = "c";
  EXPECT_FALSE(MetaDataEquals(a, b));
}

TEST(MetaDataTest, DisplayNames) {
  EXPECT_EQ(FileDisplayName("/home/u/music/my_song.mp3"), "My_song");
  EXPECT_EQ(FileDisplayName("/m/the best-of,vol two.mp3"), "The Best-Of,Vol Two");
  EXPECT_EQ(FileDisplayName("/m/iTunes.v2.mp3"), "ITunes.v2");  // "." starts no word
  EXPECT_EQ(FileDisplayName("/m/Already Named.ogg"), "Already Named");
  EXPECT_EQ(FileDisplayName("/m/a%20b.mp3"), "A B");
  EXPECT_EQ(FileDisplayName("http://host/dir/some%20tune.mp3"), "some tune.mp3");
  EXPECT_EQ(FileDisplayName("http://host/dir/"), "http://host/dir/");
  EXPECT_EQ(FileDisplayName("/m/\xD0\x96\xD0\xB8.mp3"), "\xD0\x96\xD0\xB8");  // upper-case Ж: kept
  EXPECT_EQ(FileDisplayName("/m/caf%E9.mp3"), "Caf\xC3\xA9");                 // Latin-1 escape
}

}  // namespace
}  // namespace tunevale
