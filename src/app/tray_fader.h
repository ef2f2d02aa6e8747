// The tray window's fade: hidden -> fading in (a request) -> shown (fully
// opaque) -> fading out (its time passed and the mouse went away) -> hidden; a
// request while fading out fades back in from the opacity reached. Time comes
// from the runtime's clock and the steps from one of its timers, so tests run it
// on a manual clock. The window itself is the host's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "util/runtime.h"

namespace tunevale {

// The longest fade; a hand-edited larger value would leave the window half drawn.
inline constexpr int32_t kMaxTrayFadeMs = 10000;
// How long each caller keeps the tray controls up.
inline constexpr int kTrayHoverMs = 500;       // the mouse over the icon or the window
inline constexpr int kTrayShowHideMs = 2000;   // hiding into the tray; a click on the icon
inline constexpr int kTrayTransportMs = 3000;  // play/pause, seeking
inline constexpr int kTrayOpenMs = 4000;       // an open; full screen and its mouse moves

enum TTrayState : int { tsFadingIn = 0, tsShown = 1, tsFadingOut = 2, tsHidden = 3 };

// What the fader asks of the window and of the player.
class TTrayFaderHost {
 public:
  virtual ~TTrayFaderHost() = default;
  // When requests are ignored.
  virtual bool MainWindowVisible() const = 0;
  virtual bool Terminating() const = 0;
  // Full screen set by the remote "setfullscreen": no strip over it.
  virtual bool RemoteFullScreen() const = 0;
  // The fade time as stored (TrayControlsFadeInTime).
  virtual int32_t FadeTimeMs() const = 0;
  // Hidden -> fading in: refresh the track information and the progress bar.
  virtual void RefreshTrackInfo() = 0;
  // Lay the window out and show it on top without activating it, still transparent.
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  // 0 (transparent) to 255 (opaque).
  virtual void SetAlpha(int alpha) = 0;
  virtual void SetIconTipEmpty() = 0;
  // While shown: the progress bar is being dragged.
  virtual bool DraggingProgress() const = 0;
  // While shown: the cursor is in the window's column (see CursorInTrayColumn).
  virtual bool CursorInColumn() const = 0;
  // While shown: full-screen video, playback not running, and not a picture.
  virtual bool HoldOverPausedVideo() const = 0;
  // Faded out completely (full screen hides the cursor over the video).
  virtual void FadedOut() = 0;
};

// Horizontally strictly inside the window, vertically below its top edge and
// above the bottom of the screen: on the window or between it and the taskbar.
bool CursorInTrayColumn(int cursorX, int cursorY, int windowLeft, int windowTop, int windowWidth,
                        int screenHeight);

// 0 (off) for a stored value of 0 or less, capped at kMaxTrayFadeMs.
int32_t EffectiveFadeTime(int32_t storedMs);

class TTrayFader {
 public:
  TTrayFader(TRuntime& runtime, TTrayFaderHost& host);

  // Keep the window up for at least `durationMs`. Ignored while the main window
  // shows, the fade time is off, the program terminates or the remote full screen is on.
  void ShowTrayControls(int durationMs);
  // The mouse moved over the window.
  void WindowMouseMove();
  // The window was hidden by other means (the main window shows again).
  void WindowHidden();

  TTrayState State() const { return CurrentState; }
  int Alpha() const { return CurrentAlpha; }

 private:
  void Tick();
  int64_t Elapsed() const { return Runtime.MonotonicMs() - StartMs; }
  // round(elapsed / fade x 256).
  int FadeStep() const;
  void SetAlpha(int alpha);
  void StartTimer(int intervalMs);

  TRuntime& Runtime;
  TTrayFaderHost& Host;
  std::unique_ptr<TTimer> Timer;
  TTrayState CurrentState = tsHidden;
  int CurrentAlpha = 0;
  int ShowDurationMs = 0;
  int64_t StartMs = 0;     // of the running fade (backdated when a fade-out turns back)
  int64_t HoldFromMs = 0;  // the show duration counts from here
  int32_t FadeMs = 0;      // the fade time of the running fade
};

}  // namespace tunevale
