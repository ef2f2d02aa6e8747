// A playback controller for playlist tests: opens succeed unless a path is
// listed as failing; it records what it opened and how it was driven.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "media/media_kind.h"
#include "playlist/playback_target.h"
#include "playlist/playlist.h"
#include "util/text.h"

namespace tunevale::test {

class TFakePlayback : public TPlaybackTarget {
 public:
  explicit TFakePlayback(TPlaylist& playlist) : Playlist(playlist) { Playlist.SetPlaybackTarget(this); }
  ~TFakePlayback() override { Playlist.SetPlaybackTarget(nullptr); }

  void OpenMedia(const std::string& path, const std::string& caption, TPlayResult& result) override {
    Opened.push_back(path);
    Captions.push_back(caption);
    result = TPlayResult{};
    if (EndsWith(path, ".html")) {
      result.Code = prWebPage;
      return;
    }
    if (EndsWith(path, ".m3u")) {  // expanded by the test's hook, which plays its first row
      result.Code = prPlaylistExpanded;
      if (ExpandPlaylist) ExpandPlaylist(path);
      return;
    }
    Opening = true;
    StopRequestedFlag = false;
    if (DuringOpen) DuringOpen(path);
    Opening = false;
    if (auto it = Failing.find(path); it != Failing.end()) {
      result = it->second;
      return;
    }
    if (StopRequestedFlag) return;  // built but not started
    StateValue = psPlaying;
    Kind = EndsWith(path, ".jpg") ? mkPicture : mkMusic;
    Playlist.ResetConsecutiveFailures();
  }
  void Stop() override {
    StopRequestedFlag = true;
    StateValue = psNoGraph;
    ++Stops;
  }
  int State() const override { return StateValue; }
  bool IsOpening() const override { return Opening; }
  bool StopRequested() const override { return StopRequestedFlag; }
  void ClearStopRequest() override { StopRequestedFlag = false; }
  TMediaKind OpenKind() const override { return Kind; }
  void SeekToStart() override { ++SeeksToStart; }
  bool SeekStepMadeDuringPress() const override { return SeekStepMade; }
  void UpdateNowPlayingDisplay(bool) override { ++DisplayUpdates; }
  void ShowTrayControls(int durationMs) override { TrayRequests.push_back(durationMs); }

  void Fail(const std::string& path, int32_t code = int32_t(0x80040265), std::string message = "unknown format") {
    Failing[path] = TPlayResult{code, std::move(message)};
  }

  TPlaylist& Playlist;
  std::map<std::string, TPlayResult> Failing;
  std::vector<std::string> Opened;
  std::vector<std::string> Captions;
  std::vector<int> TrayRequests;
  std::function<void(const std::string&)> DuringOpen;  // what the user does while an open runs
  std::function<void(const std::string&)> ExpandPlaylist;
  int StateValue = psNoGraph;
  TMediaKind Kind = mkUnknown;
  bool Opening = false;
  bool StopRequestedFlag = false;
  bool SeekStepMade = false;
  int Stops = 0;
  int SeeksToStart = 0;
  int DisplayUpdates = 0;
};

// Records what the playlist tells its views.
class TRecordingListener : public TPlaylistListener {
 public:
  void PlaylistRowsChanged(const TPlaylistChange& change) override { Changes.push_back(change); }
  void PlaylistChanged() override { ++PlaylistChangedCount; }
  void ScrollToRowRequested(int index) override { ScrollRequests.push_back(index); }
  void PlaylistBusyChanged(bool busy, const std::string& text) override {
    BusyEvents.push_back((busy ? "+" : "-") + text);
  }
  void SelectionActionsChanged(bool enabled) override { ActionStates.push_back(enabled); }
  void PlayModeChanged(uint8_t mode) override { Modes.push_back(mode); }

  std::vector<TPlaylistChange> Changes;
  int PlaylistChangedCount = 0;
  std::vector<int> ScrollRequests;
  std::vector<std::string> BusyEvents;
  std::vector<bool> ActionStates;
  std::vector<int> Modes;
};

}  // namespace tunevale::test
