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
using test::SkinSection;

TEST(SkinTest, SectionsGiveTheTweaks) {
  const std::string picture(300, 'p');  // a length above one byte
  const struct {
    const char* Name;
    std::string Bytes;
    void (*Want)(TSkin&);  // from a skin of defaults
  } cases[] = {
      {"only a text colour, the rest reset", SkinBytes({SkinSection("TXT", "$000000FF")}),
       [](TSkin& s) { s.TopPanelFontColor = 0xFF; }},
      {"picture before TOP BMP", SkinBytes({SkinSection("BMP", picture), SkinSection("TOP", "BMP")}),
       [](TSkin& s) { s.Picture = std::string(300, 'p'); }},
      {"TOP BMP then the picture", SkinBytes({SkinSection("TOP", "BMP"), SkinSection("BMP", picture)}),
       [](TSkin& s) { s.TopPanelImageIsPicture = true, s.Picture = std::string(300, 'p'); }},
      {"empty colours are not set",
       SkinBytes({SkinSection("TOP", ""), SkinSection("IBV", ""), SkinSection("TXT", "")}),
       [](TSkin& s) { s.TopPanelFontColor = clNone; }},
      {"unknown tags skipped, whatever their length",
       SkinBytes({SkinSection("top", "junk"), SkinSection("XYZ", picture), SkinSection("IBV", "16711680"),
                  SkinSection("OBV", "clNavy")}),
       [](TSkin& s) { s.TopPanelBevelInner = 0xFF0000, s.TopPanelBevelOuter = 0x800000; }},
      {"flags from a first byte 1; an empty one is false",
       SkinBytes({SkinSection("BGT", "\x01"), SkinSection("NGL", "\x01"), SkinSection("NGL", "")}),
       [](TSkin& s) { s.ShowTrayControlsBackground = true; }},
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
  const std::string good = SkinBytes({SkinSection("TXT", "clRed")});
  const struct {
    const char* Name;
    std::string Bytes;
  } cases[] = {
      {"shorter than the header", std::string(SkinHeaderSize - 1, 'h')},
      {"a cut section head", good + std::string("TXT\0\0", 5)},
      {"a length one past the end", good + SkinSection("BMP", "abc").substr(0, 9)},
      {"a 4 GiB length", good + "BMP\xFF\xFF\xFF\xFFxyz"},
      {"a colour that is no colour", SkinBytes({SkinSection("BMP", "x"), SkinSection("OBV", "clPurpleish")})},
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

  const std::string bad =
      folder.Write("bad.tvlskin", SkinBytes({SkinSection("BMP", "BM"), SkinSection("TXT", "nope")}));
  EXPECT_THROW(LoadSkin(bad, db, s), std::runtime_error);
  EXPECT_THROW(LoadSkin(folder / "missing.tvlskin", db, s), std::runtime_error);
  EXPECT_FALSE(std::filesystem::exists(db + SkinPictureName));
  EXPECT_EQ(tweaks(), before);

  const std::string good =
      folder.Write("good.tvlskin", SkinBytes({SkinSection("TOP", "BMP"), SkinSection("BMP", "BM1"),
                                              SkinSection("OBV", "$00102030"), SkinSection("BGT", "\x01")}));
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
