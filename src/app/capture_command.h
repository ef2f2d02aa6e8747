// The capture command: the device dialog over the engine's device list, then
// the controller connects the device chosen. The dialog works on the list it
// was shown, so the object connected is the one the user picked.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/message_queue.h"
#include "playback/capture_device.h"

namespace tunevale {

class TFilterGraph;
class TPlaybackController;

inline constexpr const char* NoCaptureDeviceText =
    "You cannot do this because you don't have a capture device installed on your computer.";
inline constexpr const char* CaptureConnectErrorText =
    "Tunevale could not connect to this device. Make sure no other program is using this device.";

struct TCaptureCommandView {
  // Shows the devices (first selected); the one chosen, or nothing on Cancel.
  std::function<std::optional<TCaptureDevice>(const std::vector<TCaptureDevice>& devices)> ChooseDevice;
  std::function<void(const std::string& text, TMessageKind kind)> ShowMessage;
};

void StartCaptureActionExecute(TFilterGraph& graph, TPlaybackController& controller,
                               const TCaptureCommandView& view);

}  // namespace tunevale
