// The built player's window on a private X server with a window manager: the
// picture is drawn inside its page, and the window keeps its place across
// restarts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "playback/test_media.h"
#include "support/temp_folder.h"
#include "support/xvfb.h"
#include "util/atomic_file.h"

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
  folder.Write("bin/Tunevale.ini", "[Tunevale]\n" + place);
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
  std::string ini;
  ReadWholeFile(folder / "bin/Tunevale.ini", ini);
  EXPECT_NE(ini.find(place), std::string::npos) << ini;
}

}  // namespace
}  // namespace tunevale
