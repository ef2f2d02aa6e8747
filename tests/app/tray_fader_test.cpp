#include "app/tray_fader.h"

#include <gtest/gtest.h>

#include "app/tray_icon_rules.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

class TFakeTrayWindow : public TTrayFaderHost {
 public:
  bool MainWindowVisible() const override { return MainVisible; }
  bool Terminating() const override { return Ending; }
  bool RemoteFullScreen() const override { return RemoteFull; }
  int32_t FadeTimeMs() const override { return Fade; }
  void RefreshTrackInfo() override { ++Refreshes; }
  void ShowWindow() override { Visible = true; }
  void HideWindow() override { Visible = false; }
  void SetAlpha(int alpha) override { Alpha = alpha; }
  void SetIconTipEmpty() override { ++EmptyTips; }
  bool DraggingProgress() const override { return Dragging; }
  bool CursorInColumn() const override { return InColumn; }
  bool HoldOverPausedVideo() const override { return Hold; }
  void FadedOut() override { ++FadeOuts; }

  bool MainVisible = false, Ending = false, RemoteFull = false, Dragging = false, InColumn = false,
       Hold = false;
  int32_t Fade = 300;
  bool Visible = false;
  int Alpha = -1, Refreshes = 0, EmptyTips = 0, FadeOuts = 0;
};

class TrayFaderTest : public ::testing::Test {
 protected:
  test::TFakeRuntime Runtime;
  TFakeTrayWindow Window;
  TTrayFader Fader{Runtime, Window};
};

TEST_F(TrayFaderTest, FadesInStaysForItsTimeAndFadesOut) {
  Fader.ShowTrayControls(kTrayHoverMs);
  EXPECT_TRUE(Window.Visible);
  EXPECT_EQ(Window.Alpha, 0);
  EXPECT_EQ(Window.Refreshes, 1);
  EXPECT_EQ(Window.EmptyTips, 1);
  Runtime.Advance(150);
  EXPECT_EQ(Window.Alpha, 128);  // round(150 / 300 x 256)
  EXPECT_EQ(Fader.State(), tsFadingIn);
  Runtime.Advance(150);
  EXPECT_EQ(Window.Alpha, 255);
  EXPECT_EQ(Fader.State(), tsShown);
  Runtime.Advance(kTrayHoverMs - 300);  // the duration counts from the request
  EXPECT_EQ(Fader.State(), tsShown);
  Runtime.Advance(100);
  EXPECT_EQ(Fader.State(), tsFadingOut);
  Runtime.Advance(150);
  EXPECT_LT(Window.Alpha, 255);
  EXPECT_TRUE(Window.Visible);
  Runtime.Advance(200);
  EXPECT_EQ(Fader.State(), tsHidden);
  EXPECT_FALSE(Window.Visible);
  EXPECT_EQ(Window.Alpha, 0);
  EXPECT_EQ(Window.FadeOuts, 1);
}

TEST_F(TrayFaderTest, ARequestDuringTheFadeOutFadesBackInFromWhereItWas) {
  Fader.ShowTrayControls(kTrayHoverMs);
  Runtime.Advance(700);  // shown, then 100 ms into the fade-out
  ASSERT_EQ(Fader.State(), tsFadingOut);
  const int reached = Window.Alpha;
  ASSERT_GT(reached, 0);
  Fader.ShowTrayControls(kTrayTransportMs);
  EXPECT_EQ(Fader.State(), tsFadingIn);
  EXPECT_EQ(Window.Refreshes, 1);  // not hidden meanwhile: no new show
  Runtime.Advance(15);
  EXPECT_GE(Window.Alpha, reached);
  Runtime.Advance(300);
  EXPECT_EQ(Fader.State(), tsShown);
  Runtime.Advance(kTrayTransportMs - 400);  // the new duration holds
  EXPECT_EQ(Fader.State(), tsShown);
}

