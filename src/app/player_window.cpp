// The window's commands that need no widget: the keys it handles besides the
// action shortcuts, the help pages, the file location, the forced second
// start, loading and resetting skins, and the heartbeat's secondary windows.
#include "app/player.h"
#include "app/skin.h"
#include "util/path.h"

namespace tunevale {

bool TPlayer::FormKeyDown(TWindowKey key, bool inTextBox, bool repeat) {
  TPlaybackController& c = ControllerObject;
  // Only seeking uses the auto-repeat (a repeat keeps a key seek going).
  const bool seekKey = key == TWindowKey::F || key == TWindowKey::B || key == TWindowKey::MediaNext ||
                       key == TWindowKey::MediaPrevious;
  if (repeat && !seekKey) return true;
  switch (key) {
    case TWindowKey::F11:
      V().ShowHiddenPage();
      return true;
    case TWindowKey::F:
    case TWindowKey::B:
      if (inTextBox) return false;
      Guarded([&] { key == TWindowKey::F ? c.FastForwardActionExecute() : c.FastBackwardActionExecute(); });
      return true;
    case TWindowKey::MediaNext:
    case TWindowKey::MediaPrevious:
      Guarded([&] { c.StartSeek(key == TWindowKey::MediaNext, false); });
      return true;
    case TWindowKey::MediaStop:
      Guarded([this] { Stop(); });
      return true;
    case TWindowKey::MediaPlayPause:
      Guarded([this] { PlayPause(); });
      return true;
    case TWindowKey::BrowserBack:
      V().RunAction("HistoryBackAction");
      return true;
    case TWindowKey::BrowserForward:
      V().RunAction("HistoryForwardAction");
      return true;
    case TWindowKey::Escape:
      if (c.Dragging())
        c.ProgressBarCancelDrag();
      else
        V().RunAction("ShowHideAction");
      return true;
  }
  return false;
}

bool TPlayer::FormKeyUp(TWindowKey key) {
  TPlaybackController& c = ControllerObject;
  switch (key) {
    case TWindowKey::MediaNext:
    case TWindowKey::MediaPrevious:
      // The next/previous command sees whether the hold seeked, so it comes first.
      Guarded([&] { key == TWindowKey::MediaNext ? Next() : Previous(); });
      c.StopSeek();
      return true;
    case TWindowKey::F:
    case TWindowKey::B:
      c.StopSeek();
      return true;
    default:
      return false;
  }
}

void TPlayer::OpenWebPage(std::string_view page) {
  if (Desktop) Desktop->OpenUrl(HelpPageUrl(AppPaths.ProgramDir, page));
}

void TPlayer::PlaylistOpenFileLocation() {
  const int index = PlaylistObject.ItemIndex();
  if (index >= 0 && index < PlaylistObject.Count())
    OpenFileLocation(PlaylistObject.Row(index).Data->FileName);
}

void TPlayer::OpenFileLocation(const std::string& fileName) {
  const std::string url = FileLocationUrl(fileName);
  if (Desktop && !url.empty()) Desktop->OpenUrl(url);
}

void TPlayer::OpenWebAddress(const std::string& url) {
  if (Desktop && IsWebAddress(url)) Desktop->OpenUrl(url);
}

bool TPlayer::StartOwnExecutable(const std::vector<std::string>& args) {
  return Desktop &&
         Desktop->StartProgram(AppPaths.ExePath.empty() ? "/proc/self/exe" : AppPaths.ExePath, args);
}

void TPlayer::ApplySettings() {
  TSettingsContext context = Context();
  tunevale::ApplySettings(context);
}

void TPlayer::RebuildCaptions() {
  PlaylistObject.ReadTrackInfo(true);
  ControllerObject.UpdateNowPlayingDisplay(false);
}

void TPlayer::HeartbeatSoon() { SchedulerObject.RefreshTimer().SetInterval(10); }

void TPlayer::LoadSkin(const std::string& path) {
  tunevale::LoadSkin(path, ExtractFilePath(AppPaths.LibraryDbPath), SettingsRecord);
  SaveSettingsReporting({.TweaksOnly = true});
  V().TweaksRead(SettingsRecord);
}

void TPlayer::ResetSkinActionExecute() {
  ResetSkin(SettingsRecord);
  SaveSettingsReporting({.TweaksOnly = true});
  V().TweaksRead(SettingsRecord);
}

}  // namespace tunevale
