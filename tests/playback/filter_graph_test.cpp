#include "playback/filter_graph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "playback/fake_filter_graph.h"
#include "playback/volume_scale.h"

namespace tunevale {
namespace {

using test::TFakeFilterGraph;

// Records what a companion is told, as "name:code/param".
class TRecordingUser : public TGraphUser {
 public:
  TRecordingUser(std::string name, std::vector<std::string>& log) : Name(std::move(name)), Log(log) {}
  void GraphNotify(TGraphNotification code, int32_t param) override {
    Log.push_back(Name + ":" + std::to_string(code) + "/" + std::to_string(param));
    if (OnNotify) OnNotify();
  }
  std::function<void()> OnNotify;

 private:
  std::string Name;
  std::vector<std::string>& Log;
};

class FilterGraphTest : public ::testing::Test {
 protected:
  std::vector<std::string> Log;
  TFakeFilterGraph Graph;
  TRecordingUser First{"a", Log};
  TRecordingUser Second{"b", Log};
};

TEST_F(FilterGraphTest, CompanionsHearEveryChangeInAttachOrder) {
  Graph.AttachUser(&First);
  Graph.AttachUser(&Second);
  Graph.AttachUser(&First);  // attaching twice changes nothing
  Graph.SetActive(true);
  Graph.RenderFile("song.mp3");
  Graph.Play();
  Graph.Pause();
  Graph.Stop();
  Graph.SetActive(false);
  const std::vector<std::string> expected = {"a:7/1", "b:7/1", "a:3/0", "b:3/0", "a:4/0", "b:4/0", "a:0/0",
                                             "b:0/0", "a:1/0", "b:1/0", "a:2/0", "b:2/0", "a:7/0", "b:7/0"};
  EXPECT_EQ(Log, expected);
}

TEST_F(FilterGraphTest, FailedOpenRaisesItsCodeAndSkipsTheSuccessNotice) {
  Graph.AttachUser(&First);
  Graph.SetActive(true);
  Log.clear();
  Graph.FailByLocation["bad.mp3"] = {kErrUnknownFormat, "Could not determine type of stream."};
  try {
    Graph.RenderFile("bad.mp3");
    FAIL() << "no exception";
  } catch (const EDirectShowException& e) {
    EXPECT_EQ(e.ErrorCode, kErrUnknownFormat);
    EXPECT_STREQ(e.what(), "Could not determine type of stream ($80040265).");
  }
  EXPECT_EQ(Log, std::vector<std::string>{"a:3/0"});
  EXPECT_EQ(Graph.DurationMs(), 0);
}

TEST_F(FilterGraphTest, DiscOpenTellsCompanionsOnlyOnSuccess) {
  Graph.AttachUser(&First);
  Graph.SetActive(true);
  Log.clear();
  EXPECT_EQ(Graph.RenderDVD("/dev/sr0", 1), kErrNoDvdBuilder);
  Graph.DvdResult = 0;
  EXPECT_EQ(Graph.RenderDVD("", 1), 0);
  EXPECT_EQ(Log, (std::vector<std::string>{"a:5/1", "a:5/1", "a:6/1"}));
}

// The controller sees only the level; the gain reaching each new graph is checked here.
TEST_F(FilterGraphTest, VolumeIsRememberedAndAppliedToEachGraph) {
  Graph.SetVolume(1000);
  EXPECT_LT(Graph.Gain, 0);  // no graph yet: nothing applied
  Graph.SetActive(true);
  EXPECT_NEAR(Graph.Gain, HundredthsDbToGain(-2499), 1e-12);
  Graph.Gain = -1;
  Graph.RenderFile("song.mp3");  // an open re-applies it
  EXPECT_NEAR(Graph.Gain, HundredthsDbToGain(-2499), 1e-12);
}

TEST_F(FilterGraphTest, ACompanionMayDetachWhileBeingTold) {
  Graph.AttachUser(&First);
  Graph.AttachUser(&Second);
  First.OnNotify = [&] { Graph.DetachUser(&Second); };
  Graph.SetActive(true);
  EXPECT_EQ(Log, std::vector<std::string>{"a:7/1"});
}

}  // namespace
}  // namespace tunevale
