#include "app/skin.h"

#include <gtest/gtest.h>

#include "app/ini_file.h"
#include "app/settings.h"
#include "support/skin_bytes.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

using test::SkinBytes;

TEST(SkinTest, SectionsGiveTheTweaks) {
  const std::string picture(300, 'p');  // a length above one byte
  const struct {
    const char* Name;
    std::string Bytes;
    void (*Want)(TSkin&);  // from a skin of defaults
  } cases[] = {
      {"only a text colour, the rest reset", SkinBytes({test::SkinSection("TXT", "$000000FF")}),
       [](TSkin& s) { s.TopPanelFontColor = 0xFF; }},
      {"picture before TOP BMP",
       SkinBytes({test::SkinSection("BMP", picture), test::SkinSection("TOP", "BMP")}),
       [](TSkin& s) { s.Picture = std::string(300, 'p'); }},
      {"TOP BMP then the picture",
       SkinBytes({test::SkinSection("TOP", "BMP"), test::SkinSection("BMP", picture)}),
       [](TSkin& s) { s.TopPanelImageIsPicture = true, s.Picture = std::string(300, 'p'); }},
      {"a later colour takes over the picture",
       SkinBytes({test::SkinSection("TOP", "BMP"), test::SkinSection("BMP", "x"),
                  test::SkinSection("TOP", "clRed")}),
       [](TSkin& s) { s.TopPanelImage = "clRed", s.Picture = "x"; }},
      {"empty colours are not set",
       SkinBytes({test::SkinSection("TOP", ""), test::SkinSection("IBV", ""), test::SkinSection("TXT", "")}),
       [](TSkin& s) { s.TopPanelFontColor = clNone; }},
      {"unknown tags skipped, whatever their length",
       SkinBytes({test::SkinSection("top", "junk"), test::SkinSection("XYZ", picture),
                  test::SkinSection("IBV", "16711680"), test::SkinSection("OBV", "clNavy")}),
       [](TSkin& s) { s.TopPanelBevelInner = 0xFF0000, s.TopPanelBevelOuter = 0x800000; }},
      {"flags only from a first byte 1",
       SkinBytes({test::SkinSection("BGT", "\x01"), test::SkinSection("NGL", std::string(1, '\0'))}),
       [](TSkin& s) { s.ShowTrayControlsBackground = true; }},
      {"empty flags are false", SkinBytes({test::SkinSection("NGL", "\x01"), test::SkinSection("NGL", "")}),
       [](TSkin&) {}},
  };
  for (const auto& c : cases) {
    std::string error;
    const std::optional<TSkin> skin = ParseSkin(c.Bytes, error);
    ASSERT_TRUE(skin) << c.Name << ": " << error;
    TSkin want;
    c.Want(want);
    EXPECT_EQ(*skin, want) << c.Name;
  }
}

TEST(SkinTest, BadFilesAreRefused) {
  const std::string good = SkinBytes({test::SkinSection("TXT", "clRed")});
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"shorter than the header", std::string(SkinHeaderSize - 1, 'h')},
      {"a cut section head", good + std::string("TXT\0\0", 5)},
      {"a length one past the end", good + test::SkinSection("BMP", "abc").substr(0, 9)},
      {"a 4 GiB length", good + "BMP\xFF\xFF\xFF\xFFxyz"},
      {"a colour that is no colour",
       SkinBytes({test::SkinSection("BMP", "x"), test::SkinSection("OBV", "clPurpleish")})},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(ParseSkin(c.Bytes, error)) << c.Name;
    EXPECT_FALSE(error.empty()) << c.Name;
  }
}

TEST(SkinTest, LoadWritesPictureAndTweaksOnlyForAWholeSkinAndResetClearsThem) {
  test::TTempFolder folder;
  const std::string db = folder.MakeFolder("data") + "/";
  TSettings s;
  s.TopPanelImage = "clGreen";
  s.ForceNoGlass = true;
  TIniFile store(folder / "Tunevale.ini");
  TSettingsContext context{s, store, nullptr, nullptr, {}, nullptr, nullptr};
  const auto tweaks = [&] {
    EXPECT_TRUE(SaveSettings(context, {.TweaksOnly = true}));
    std::string text;
    ReadWholeFile(folder / "Tunevale.ini", text);
    return text;
  };
  const std::string before = tweaks();

  const std::string bad = folder.Write(
      "bad.tvlskin", SkinBytes({test::SkinSection("BMP", "BM"), test::SkinSection("TXT", "nope")}));
  EXPECT_THROW(LoadSkin(bad, db, s), std::runtime_error);
  EXPECT_THROW(LoadSkin(folder / "missing.tvlskin", db, s), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(db + SkinPictureName));
  EXPECT_EQ(tweaks(), before);

  const std::string good = folder.Write(
      "good.tvlskin", SkinBytes({test::SkinSection("TOP", "BMP"), test::SkinSection("BMP", "BM1"),
                                 test::SkinSection("OBV", "$00102030"), test::SkinSection("BGT", "\x01")}));
  for (int pass = 0; pass < 2; ++pass) {
    LoadSkin(good, db, s);
    std::string picture;
    EXPECT_TRUE(ReadWholeFile(db + SkinPictureName, picture));
    EXPECT_EQ(picture, "BM1");
    EXPECT_EQ(tweaks(), "[Tweaks]\nTopPanelImage=" + db +
                            "Background.bmp\nTopPanelBevelInner=clNone\n"
                            "TopPanelBevelOuter=$00102030\nTopPanelFontColor=clWhite\n"
                            "ShowTrayControlsBackground=1\nForceNoGlass=0\n");
  }
  ResetSkin(s);
  EXPECT_EQ(tweaks(),
            "[Tweaks]\nTopPanelImage=\nTopPanelBevelInner=clNone\nTopPanelBevelOuter=clNone\n"
            "TopPanelFontColor=clNone\nShowTrayControlsBackground=1\nForceNoGlass=0\n");
}

}  // namespace
}  // namespace tunevale
