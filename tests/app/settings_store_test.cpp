#include <gtest/gtest.h>

#include "app/ini_document.h"
#include "app/ini_file.h"
#include "app/key_store.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using test::TTempFolder;
constexpr TSettingsSection Main = TSettingsSection::Main;
constexpr TListKeys Playlist{"CurrentPlaylist", "PlaylistCount", "PlaylistItem"};

TEST(IniDocumentTest, KeepsWhatItDoesNotWriteAndChangesKeysInPlace) {
  TIniDocument doc;
  doc.Parse(
      "\xEF\xBB\xBF; made by hand\r\n"
      "[Other]\r\nx=1\r\n"
      "[tunevale]\n  Volume = 5 \ngarbage line\nvolume=6\n\n# end of section\n"
      "[Tweaks]\nForceNoGlass=1");
  EXPECT_EQ(doc.Value("Tunevale", "VOLUME"), "5");  // names ignore case, the first one wins
  EXPECT_EQ(doc.Value("Other", "x"), "1");
  EXPECT_FALSE(doc.HasKey("Tunevale", "garbage line"));

  doc.SetValue("Tunevale", "Volume", "7");
  doc.SetValue("Tunevale", "PlayMode", "2");
  doc.SetValue("Tunevale", "Shuffle", "1");
  doc.SetValue("Tunevale", "PlayMode", "3");  // found where it went, above the trailing lines
  doc.SetValue("Missing", "Key", "v");
  EXPECT_EQ(doc.Format(),
            "; made by hand\n"
            "[Other]\nx=1\n"
            "[tunevale]\nVolume=7\ngarbage line\nvolume=6\nPlayMode=3\nShuffle=1\n\n# end of section\n"
            "[Tweaks]\nForceNoGlass=1\n"
            "[Missing]\nKey=v\n");

  TIniDocument again;
  again.Parse(doc.Format());
  EXPECT_EQ(again.Format(), doc.Format());
}

TEST(IniDocumentTest, ValuesComeBackAsWrittenWithoutBreakingTheLineFormat) {
  struct TCase {
    std::string Value;
    std::string ReadBack;
  };
  const TCase cases[] = {
      {"plain", "plain"},
      {"", ""},
      {" padded ", " padded "},
      {"\"quoted\"", "\"quoted\""},
      {"'single'", "'single'"},
      {"a=b;c#d[e]", "a=b;c#d[e]"},
      {"x\n[Tweaks]\nForceNoGlass=1", "x [Tweaks] ForceNoGlass=1"},
      {std::string("nul\0byte\r", 9), "nul byte "},
  };
  for (const TCase& c : cases) {
    TIniDocument doc;
    doc.SetValue("Tunevale", "Key", c.Value);
    TIniDocument parsed;
    parsed.Parse(doc.Format());
    EXPECT_EQ(parsed.Value("Tunevale", "Key"), c.ReadBack) << c.Value;
    EXPECT_FALSE(parsed.HasKey("Tweaks", "ForceNoGlass"));
  }
}

TEST(IniFileTest, CountedListsReadOnlyTheItemsPresentBelowTheCount) {
  TIniFile ini("unused");
  ini.Document().Parse(
      "[Tunevale]\nPlaylistItem=no "
      "index\nPlaylistCount=2147483647\nPlaylistItem1=b\nPlaylistItem0=a\nPlaylistItem01=zero-padded\n"
      "PlaylistItem2=\nplaylistitem3=d\nplaylistitem0=late copy\n");
  EXPECT_EQ(ini.ReadList(Main, Playlist), (std::vector<std::string>{"a", "b", "d"}));

  ini.Document().Parse("[Tunevale]\nPlaylistCount=1\nPlaylistItem0=a\nPlaylistItem1=beyond\n");
  EXPECT_EQ(ini.ReadList(Main, Playlist), (std::vector<std::string>{"a"}));
  ini.Document().Parse("[Tunevale]\nPlaylistCount=junk\nPlaylistItem0=a\n");
  EXPECT_EQ(ini.ReadList(Main, Playlist), std::vector<std::string>{});
  ini.Document().Parse("[Tunevale]\nPlaylistItem0=a\n");
  EXPECT_FALSE(ini.ReadList(Main, Playlist));
}

TEST(KeyStoreTest, ValuesAreTypedAndATextComesBackByteForByte) {
  std::string every;
  for (int c = 1; c < 256; ++c) every.push_back(static_cast<char>(c));
  TKeyStore store("unused");
  store.WriteText(Main, "Text", every);
  store.WriteNumber(Main, "Number", -5);
  store.WriteText(Main, "Digits", "5");

  TKeyStore parsed("unused");
  parsed.Document().Parse(store.Document().Format());
  EXPECT_EQ(parsed.ReadText(Main, "text"), every);
  EXPECT_EQ(parsed.ReadNumber(Main, "Number"), -5);
  // A value of the other type exists but reads as missing.
  EXPECT_TRUE(parsed.Exists(Main, "Digits"));
  EXPECT_FALSE(parsed.ReadNumber(Main, "Digits"));
  EXPECT_FALSE(parsed.ReadText(Main, "Number"));
}

TEST(KeyStoreTest, MalformedValuesReadAsMissing) {
  for (const char* raw :
       {"\"open", "\"bad \\q escape\"", "\"short \\x4\"", "\"a\"b\"", "12abc", "99999999999", "'x'"}) {
    TKeyStore store("unused");
    store.Document().Parse(std::string("Key=") + raw + "\n");
    EXPECT_FALSE(store.ReadText(Main, "Key")) << raw;
    EXPECT_FALSE(store.ReadNumber(Main, "Key")) << raw;
  }
}

TEST(KeyStoreTest, ListsAreOneTextSplitAtBars) {
  TKeyStore store("unused");
  store.WriteList(Main, Playlist, {"a*A", "b*B", "c*C"});
  EXPECT_EQ(store.Document().Format(), "CurrentPlaylist=\"a*A|b*B|c*C\"\n");
  store.WriteText(Main, "CurrentPlaylist", "|a||b|");
  EXPECT_EQ(store.ReadList(Main, Playlist), (std::vector<std::string>{"a", "b"}));
  store.WriteNumber(Main, "CurrentPlaylist", 3);
  EXPECT_EQ(store.ReadList(Main, Playlist), std::vector<std::string>{});
  // Written before items were escaped: a backslash before any other character stays.
  store.WriteText(Main, "CurrentPlaylist", "AC\\DC*x|b");
  EXPECT_EQ(store.ReadList(Main, Playlist), (std::vector<std::string>{"AC\\DC*x", "b"}));
  EXPECT_FALSE(TKeyStore("unused").ReadList(Main, Playlist));
}

TEST(SettingsFileTest, LoadTellsAMissingFileFromAnUnreadableOne) {
  TTempFolder folder;
  TIniFile missing(folder / "Tunevale.ini");
  EXPECT_EQ(missing.Load(), TStoreLoadResult::Missing);
  TKeyStore unreadable(folder.MakeFolder("Tunevale.conf"));  // a folder cannot be read as a file
  EXPECT_EQ(unreadable.Load(), TStoreLoadResult::Failed);

  TKeyStore created(folder / "config/Tunevale/Tunevale.conf");
  created.WriteNumber(Main, "Volume", 3);
  ASSERT_TRUE(created.Save());
  TKeyStore reread(created.FilePath());
  EXPECT_EQ(reread.Load(), TStoreLoadResult::Loaded);
  EXPECT_EQ(reread.ReadNumber(Main, "Volume"), 3);
}

}  // namespace
}  // namespace tunevale