TEST_F(TrayFaderTest, IgnoredWhenOffOrNotWanted) {
  const struct {
    const char* Case;
    void (*Set)(TFakeTrayWindow&);
  } cases[] = {
      {"fade time 0", [](TFakeTrayWindow& w) { w.Fade = 0; }},
      {"negative fade time", [](TFakeTrayWindow& w) { w.Fade = -300; }},
      {"main window shows", [](TFakeTrayWindow& w) { w.MainVisible = true; }},
      {"terminating", [](TFakeTrayWindow& w) { w.Ending = true; }},
      {"remote full screen", [](TFakeTrayWindow& w) { w.RemoteFull = true; }},
  };
  for (const auto& c : cases) {
    test::TFakeRuntime runtime;
    TFakeTrayWindow window;
    c.Set(window);
    TTrayFader fader(runtime, window);
    fader.ShowTrayControls(kTrayOpenMs);
    runtime.Advance(1000);
    EXPECT_FALSE(window.Visible) << c.Case;
    EXPECT_EQ(fader.State(), tsHidden) << c.Case;
    EXPECT_EQ(window.EmptyTips, 0) << c.Case;
  }
}

TEST_F(TrayFaderTest, TheMouseInTheColumnADragAndAPausedFullScreenVideoKeepItShown) {
  for (bool TFakeTrayWindow::*keep :
       {&TFakeTrayWindow::InColumn, &TFakeTrayWindow::Dragging, &TFakeTrayWindow::Hold}) {
    test::TFakeRuntime runtime;
    TFakeTrayWindow window;
    TTrayFader fader(runtime, window);
    fader.ShowTrayControls(kTrayHoverMs);
    window.*keep = true;
    runtime.Advance(60000);
    EXPECT_EQ(fader.State(), tsShown);
    window.*keep = false;
    runtime.Advance(kTrayHoverMs + 100);  // the column restarted the duration; the others only held
    runtime.Advance(400);
    EXPECT_EQ(fader.State(), tsHidden);
  }
}

TEST_F(TrayFaderTest, LongFadesAreCappedAndAMouseMoveOnlyKeepsAShownWindow) {
  EXPECT_EQ(EffectiveFadeTime(1000000), kMaxTrayFadeMs);
  EXPECT_EQ(EffectiveFadeTime(-5), 0);
  Window.Fade = 1000000;
  Fader.WindowMouseMove();
  EXPECT_EQ(Fader.State(), tsHidden);
  Fader.ShowTrayControls(kTrayHoverMs);
  Runtime.Advance(kMaxTrayFadeMs);
  EXPECT_EQ(Fader.State(), tsShown);
  Fader.WindowHidden();
  EXPECT_EQ(Fader.State(), tsHidden);
  EXPECT_EQ(Window.Alpha, 0);
}

TEST(TrayColumnTest, TheColumnRunsFromTheWindowsTopToTheScreensBottom) {
  // A window at 100..200 x, top 500, on a screen 800 high.
  EXPECT_TRUE(CursorInTrayColumn(150, 790, 100, 500, 100, 800));
  EXPECT_TRUE(CursorInTrayColumn(101, 501, 100, 500, 100, 800));
  EXPECT_FALSE(CursorInTrayColumn(100, 600, 100, 500, 100, 800));
  EXPECT_FALSE(CursorInTrayColumn(200, 600, 100, 500, 100, 800));
  EXPECT_FALSE(CursorInTrayColumn(150, 500, 100, 500, 100, 800));
  EXPECT_FALSE(CursorInTrayColumn(150, 800, 100, 500, 100, 800));
}

TEST(TrayIconRulesTest, ASingleClickAlsoShowsTheControlsForTheHoverNoTraySends) {
  for (const auto& [click, expected] : std::vector<std::pair<TTrayClick, std::string>>{
           {tcSingle, "front 2000 "}, {tcDouble, "showhide "}, {tcContext, "menu "}, {tcMiddle, ""}}) {
    std::string done;
    const TTrayIconRules rules{[&] { done += "showhide "; }, [&] { done += "front "; },
                               [&](int ms) { done += std::to_string(ms) + " "; }, [&] { done += "menu "; },
                               nullptr};
    rules.Clicked(click);
    EXPECT_EQ(done, expected) << click;
  }
}

}  // namespace
}  // namespace tunevale
