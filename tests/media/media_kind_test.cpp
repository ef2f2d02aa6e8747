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
      {"Song.MP3", mkMusic},       {"song.mp3", mkMusic},          {"clip.M4A", mkVideo},
      {"noextension", mkUnknown},  {"archive.tar.gz", mkUnknown},  {"page.HTML", mkWebPage},
      {"/a/list.pls", mkPlaylist}, {"pic.jpg", mkPicture},         {"rec.dvr-ms", mkVideo},
      {"/a.mp3/file", mkUnknown},  {"http://host.mp3/x", mkUnknown}, {"c:\\a.mp3\\b", mkUnknown},
      {"a.Opus", mkMusic},         {"l.xspf", mkPlaylist},
  };
  for (const auto& c : cases) EXPECT_EQ(ext.GetFileKind(c.name), c.kind) << c.name;
}

TEST(MediaKindTest, LaterTablesOverrideCustomLists) {
  TFileExtensions ext;
  ext.ApplyCustomExtensions("avi,aac, m4b,MKA", "mp3", "jpg");
  EXPECT_EQ(ext.GetFileKind("x.avi"), mkVideo);    // video is tested after music
  EXPECT_EQ(ext.GetFileKind("x.aac"), mkMusic);
  EXPECT_EQ(ext.GetFileKind("x.m4b"), mkUnknown);  // the custom entry is " m4b"
  EXPECT_EQ(ext.GetFileKind("x.mka"), mkUnknown);  // upper-case custom entries never match
  EXPECT_EQ(ext.GetFileKind("x.mp3"), mkVideo);    // custom video beats built-in music
  EXPECT_EQ(ext.GetFileKind("x.jpg"), mkPicture);  // picture beats custom playlist
}

TEST(MediaKindTest, CustomListsCountAndIndex) {
  TFileExtensions ext;
  ext.ApplyCustomExtensions("aac", ",,divx,", "");
  EXPECT_EQ(ext.MusicCount(), 12);
  EXPECT_EQ(ext.MusicExtension(11), "aac");
  EXPECT_EQ(ext.VideoCount(), 16);
  EXPECT_EQ(ext.VideoExtension(15), "divx");
  EXPECT_EQ(ext.PlaylistCount(), 6);
  EXPECT_EQ(ext.MediaCount(), 34);
  EXPECT_EQ(ext.MediaExtension(11), "aac");  // custom music before the built-in video
  EXPECT_EQ(ext.MediaExtension(12), "avi");
  EXPECT_EQ(ext.MediaExtension(33), "xspf");
  ext.ApplyCustomExtensions("", "", "");
  EXPECT_EQ(ext.MediaCount(), 32);
}

TEST(MediaKindTest, OpenFilterText) {
  TFileExtensions ext;
  const std::string f = BuildOpenFilter(ext);
  EXPECT_EQ(f.rfind("All media files|*.wav;*.mp3;", 0), 0u);
  EXPECT_NE(f.find(";*.pls;*.xspf;*.bmp;*.jpg;*.gif;*.tga;|Music|*.wav;"), std::string::npos);
  EXPECT_NE(f.find("|Pictures|*.bmp;*.jpg;*.gif;*.tga;|Playlists|*.m3u;*.wpl;*.asx;*.wvx;*.pls;*.xspf;|All files|*.*"),
            std::string::npos);
  EXPECT_EQ(f.substr(f.size() - 21), "*.xspf;|All files|*.*");
  ext.ApplyCustomExtensions("aac", "", "");
  EXPECT_NE(BuildOpenFilter(ext).find("*.ape;*.opus;*.aac;*.avi;"), std::string::npos);
}

}  // namespace
}  // namespace tunevale
