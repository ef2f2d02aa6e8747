#include "media/media_kind.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(MediaKindTest, BuiltInTablesDecideByExtension) {
  TFileExtensions ext;
  struct {
    const char* name;
    TMediaKind kind;
  } cases[] = {
      {"Song.MP3", mkMusic},
      {"song.mp3", mkMusic},
      {"clip.M4A", mkVideo},
      {"noextension", mkUnknown},
      {"archive.tar.gz", mkUnknown},
      {"page.HTML", mkWebPage},
      {"/a/list.pls", mkPlaylist},
      {"pic.jpg", mkPicture},
      {"rec.dvr-ms", mkVideo},
      {"/a.mp3/file", mkUnknown},
      {"http://host.mp3/x", mkUnknown},
      {"c:\\a.mp3\\b", mkUnknown},
      {"a.Opus", mkMusic},
      {"l.xspf", mkPlaylist},
  };
  for (const auto& c : cases) EXPECT_EQ(ext.GetFileKind(c.name), c.kind) << c.name;
}

TEST(MediaKindTest, LaterTablesOverrideCustomLists) {
  TFileExtensions ext;
  ext.ApplyCustomExtensions("avi,aac, m4b,MKA", "mp3", "jpg");
  EXPECT_EQ(ext.GetFileKind("x.avi"), mkVideo);  // video is tested after music
  EXPECT_EQ(ext.GetFileKind("x.aac"), mkMusic);
  EXPECT_EQ(ext.GetFileKind("x.m4b"), mkUnknown);  // the custom entry is " m4b"
  EXPECT_EQ(ext.GetFileKind("x.mka"), mkUnknown);  // upper-case custom entries never match
  EXPECT_EQ(ext.GetFileKind("x.mp3"), mkVideo);    // custom video beats built-in music
  EXPECT_EQ(ext.GetFileKind("x.jpg"), mkPicture);  // picture beats custom playlist
}

TEST(MediaKindTest, CustomExtensionsFollowTheirBuiltInListAndEmptyItemsAreSkipped) {
  TFileExtensions ext;
  const int music = ext.MusicCount(), video = ext.VideoCount(), media = ext.MediaCount();
  ext.ApplyCustomExtensions("aac", ",,divx,", "");
  EXPECT_EQ(ext.MusicExtension(music), "aac");
  EXPECT_EQ(ext.VideoExtension(video), "divx");
  EXPECT_EQ(ext.MediaCount(), media + 2);
  EXPECT_EQ(ext.MediaExtension(music), "aac");  // custom music before the built-in video
  EXPECT_NE(BuildOpenFilter(ext).find("*.aac;|Video|"), std::string::npos) << BuildOpenFilter(ext);
  ext.ApplyCustomExtensions("", "", "");
  EXPECT_EQ(ext.MediaCount(), media);
}

}  // namespace
}  // namespace tunevale
