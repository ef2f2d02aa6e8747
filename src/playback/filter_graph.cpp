#include "playback/filter_graph.h"

#include <algorithm>
#include <cstdio>

#include "playback/volume_scale.h"

namespace tunevale {

namespace {

std::string ExceptionText(int32_t errorCode, const std::string& engineText) {
  char code[16];
  std::snprintf(code, sizeof code, "%x", static_cast<uint32_t>(errorCode));
  std::string text = engineText;
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text + " ($" + code + ").";
}

}  // namespace

EDirectShowException::EDirectShowException(int32_t errorCode, const std::string& engineText)
    : std::runtime_error(ExceptionText(errorCode, engineText)), ErrorCode(errorCode) {}

void TFilterGraph::SetActive(bool active) {
  if (active == IsActive) return;
  if (active) {
    DoSetActive(true);
    IsActive = true;
    ApplyVolume();
    NotifyUsers(gnActiveChanged, 1);
  } else {
    NotifyUsers(gnActiveChanged, 0);
    DoSetActive(false);
    IsActive = false;
  }
}

void TFilterGraph::ClearGraph() {
  if (!IsActive) return;
  Stop();
  DoClearGraph();
}

bool TFilterGraph::Play() {
  NotifyUsers(gnRun, 0);
  DoPlay();
  return true;
}

bool TFilterGraph::Pause() {
  NotifyUsers(gnPause, 0);
  DoPause();
  return true;
}

bool TFilterGraph::Stop() {
  NotifyUsers(gnStop, 0);
  DoStop();
  return true;
}

template <class F>
int32_t TFilterGraph::Rendering(F&& render) {
  if (!IsActive) throw EDirectShowException(kErrUnknown, "The media graph is not active");
  NotifyUsers(gnBeforeRenderFile, 0);
  render();
  ApplyVolume();
  NotifyUsers(gnAfterRenderFile, 0);
  return 0;
}

int32_t TFilterGraph::RenderAs(const std::string& location, TSourceKind kind) {
  return Rendering([&] { DoRender(location, kind); });
}

int32_t TFilterGraph::RenderDevice(const TCaptureDevice& device) {
  return Rendering([&] { DoRenderDevice(device); });
}

int32_t TFilterGraph::RenderFile(const std::string& fileName) { return RenderAs(fileName, TSourceKind::File); }
int32_t TFilterGraph::RenderPicture(const std::string& fileName) {
  return RenderAs(fileName, TSourceKind::Picture);
}
int32_t TFilterGraph::RenderStream(const std::string& url) { return RenderAs(url, TSourceKind::Stream); }

int32_t TFilterGraph::RenderDVD(const std::string& path, int32_t flags) {
  if (!IsActive) return kErrNoDvdBuilder;
  NotifyUsers(gnBeforeRenderDVD, flags);
  const int32_t result = DoRenderDVD(path, flags);
  if (result == 0 || result == 1) {
    NotifyUsers(gnAfterRenderDVD, flags);
    ApplyVolume();
  }
  return result;
}

bool TFilterGraph::QueueNext(const std::string& location) { return IsActive && DoQueueNext(location); }

int32_t TFilterGraph::DurationMs() const {
  int32_t durationMs = 0;
  return QueryDurationMs(durationMs) ? std::max(durationMs, 0) : 0;
}

void TFilterGraph::SetVolume(int32_t volume) {
  VolumeLevel = std::clamp(volume, 0, 10000);
  ApplyVolume();
}

void TFilterGraph::SetLinearVolume(bool linear) {
  UseLinearVolume = linear;
  ApplyVolume();
}

void TFilterGraph::ApplyVolume() {
  if (IsActive) DoApplyVolume(HundredthsDbToGain(VolumeToHundredthsDb(VolumeLevel, UseLinearVolume)));
}

void TFilterGraph::AttachUser(TGraphUser* user) {
  if (std::find(Users.begin(), Users.end(), user) == Users.end()) Users.push_back(user);
}

void TFilterGraph::DetachUser(TGraphUser* user) { std::erase(Users, user); }

void TFilterGraph::NotifyUsers(TGraphNotification code, int32_t param) {
  // A companion may detach itself while being told; walk a copy.
  const std::vector<TGraphUser*> users = Users;
  for (TGraphUser* user : users)
    if (std::find(Users.begin(), Users.end(), user) != Users.end()) user->GraphNotify(code, param);
}

void TFilterGraph::FireEvent(int32_t eventCode, intptr_t param1, intptr_t param2) {
  if (OnDSEvent) OnDSEvent(eventCode, param1, param2);
  if (eventCode == ecComplete && OnGraphComplete) {
    OnGraphComplete(static_cast<int32_t>(param1));
  } else if (eventCode == ecVideoSizeChanged && OnGraphVideoSizeChanged) {
    OnGraphVideoSizeChanged(static_cast<int32_t>(param1 & 0xFFFF), static_cast<int32_t>((param1 >> 16) & 0xFFFF));
  }
}

void TFilterGraph::FireTrackSwitched(const std::string& location) {
  if (OnDSEvent) OnDSEvent(ecTrackSwitched, 0, 0);
  if (OnGraphTrackSwitched) OnGraphTrackSwitched(location);
}

}  // namespace tunevale
