#include "app/tray_fader.h"

#include <algorithm>

#include "playback/video_layout.h"

namespace tunevale {

namespace {
// Opacity steps at about a frame's time: finer steps would only be drawn once.
constexpr int kFadeTickMs = 15;
constexpr int kShownTickMs = 100;
}  // namespace

bool CursorInTrayColumn(int cursorX, int cursorY, int windowLeft, int windowTop, int windowWidth,
                        int screenHeight) {
  return cursorX > windowLeft && cursorX < windowLeft + windowWidth && cursorY > windowTop &&
         cursorY < screenHeight;
}

int32_t EffectiveFadeTime(int32_t storedMs) { return std::clamp(storedMs, 0, kMaxTrayFadeMs); }

TTrayFader::TTrayFader(TRuntime& runtime, TTrayFaderHost& host)
    : Runtime(runtime), Host(host), Timer(runtime.CreateTimer([this] { Tick(); })) {}

void TTrayFader::ShowTrayControls(int durationMs) {
  const int32_t fade = EffectiveFadeTime(Host.FadeTimeMs());
  if (Host.MainWindowVisible() || fade == 0 || Host.Terminating() || Host.RemoteFullScreen()) return;
  FadeMs = fade;
  if (CurrentState == tsFadingOut) {
    // Back up from the opacity reached, not from transparent.
    CurrentState = tsFadingIn;
    StartMs = Runtime.MonotonicMs() - int64_t{CurrentAlpha} * FadeMs / 256;
    ShowDurationMs = durationMs;
    HoldFromMs = Runtime.MonotonicMs();
  } else if (CurrentState == tsShown || CurrentState == tsHidden) {
    const bool wasHidden = CurrentState == tsHidden;
    ShowDurationMs = durationMs;
    StartMs = HoldFromMs = Runtime.MonotonicMs();
    StartTimer(wasHidden ? kFadeTickMs : kShownTickMs);
    if (wasHidden) {
      Host.RefreshTrackInfo();
      CurrentState = tsFadingIn;
      SetAlpha(0);
      Host.ShowWindow();
    }
  }
  Host.SetIconTipEmpty();
}

void TTrayFader::WindowMouseMove() {
  if (CurrentState != tsHidden) ShowTrayControls(kTrayHoverMs);
}

void TTrayFader::WindowHidden() {
  Timer->SetEnabled(false);
  CurrentState = tsHidden;
  SetAlpha(0);
}

int TTrayFader::FadeStep() const {
  return static_cast<int>(std::min<int64_t>(RoundDiv(Elapsed() * 256, std::max(FadeMs, 1)), 256));
}

void TTrayFader::Tick() {
  switch (CurrentState) {
    case tsFadingIn:
      if (const int alpha = FadeStep(); alpha < 255) {
        SetAlpha(alpha);
      } else {
        SetAlpha(255);
        CurrentState = tsShown;
        StartTimer(kShownTickMs);
      }
      break;
    case tsShown:
      if (Host.DraggingProgress()) break;
      if (Host.CursorInColumn()) {
        HoldFromMs = Runtime.MonotonicMs();
      } else if (Runtime.MonotonicMs() - HoldFromMs > ShowDurationMs && !Host.HoldOverPausedVideo()) {
        CurrentState = tsFadingOut;
        StartMs = Runtime.MonotonicMs();
        StartTimer(kFadeTickMs);
      }
      break;
    case tsFadingOut:
      if (const int step = FadeStep(); step < 255) {
        SetAlpha(255 - step);
      } else {
        WindowHidden();
        Host.HideWindow();
        Host.FadedOut();
      }
      break;
    case tsHidden:
      Timer->SetEnabled(false);
      break;
  }
}

void TTrayFader::SetAlpha(int alpha) {
  CurrentAlpha = alpha;
  Host.SetAlpha(alpha);
}

void TTrayFader::StartTimer(int intervalMs) {
  Timer->SetInterval(intervalMs);
  Timer->SetEnabled(true);
}

}  // namespace tunevale
