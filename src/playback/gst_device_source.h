// Capture devices for the playbin engine: the video sources GStreamer's device
// monitor lists, and a tiny source element that lets playbin play one of them.
// playbin opens sources by address only; the address "tunevale-device://"
// makes it create this element, and the engine then hands it the device object
// chosen (playbin's "source-setup"), which puts the device's own element inside.
#pragma once

#include <gst/gst.h>

#include <vector>

#include "playback/capture_device.h"

namespace tunevale {

inline constexpr const char* kDeviceSourceUri = "tunevale-device://";

// The devices of class "Video/Source" present now, in the monitor's order.
std::vector<TCaptureDevice> ListVideoInputDevices();

// Registers the element (once per process); false when GStreamer refused it.
bool RegisterDeviceSource();

// True when `source` is the device source element.
bool IsDeviceSource(GstElement* source);

// Puts `device`'s element into `source`. When the device makes no element the
// source posts an error, so the open fails instead of waiting.
void SetDeviceSourceDevice(GstElement* source, GstDevice* device);

}  // namespace tunevale
