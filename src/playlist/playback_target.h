// What the playlist needs from the playback controller. The controller sits
// above the playlist and implements this; the playlist never owns playback.
#pragma once

#include <string>

#include "media/media_kind.h"
#include "playlist/track_data.h"

namespace tunevale {

// Engine states as the controller reports them.
enum TPlaybackState : int {
  psNoGraph = 0,
  psStopped = 1,
  psPaused = 2,
  psPlaying = 3,
};

class TPlaybackTarget {
 public:
  virtual ~TPlaybackTarget() = default;
  // Opens and starts one entry and fills `result` (codes in track_data.h). May
  // process pending messages, so the playlist can change while it runs.
  virtual void OpenMedia(const std::string& path, const std::string& caption, TPlayResult& result) = 0;
  // The stop command: sets the stop-requested flag and unloads the media.
  virtual void Stop() = 0;
  // The engine state (TPlaybackState).
  virtual int State() const = 0;
  // True while OpenMedia runs (next and previous wait for it).
  virtual bool IsOpening() const = 0;
  // The stop-requested flag: set by Stop, cleared by ClearStopRequest and each open.
  virtual bool StopRequested() const = 0;
  virtual void ClearStopRequest() = 0;
  // The media kind of the entry now open.
  virtual TMediaKind OpenKind() const = 0;
  // Puts the seek bar at 0 and seeks there ("Repeat" restarting the media).
  virtual void SeekToStart() = 0;
  // True while a seek button is held and a seek step was made during this press.
  virtual bool SeekStepMadeDuringPress() const = 0;
  // Refreshes title, subtitle and time; `refreshIndex` re-reads the playing index.
  virtual void UpdateNowPlayingDisplay(bool refreshIndex) = 0;
  // Shows the tray transport popup for `durationMs`.
  virtual void ShowTrayControls(int durationMs) = 0;
};

inline bool IsPausedOrPlaying(int state) { return state == psPaused || state == psPlaying; }

}  // namespace tunevale
