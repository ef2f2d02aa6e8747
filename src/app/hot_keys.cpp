#include "app/hot_keys.h"

namespace tunevale {

namespace {

constexpr uint8_t CtrlAlt = hmControl | hmAlt;

}  // namespace

const std::array<THotKey, 16>& GlobalHotKeys() {
  static const std::array<THotKey, 16> keys{{
      {'P', CtrlAlt, "PlayPauseAction"},
      {'F', CtrlAlt, "FastForwardAction"},
      {'B', CtrlAlt, "FastBackwardAction"},
      {'N', CtrlAlt, "NextAction"},
      {'L', CtrlAlt, "PreviousAction"},
      {'S', CtrlAlt, "StopAction"},
      {vkF8, CtrlAlt, "MuteUnmuteAction"},
      {vkF9, CtrlAlt, "VolumeDownAction"},
      {vkF10, CtrlAlt, "VolumeUpAction"},
      {'H', CtrlAlt, "ShowHideAction"},
      {'O', CtrlAlt, "OpenAction"},
      {'A', CtrlAlt, "AddTracksAction"},
      {vkMediaNextTrack, hmNone, "NextAction"},
      {vkMediaPrevTrack, hmNone, "PreviousAction"},
      {vkMediaStop, hmNone, "StopAction"},
      {vkMediaPlayPause, hmNone, "PlayPauseAction"},
  }};
  return keys;
}

THotKeys::THotKeys(THotKeyPort* port, std::function<void(const std::string& action)> run)
    : Port(port), Run(std::move(run)) {
  if (Port) Port->OnHotKey = [this](int id) { Pressed(id); };
}

THotKeys::~THotKeys() {
  Apply(false);
  if (Port) Port->OnHotKey = nullptr;
}

void THotKeys::Apply(bool enabled) {
  if (!Port) return;
  const auto& keys = GlobalHotKeys();
  for (size_t i = 0; i < keys.size(); ++i) {
    if (enabled && !HeldKeys[i]) {
      HeldKeys[i] = Port->Register(keys[i]);
    } else if (!enabled) {
      Port->Unregister(keys[i].Id);
      HeldKeys[i] = false;
    }
  }
}

bool THotKeys::Held(int id) const {
  const auto& keys = GlobalHotKeys();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].Id == id) return HeldKeys[i];
  return false;
}

void THotKeys::Pressed(int id) {
  const auto& keys = GlobalHotKeys();
  for (size_t i = 0; i < keys.size(); ++i)
    if (keys[i].Id == id && HeldKeys[i] && Run) Run(keys[i].Action);
}

}  // namespace tunevale
