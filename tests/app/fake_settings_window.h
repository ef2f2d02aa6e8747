// A main window for the settings passes: switches invert their record flags
// (the panel switch drags the side panels along, as the real one does), the
// playlist is a list of rows, and every call is logged.
#pragma once

#include <string>
#include <vector>

#include "app/settings_window.h"

namespace tunevale::test {

class TFakeSettingsWindow : public TSettingsWindow {
 public:
  explicit TFakeSettingsWindow(TSettings& settings) : S(settings) {}

  void StoreWindowState() override { Log.push_back("store"); }
  void RunSwitch(TWindowSwitch which) override {
    Switches.push_back(which);
    switch (which) {
      case TWindowSwitch::LibraryViewMode:
        S.LibraryViewMode = S.LibraryViewMode == 1 ? 0 : 1;
        break;
      case TWindowSwitch::Mute:
        S.VolumeMuted = !S.VolumeMuted;
        break;
      case TWindowSwitch::Panels:
        S.HidePanels = !S.HidePanels;
        if (S.HideSidePanels != S.HidePanels) RunSwitch(TWindowSwitch::SidePanels);
        break;
      case TWindowSwitch::SidePanels:
        S.HideSidePanels = !S.HideSidePanels;
        break;
      case TWindowSwitch::SmallTopPanel:
        S.SmallTopPanel = !S.SmallTopPanel;
        break;
      case TWindowSwitch::MicroMode:
        S.MicroMode = !S.MicroMode;
        break;
    }
  }
  void WindowSettingsRead() override { Log.push_back("window read"); }
  void TweaksRead() override { Log.push_back("tweaks read"); }
  void SettingsApplied() override { Log.push_back("applied"); }

  void StartPlaylistBusy(const std::string& text) override {
    Log.push_back("busy " + text);
    Cancelled = false;
  }
  void PlaylistBusyTick() override {
    if (CancelAfterRows >= 0 && static_cast<int>(Rows.size()) >= CancelAfterRows) Cancelled = true;
  }
  void EndPlaylistBusy() override { Log.push_back("end busy"); }
  bool PlaylistCancelled() const override { return Cancelled; }
  void AddSavedRow(const TSavedPlaylistRow& row) override { Rows.push_back(row); }
  int PlaylistRowCount() const override { return static_cast<int>(Rows.size()); }
  void MarkNowPlaying(int index) override { Log.push_back("mark " + std::to_string(index)); }
  void ResumeAt(int index, int positionMs) override {
    Log.push_back("resume " + std::to_string(index) + " at " + std::to_string(positionMs));
  }
  void ProcessPendingMessages() override { Log.push_back("pump"); }

  std::vector<TSavedPlaylistRow> SavedPlaylistRows() const override { return Rows; }
  int PlayingIndex() const override { return Playing; }
  bool MediaPausedOrPlaying() const override { return PausedOrPlaying; }
  int PositionMs() const override { return Position; }

  TSettings& S;
  std::vector<std::string> Log;
  std::vector<TWindowSwitch> Switches;
  std::vector<TSavedPlaylistRow> Rows;
  int CancelAfterRows = -1;
  bool Cancelled = false;
  int Playing = -1;
  bool PausedOrPlaying = false;
  int Position = 0;
};

}  // namespace tunevale::test
