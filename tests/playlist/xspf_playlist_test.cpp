#include "playlist/xspf_playlist.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "playlist/playlist_file.h"
#include "util/text.h"

namespace tunevale::test {
namespace {

using TTracks = std::vector<std::pair<std::string, std::string>>;

TTracks Read(const std::string& text) {
  static const std::vector<std::string> existing = Split(
      "/m/Caf\xC3\xA9 del Mar.flac|/m/one two.mp3|/m/sub/3.mp3|/m/../o/4.mp3|/m/wrong.mp3|/m/a.mp3|"
      "http://radio.example/live?a=1&b=2",
      '|');
  TTracks tracks;
  TPlaylistScanHooks hooks;
  hooks.IsPlayable = [](const std::string& l) { return std::count(existing.begin(), existing.end(), l) > 0; };
  ReadXspf(text, "/m", hooks, [&](const std::string& location, const std::string& title) {
    tracks.emplace_back(location, title);
  });
  return tracks;
}

TEST(XspfReadTest, TracksOfADocumentWrittenElsewhere) {
  // Another program's conventions: a prologue, the playlist's own title and
  // location, extension elements, several locations, CDATA, blanks.
  const std::string doc = R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- exported by a jukebox -->
<playlist version="1" xmlns="http://xspf.org/ns/0/" xmlns:ext="http://example.org/ext">
  <title>Mix</title><location>/m/a.mp3</location>
  <trackList>
    <track>
      <extension application="http://example.org/ext"><ext:id>0</ext:id><location>/m/wrong.mp3</location></extension>
      <location>file:///m/Caf%C3%A9%20del%20Mar.flac</location><title>Caf&#233; &amp; Bar</title>
    </track>
    <track><location>missing.mp3</location><location>one%20two.mp3</location></track>
    <track><title>No location</title></track>
    <track><location><![CDATA[http://radio.example/live?a=1&b=2]]></location></track>
    <track><location>
        file://localhost/m/sub/3.mp3 </location></track>
    <track><location>../o/4.mp3</location><title>  Four  </title></track>
  </trackList>
</playlist>)";
  EXPECT_EQ(Read(doc), (TTracks{{"/m/Caf\xC3\xA9 del Mar.flac", "Caf\xC3\xA9 & Bar"},
                                {"/m/one two.mp3", ""},
                                {"http://radio.example/live?a=1&b=2", ""},
                                {"/m/sub/3.mp3", ""},
                                {"/m/../o/4.mp3", "Four"}}));
  EXPECT_TRUE(IsXspfPlaylist("Download/Playlist.tmp", doc));
  EXPECT_TRUE(IsXspfPlaylist("x.XSPF", ""));
  EXPECT_FALSE(IsXspfPlaylist("x.tmp", "<?xml version=\"1.0\"?><asx><entry/></asx>"));
  EXPECT_FALSE(IsXspfPlaylist("x.tmp", "#EXTM3U\n<playlist>"));
}

TEST(XspfReadTest, HostileDocumentsKeepWhatCameBefore) {
  const std::string a = "<track><location>a.mp3</location></track>";
  std::string deep = "<playlist><trackList>" + a;
  for (int i = 0; i < 100000; ++i) deep += "<x>";
  const std::pair<std::string, TTracks> cases[] = {
      {"<!DOCTYPE p [<!ENTITY e \"a.mp3\"><!ENTITY f "
       "\"&e;&e;\">]><p><track><location>&f;</location></track>" +
           a,
       {{"/m/a.mp3", ""}}},
      {deep + a, {{"/m/a.mp3", ""}}},
      {"<track><location>" + std::string(1 << 20, 'x') + "</location></track>" + a, {{"/m/a.mp3", ""}}},
      {"<track><title>" + std::string(5000, 't') + "</title><location>a.mp3</location>",
       {{"/m/a.mp3", std::string(1024, 't')}}},
      {"#EXTM3U\na.mp3\n<location>a.mp3</location>\n", {}},
  };
  for (const auto& [doc, expected] : cases) EXPECT_EQ(Read(doc), expected) << doc.substr(0, 80);
}

}  // namespace
}  // namespace tunevale::test
