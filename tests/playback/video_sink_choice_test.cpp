#include "playback/video_sink_choice.h"

#include <gtest/gtest.h>

#include <set>

namespace tunevale {
namespace {

TEST(VideoSinkChoiceTest, XWindowsGetAnXSinkAndEverythingElseDropsThePicture) {
  const std::set<std::string> all = {"xvimagesink", "glimagesink", "ximagesink", "fakevideosink"},
                              noXv = {"ximagesink"}, none;
  const struct {
    const char* Platform;
    bool Overlay;
    const std::set<std::string>& Usable;
    const char* Expected;
  } cases[] = {{"xcb", true, all, "xvimagesink"},        {"xcb", false, all, "glimagesink"},
               {"xcb", true, noXv, "ximagesink"},        {"offscreen", true, all, "fakevideosink"},
               {"wayland", false, all, "fakevideosink"}, {"xcb", true, none, "fakesink sync=true"}};
  for (const auto& c : cases)
    EXPECT_EQ(
        ChooseVideoSink(c.Platform, c.Overlay, [&c](const std::string& e) { return c.Usable.count(e) > 0; }),
        c.Expected)
        << c.Platform << c.Overlay;
}

}  // namespace
}  // namespace tunevale
