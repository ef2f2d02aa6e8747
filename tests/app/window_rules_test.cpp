// The window's layout rules without a window.
#include "app/window_rules.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

struct TSizingCase {
  const char* Name;
  bool Slim, Small;
  int Width, Height;
  int ExpectedWidth, ExpectedHeight;
  bool Mini;
};

TEST(WindowRulesTest, SizingRuleSnapsHeightsAndKeepsTheMinimumWidthOfEachView) {
  const int base = 57 + 36, slimBase = 57 + 12, smallBase = 41 + 36;
  const TSizingCase cases[] = {
      {"narrower than the volume bar", false, false, 100, 400, 242, 400, false},
      {"well within the mini snap", false, false, 300, base + 30, 300, base, true},
      {"at the mini snap", false, false, 300, base + 50, 300, base, true},
      {"just above the mini snap", false, false, 300, base + 51, 300, base + 110, false},
      {"the smallest normal view", false, false, 300, base + 110, 300, base + 110, false},
      {"slim: 150 pixels wide", true, false, 100, 400, 150, 400, false},
      {"slim: the strips are lower", true, false, 200, slimBase + 50, 200, slimBase, true},
      {"small strip", false, true, 300, smallBase + 51, 300, smallBase + 110, false},
  };
  for (const TSizingCase& c : cases) {
    TSettings s;
    s.MicroMode = c.Slim;
    s.SmallTopPanel = c.Small;
    int w = c.Width, h = c.Height;
    FormCanResize(s, {true, false, 1920, 8}, w, h);
    EXPECT_EQ(w, c.ExpectedWidth) << c.Name;
    EXPECT_EQ(h, c.ExpectedHeight) << c.Name;
    EXPECT_EQ(s.MiniMode, c.Mini) << c.Name;
    // Outside the mini view the result is the new normal size; the mini view keeps the old one.
    EXPECT_EQ(s.WindowHeight, c.Mini ? 320 : c.ExpectedHeight) << c.Name;
  }
}

TEST(WindowRulesTest, SizingRulePassesRequestsItDoesNotCover) {
  const struct {
    const char* Name;
    TSizingContext Context;
  } cases[] = {
      {"maximized", {false, false, 1920, 8}},
      {"as wide as the screen with its frame", {true, false, 108, 8}},
  };
  for (const auto& c : cases) {
    TSettings s;
    int w = 100, h = 100;
    FormCanResize(s, c.Context, w, h);
    EXPECT_EQ(w, 100) << c.Name;
    EXPECT_EQ(h, 100) << c.Name;
    EXPECT_FALSE(s.MiniMode) << c.Name;
  }
}

TEST(WindowRulesTest, TabsTruthTable) {
  for (int bits = 0; bits < 8; ++bits) {
    const bool libraryHidden = bits & 1, videoHidden = bits & 2, slim = bits & 4;
    const TTabVisibility tabs = UpdateTabs(libraryHidden, videoHidden, slim);
    const bool library = !libraryHidden && !slim, video = !videoHidden && !slim;
    // No tab strip for the playlist alone; the menu button then sits in the track strip.
    EXPECT_TRUE(tabs.Library == library && tabs.Video == video && tabs.Playlist == (library || video)) << bits;
    EXPECT_EQ(MenuButtonInStrip(false, tabs.Playlist), !(library || video)) << bits;
    EXPECT_TRUE(MenuButtonInStrip(true, tabs.Playlist)) << bits;
  }
}

TEST(WindowRulesTest, DockedEdgesStayDockedWhenTheSizeChanges) {
  const TBox work{0, 0, 1000, 700};
  const struct {
    const char* Name;
    TBox Before, After;
  } cases[] = {
      {"bottom right corner", {700, 380, 300, 320}, {758, 607, 242, 93}},
      {"right edge only", {700, 100, 300, 320}, {758, 100, 242, 93}},
      {"bottom edge only", {10, 380, 300, 320}, {10, 607, 242, 93}},
      {"free", {10, 10, 300, 320}, {10, 10, 242, 93}},
  };
  for (const auto& c : cases) EXPECT_EQ(DockedResize(c.Before, work, 242, 93), c.After) << c.Name;
}

}  // namespace
}  // namespace tunevale
