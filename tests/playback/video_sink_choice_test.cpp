#include "playback/video_sink_choice.h"

#include <gtest/gtest.h>

#include <set>

namespace tunevale {
namespace {

TEST(VideoSinkChoiceTest, XWindowsGetAnXSinkAndEverythingElseDropsThePicture) {
  const std::set<std::string> all = {"xvimagesink", "glimagesink", "ximagesink", "fakevideosink"};
  const struct {
    const char* Platform;
    bool Overlay;
    std::set<std::string> Usable;
    const char* Expected;
  } cases[] = {
      {"xcb", true, all, "xvimagesink"},
      {"xcb", true, {"glimagesink", "ximagesink", "fakevideosink"}, "glimagesink"},  // no XVideo
      {"xcb", false, all, "glimagesink"},
      {"xcb", true, {"ximagesink", "fakevideosink"}, "ximagesink"},
      {"xcb", false, {"fakevideosink"}, "fakevideosink"},
      {"offscreen", true, all, "fakevideosink"},
      {"wayland", false, all, "fakevideosink"},
      {"", false, all, "fakevideosink"},
      {"xcb", true, {}, "fakesink sync=true"},
  };
  for (const auto& c : cases) {
    const auto usable = [&c](const std::string& element) { return c.Usable.count(element) > 0; };
    EXPECT_EQ(ChooseVideoSink(c.Platform, c.Overlay, usable), c.Expected)
        << c.Platform << " overlay " << c.Overlay << " with " << c.Usable.size() << " usable";
  }
}

}  // namespace
}  // namespace tunevale
