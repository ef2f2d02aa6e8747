#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/instance.h"

namespace tunevale {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, OnlyTheFirstArgumentIsASwitchAndItMatchesExactly) {
  struct Case {
    Args Arguments;
    TStartAction Action;
    bool Force;
    bool Files;
  };
  const Case cases[] = {
      {{}, saPlayer, false, false},
      {{"/install"}, saInstall, false, false},
      {{"/upgrade"}, saUpgrade, false, false},
      {{"/uninstall"}, saUninstall, false, false},
      {{"/uninstallfinal"}, saUninstallFinal, false, false},
      {{"/setassoc", "mp3", "", "m3u"}, saSetAssoc, false, false},
      {{"/forcestart"}, saPlayer, true, false},
      {{"/Install"}, saPlayer, false, true},  // case-sensitive: no switch, so a path
      {{"song.mp3", "/install"}, saPlayer, false, true},
      {{"/home/me/song.mp3"}, saPlayer, false, true},  // an absolute path is not a switch
      {{"/music", "/videos"}, saPlayer, false, true},  // nor is a folder right under "/"
      {{"http://host/stream"}, saPlayer, false, true},
  };
  for (const Case& c : cases) {
    const TStartDecision d = DecideStart(c.Arguments);
    const std::string label = c.Arguments.empty() ? "(none)" : c.Arguments[0];
    EXPECT_EQ(d.Action, c.Action) << label;
    EXPECT_EQ(d.ForceStart, c.Force) << label;
    EXPECT_EQ(d.HasFiles, c.Files) << label;
  }
}

TEST(CommandLineTest, HandOverTextCarriesAbsolutePaths) {
  EXPECT_EQ(HandOverText({}, "/home/me"), "");
  EXPECT_EQ(HandOverText({"a.mp3", "../b/c.ogg", "/abs/d.mp3", "http://h/s", ""}, "/home/me/music"),
            "play=/home/me/music/a.mp3\x01/home/me/b/c.ogg\x01/abs/d.mp3\x01http://h/s\x01\x01");
}

// A lock and players in memory; Sleep moves a clock.
class TFakeInstancePort : public TInstancePort {
 public:
  bool AcquireInstance(bool force) override {
    ForceSeen = force;
    return !Running || force;
  }
  bool PlayerRunning() override { return Running && (EndsAtMs < 0 || ClockMs < EndsAtMs); }
  int SendToPlayers(std::string_view text, int, const std::function<void(std::string_view)>&) override {
    Sent.emplace_back(text);
    return Running ? 1 : 0;
  }
  void Sleep(int ms) override { ClockMs += ms; }

  bool Running = false;
  bool ForceSeen = false;
  int64_t EndsAtMs = -1;  // when the running player ends, -1 never
  int64_t ClockMs = 0;
  Args Sent;
};

TEST(InstanceTest, TheFirstStartRunsAndALaterOneHandsItsFilesOver) {
  TFakeInstancePort port;
  EXPECT_EQ(ClaimInstance(port, DecideStart({"x.mp3"}), {"x.mp3"}, "/d"), ioRunPlayer);
  EXPECT_TRUE(port.Sent.empty());
  port.Running = true;
  EXPECT_EQ(ClaimInstance(port, DecideStart({"x.mp3"}), {"x.mp3"}, "/d"), ioHandedOver);
  EXPECT_EQ(ClaimInstance(port, DecideStart({}), {}, "/d"), ioHandedOver);
  EXPECT_EQ(port.Sent, (Args{"play=/d/x.mp3\x01", ""}));
  EXPECT_EQ(ClaimInstance(port, DecideStart({"/forcestart"}), {"/forcestart"}, "/d"), ioRunPlayer);
  EXPECT_TRUE(port.ForceSeen);
}

TEST(InstanceTest, CloseRunningInstanceWaitsFourSecondsAtMost) {
  TFakeInstancePort none;
  EXPECT_TRUE(CloseRunningInstance(none));
  EXPECT_TRUE(none.Sent.empty());
  EXPECT_EQ(none.ClockMs, 0);

  TFakeInstancePort ending;
  ending.Running = true;
  ending.EndsAtMs = 1200;
  EXPECT_TRUE(CloseRunningInstance(ending));
  EXPECT_EQ(ending.Sent, (Args{"|seamlessupgrade|"}));
  EXPECT_EQ(ending.ClockMs, 1200);

  TFakeInstancePort stuck;
  stuck.Running = true;
  EXPECT_FALSE(CloseRunningInstance(stuck));
  EXPECT_EQ(stuck.ClockMs, CloseWaitMs);
}

}  // namespace
}  // namespace tunevale
