#include "app/capture_command.h"

#include <exception>

#include "playback/playback_controller.h"

namespace tunevale {

void StartCaptureActionExecute(TFilterGraph& graph, TPlaybackController& controller,
                               const TCaptureCommandView& view) {
  const std::vector<TCaptureDevice> devices = graph.VideoInputDevices();
  if (devices.empty()) {
    view.ShowMessage(NoCaptureDeviceText, mtInformation);
    return;
  }
  const std::optional<TCaptureDevice> chosen = view.ChooseDevice(devices);
  if (!chosen) return;
  try {
    controller.StartCapture(*chosen);
  } catch (const std::exception&) {
    view.ShowMessage(CaptureConnectErrorText, mtError);
    controller.StopActionExecute();
  }
}

}  // namespace tunevale
