// The built player's window on a private X server with a window manager: the
// picture is drawn inside its page, the window keeps its place across
// restarts, and full screen shows the picture letterboxed with the control
// strip along its bottom edge.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "playback/test_media.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "support/xvfb.h"

namespace tunevale {
namespace {

using test::TXvfb;

TEST(X11WindowTest, AVideoPlaysInsideItsPageAndTheWindowKeepsItsPlace) {
  test::TTempFolder folder;
  TXvfb x;
  ASSERT_FALSE(x.Display().empty());
  ASSERT_TRUE(x.StartWindowManager(folder / "wm-ready"));
  const std::string video = folder / "red.ogv", bin = folder.MakeFolder("bin") + "/tunevale";
  test::GstLaunch(
      "videotestsrc pattern=red num-buffers=100 ! video/x-raw,width=320,height=240,framerate=5/1 ! "
      "theoraenc ! oggmux ! filesink location=" +
      video);
  std::filesystem::copy_file(TUNEVALE_PATH, bin);
  const std::string place = "WindowLeft=100\nWindowTop=50\nWindowWidth=400\nWindowHeight=400\n";
  folder.Write("bin/Tunevale.ini", "[Tunevale]\nFirstRun=0\n" + place);  // no introduction
  const std::string run = folder.MakeFolder("run");
  chmod(run.c_str(), 0700);
  const int left = 100, top = 50, size = 400;
  const auto red = [](const std::string& screen, int x, int y) {
    const auto* p =
        reinterpret_cast<const unsigned char*>(screen.data()) + (size_t(y) * TXvfb::kWidth + x) * 3;
    return p[0] > 200 && p[1] < 60 && p[2] < 60;
  };
  for (int start = 0; start < 2; ++start) {
    test::TChild player(bin, {video},
                        {"HOME=" + folder.MakeFolder("home"), "XDG_RUNTIME_DIR=" + run, "QT_QPA_PLATFORM=xcb",
                         "DISPLAY=" + x.Display()},
                        folder / "log.txt");
    std::string screen;
    ASSERT_TRUE(test::WaitFor([&] {
      screen = x.Grab();
      return screen.size() == size_t(TXvfb::kWidth) * TXvfb::kHeight * 3 &&
             red(screen, left + size / 2, top + size / 2);
    })) << "start "
        << start;
    // Red only inside the page: in the client area, below the track strip, above the controls.
    int inside = 0, stray = 0;
    for (int y = 0; y < TXvfb::kHeight; ++y)
      for (int x = 0; x < TXvfb::kWidth; ++x)
        if (red(screen, x, y))
          ++(x < left || x >= left + size || y < top + 57 || y >= top + size - 36 ? stray : inside);
    EXPECT_GT(inside, size * size / 4) << "start " << start;
    EXPECT_EQ(stray, 0) << "start " << start;
    EXPECT_EQ(player.Stop(), 0) << "start " << start;
  }
  const std::string ini = test::ReadBytes(folder / "bin/Tunevale.ini");
  EXPECT_NE(ini.find(place), std::string::npos) << ini;

  // Full screen, asked for by a remote command: 320 x 240 fits 800 high as
  // 1067 wide at left 106 (black beside it); paused, the strip stays over the
  // bottom 36 rows. The command again brings the window back.
  const std::vector<std::string> env{"HOME=" + folder / "home", "XDG_RUNTIME_DIR=" + run,
                                     "QT_QPA_PLATFORM=xcb", "DISPLAY=" + x.Display()};
  test::TChild player(bin, {video}, env, folder / "log.txt");
  const auto send = [&](const std::string& command) {
    int status = -1;
    test::RunProgram(TUNEVALECTL_PATH, {"send", command}, status,
                     {{{"HOME", folder / "home"}, {"XDG_RUNTIME_DIR", run}}, nullptr});
    return status;
  };
  std::string screen;
  const auto shows = [&](std::initializer_list<std::pair<int, int>> redAt,
                         std::initializer_list<std::pair<int, int>> notRedAt) {
    return test::WaitFor([&] {
      screen = x.Grab();
      if (screen.size() != size_t(TXvfb::kWidth) * TXvfb::kHeight * 3) return false;
      for (auto [px, py] : redAt)
        if (!red(screen, px, py)) return false;
      for (auto [px, py] : notRedAt)
        if (red(screen, px, py)) return false;
      return true;
    });
  };
  ASSERT_TRUE(shows({{left + size / 2, top + size / 2}}, {}));
  ASSERT_EQ(send("togglefullscreen"), 0);
  ASSERT_EQ(send("playpause"), 0);
  EXPECT_TRUE(shows({{110, 400}, {1168, 400}, {640, 10}, {640, 760}}, {{100, 400}, {1176, 400}, {640, 790}}));
  ASSERT_EQ(send("togglefullscreen"), 0);
  EXPECT_TRUE(shows({{left + size / 2, top + size / 2}}, {{110, 400}, {1168, 400}}));
}

}  // namespace
}  // namespace tunevale
