// The built player's window on a private X server: the picture it draws and
// the place it keeps across restarts under a window manager.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "support/temp_folder.h"
#include "support/xvfb.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

namespace fs = std::filesystem;
using test::TXvfb;

class X11WindowTest : public ::testing::Test {
 protected:
  X11WindowTest() {
    Run = Folder.MakeFolder("run");
    chmod(Run.c_str(), 0700);
    Bin = Folder.MakeFolder("bin") + "/tunevale";
    fs::copy_file(TUNEVALE_PATH, Bin);
    Env = {"HOME=" + Folder.MakeFolder("home"), "XDG_RUNTIME_DIR=" + Run, "QT_QPA_PLATFORM=xcb",
           X.DisplayEnv()};
  }

  void WriteSettings(const std::string& keys) { Folder.Write("bin/Tunevale.ini", "[Tunevale]\n" + keys); }

  std::map<std::string, std::string> Settings() const {
    std::string text;
    ReadWholeFile(fs::path(Bin).parent_path() / "Tunevale.ini", text);
    std::map<std::string, std::string> values;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
      if (const size_t eq = line.find('='); eq != std::string::npos)
        values[line.substr(0, eq)] = line.substr(eq + 1);
    return values;
  }

  std::unique_ptr<test::TChild> StartPlayer(const std::vector<std::string>& args) {
    auto player = std::make_unique<test::TChild>(Bin, args, Env, Folder / "log.txt");
    EXPECT_TRUE(test::WaitFor([&] { return !X.FindWindow("Tunevale").empty(); })) << Log();
    return player;
  }

  std::string Log() const {
    std::string text;
    ReadWholeFile(Folder / "log.txt", text);
    return text;
  }

  TXvfb X;
  test::TTempFolder Folder;
  std::string Run, Bin;
  std::vector<std::string> Env;
};

bool IsRed(const std::string& screen, int x, int y) {
  const auto* p = reinterpret_cast<const unsigned char*>(screen.data()) + (size_t(y) * TXvfb::kWidth + x) * 3;
  return p[0] > 200 && p[1] < 60 && p[2] < 60;
}

TEST_F(X11WindowTest, AVideoPlaysInsideItsPageOfTheWindow) {
  ASSERT_TRUE(X.Available());
  const std::string video = Folder / "red.ogv";
  int status = -1;
  test::RunProgram("/usr/bin/gst-launch-1.0",
                   {"-q", "videotestsrc", "pattern=red", "num-buffers=100", "!",
                    "video/x-raw,width=320,height=240,framerate=5/1", "!", "theoraenc", "!", "oggmux", "!",
                    "filesink", "location=" + video},
                   status);
  ASSERT_EQ(status, 0);
  // Without a window manager the client area lies exactly where it is asked to.
  const int left = 100, top = 50, size = 400;
  WriteSettings("WindowLeft=100\nWindowTop=50\nWindowWidth=400\nWindowHeight=400\n");
  auto player = StartPlayer({video});
  std::string screen;
  ASSERT_TRUE(test::WaitFor([&] {
    screen = X.Grab();
    return screen.size() == size_t(TXvfb::kWidth) * TXvfb::kHeight * 3 &&
           IsRed(screen, left + size / 2, top + size / 2);
  })) << Log();

  // Red only inside the page: below the track strip, above the controls.
  int red = 0, stray = 0;
  for (int y = 0; y < TXvfb::kHeight; ++y)
    for (int x = 0; x < TXvfb::kWidth; ++x) {
      if (!IsRed(screen, x, y)) continue;
      ++red;
      stray += x < left || x >= left + size || y < top + 57 || y >= top + size - 36;
    }
  EXPECT_GT(red, size * size / 4);
  EXPECT_EQ(stray, 0);
  EXPECT_EQ(player->Stop(), 0) << Log();
}

TEST_F(X11WindowTest, TheWindowKeepsItsPlaceAcrossRestartsUnderAWindowManager) {
  ASSERT_TRUE(X.Available());
  ASSERT_TRUE(X.StartWindowManager(Folder / "wm-ready"));
  WriteSettings("WindowLeft=200\nWindowTop=150\nWindowWidth=400\nWindowHeight=300\n");
  std::string firstPlace;
  for (int start = 0; start < 3; ++start) {
    auto player = StartPlayer({});
    // Position and size the window manager gave, once they stopped changing.
    std::string place, before;
    test::WaitFor([&] {
      const std::string text = X.Run("/usr/bin/xdotool", {"getwindowgeometry", X.FindWindow("Tunevale")});
      before = std::exchange(place, text.substr(text.find('\n') + 1));
      return place == before;
    });
    if (start == 0) firstPlace = place;
    EXPECT_EQ(place, firstPlace) << "start " << start;
    ASSERT_EQ(player->Stop(), 0) << Log();
    const auto saved = Settings();
    for (const auto& [key, value] : {std::pair{"WindowLeft", "200"},
                                     {"WindowTop", "150"},
                                     {"WindowWidth", "400"},
                                     {"WindowHeight", "300"}})
      EXPECT_EQ(saved.at(key), value) << key << " after start " << start;
  }
}

}  // namespace
}  // namespace tunevale
