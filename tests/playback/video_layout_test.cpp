#include "playback/video_layout.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

// Rounding is half away from zero (73.5 -> 74 in the 100 x 100 panel row);
// centring truncates toward zero.
TEST(VideoLayoutTest, PlacesThePictureForEachZoomAndArea) {
  const struct {
    const char* Case;
    TVideoSize Video, Area;
    bool FullScreen;
    TZoom Zoom;
    TVideoRect Expected;
  } cases[] = {
      {"fit", {640, 480}, {1920, 1080}, true, {0, 0}, {240, 0, 1440, 1080}},
      {"crop", {640, 480}, {1920, 1080}, true, {100, 100}, {0, -180, 1920, 1440}},
      {"stretch", {640, 480}, {1920, 1080}, true, {-1, -1}, {0, 0, 1920, 1080}},
      {"custom 50/50", {640, 480}, {1920, 1080}, true, {50, 50}, {120, -90, 1680, 1260}},
      {"windowed never zooms", {640, 480}, {100, 100}, false, {100, 100}, {1, 13, 98, 74}},
      {"windowed wide panel", {640, 480}, {402, 202}, false, {0, 0}, {67, 1, 267, 200}},
      {"2.5 rounds to 3", {2, 1}, {5, 5}, true, {0, 0}, {0, 1, 5, 3}},
      {"7.5 rounds to 8, -1.5 centres to -1", {2, 1}, {5, 5}, true, {50, 50}, {-1, 0, 8, 4}},
      {"zero area", {640, 480}, {0, 0}, true, {0, 0}, {0, 0, 0, 0}},
      {"panel smaller than its border", {640, 480}, {1, 1}, false, {0, 0}, {1, 1, 0, 0}},
      {"zoom too large", {640, 480}, {1920, 1080}, true, {500, 500}, {0, -180, 1920, 1440}},
      {"zoom too small", {640, 480}, {1920, 1080}, true, {-7, -7}, {0, 0, 1920, 1080}},
      {"stretch on one axis only", {640, 480}, {1920, 1080}, true, {-1, 100}, {240, -180, 1440, 1440}},
  };
  for (const auto& c : cases) {
    const auto rect = LayoutVideo({c.Video, c.Area, c.FullScreen, c.Zoom});
    ASSERT_TRUE(rect) << c.Case;
    EXPECT_EQ(*rect, c.Expected) << c.Case << ": " << rect->Left << "," << rect->Top << " " << rect->Width
                                 << "x" << rect->Height;
  }
}

TEST(VideoLayoutTest, NothingIsPlacedWhileTheVideoSizeIsUnknown) {
  EXPECT_FALSE(LayoutVideo({{0, 480}, {100, 100}, false, {}}));
  EXPECT_FALSE(LayoutVideo({{640, 0}, {100, 100}, true, {}}));
  EXPECT_FALSE(VideoSizeWindow({200, {0, 0}, {400, 400}, {300, 200}, {1280, 800}}));
}

TEST(VideoLayoutTest, VideoSizeGrowsTheWindowButNotPastTheScreen) {
  // 200 % of 320 x 240: the video area becomes 640 x 480 (the panel is 2 larger).
  EXPECT_EQ(VideoSizeWindow({200, {320, 240}, {400, 400}, {300, 200}, {1920, 1080}}),
            (TVideoSize{400 - 300 + 2 + 640, 400 - 200 + 2 + 480}));
  EXPECT_EQ(VideoSizeWindow({50, {321, 241}, {400, 400}, {300, 200}, {1920, 1080}}),
            (TVideoSize{102 + 161, 202 + 121}));
  EXPECT_EQ(VideoSizeWindow({200, {1920, 1080}, {400, 400}, {300, 200}, {1280, 800}}),
            (TVideoSize{1280, 800}));
}

}  // namespace
}  // namespace tunevale
