// A video capture device as the engine lists it. The dialog keeps the list it
// showed and connects the very object chosen, so a camera plugged in while the
// dialog is open cannot shift the choice onto another device.
#pragma once

#include <memory>
#include <string>

namespace tunevale {

inline constexpr size_t kMaxDeviceNameBytes = 255;

struct TCaptureDevice {
  std::string Name;              // the friendly name, at most kMaxDeviceNameBytes (CutUtf8)
  std::shared_ptr<void> Handle;  // the engine's own device object
};

}  // namespace tunevale
