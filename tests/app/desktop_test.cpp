// The addresses the player hands to the desktop.
#include "app/desktop.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(DesktopTest, LocalFilesAndFileLocationsBecomeEncodedAddresses) {
  EXPECT_EQ(LocalFileUrl("/a b/#1%/ä"), "file:///a%20b/%231%25/%C3%A4");
  EXPECT_EQ(HelpPageUrl("/opt/tv/", "settings.html#library_folders"),
            "file:///opt/tv/help/settings.html#library_folders");
  EXPECT_EQ(HelpPageUrl("/opt/tv", "help.html"), "file:///opt/tv/help/help.html");
  // "Open file location": the folder of a file, an address up to its last slash.
  EXPECT_EQ(FileLocationUrl("/music/a b/x.mp3"), "file:///music/a%20b");
  EXPECT_EQ(FileLocationUrl("/x.mp3"), "file:///");
  EXPECT_EQ(FileLocationUrl("http://host/radio/stream.mp3"), "http://host/radio");
  EXPECT_EQ(FileLocationUrl("x.mp3"), "");
}

TEST(DesktopTest, OnlyWebAddressesFromTagsAreOpened) {
  const std::pair<const char*, bool> cases[] = {
      {"http://a.example/", true},           {"HTTPS://a.example", true}, {"ftp://a.example/x", true},
      {"file:///home/a/run.desktop", false}, {"http://", false},          {"www.a.example", false}};
  for (const auto& [url, web] : cases) EXPECT_EQ(IsWebAddress(url), web) << url;
}

}  // namespace
}  // namespace tunevale
