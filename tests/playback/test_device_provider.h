// Capture devices without hardware: a device provider registered in the test
// process that offers the devices a test lists, each making its element from a
// gst-launch description.
#pragma once

#include <gst/gst.h>

#include <string>
#include <utility>
#include <vector>

namespace tunevale::test {

struct TTestDevice {
  std::string Name;
  std::string Element;  // a gst-launch description whose bin gets a "src" ghost pad
};

// The devices the provider offers; set before the monitor probes.
inline std::vector<TTestDevice>& TestDevices() {
  static std::vector<TTestDevice> devices;
  return devices;
}

namespace detail {

struct TDevice {
  GstDevice Parent;
};
struct TDeviceClass {
  GstDeviceClass ParentClass;
};
struct TProvider {
  GstDeviceProvider Parent;
};
struct TProviderClass {
  GstDeviceProviderClass ParentClass;
};

inline GstElement* CreateElement(GstDevice* device, const gchar* name) {
  const auto* description = static_cast<const std::string*>(g_object_get_data(G_OBJECT(device), "element"));
  GstElement* element = gst_parse_bin_from_description(description->c_str(), TRUE, nullptr);
  if (element && name) gst_object_set_name(GST_OBJECT(element), name);
  return element;
}

inline GType DeviceType() {
  static const GType type = [] {
    const GTypeInfo info = {
        sizeof(TDeviceClass),
        nullptr,
        nullptr,
        [](gpointer klass, gpointer) { GST_DEVICE_CLASS(klass)->create_element = CreateElement; },
        nullptr,
        nullptr,
        sizeof(TDevice),
        0,
        nullptr,
        nullptr};
    return g_type_register_static(GST_TYPE_DEVICE, "TunevaleTestDevice", &info, GTypeFlags(0));
  }();
  return type;
}

inline GList* Probe(GstDeviceProvider*) {
  GList* list = nullptr;
  for (const TTestDevice& d : TestDevices()) {
    GstCaps* caps = gst_caps_new_empty_simple("video/x-raw");
    GObject* device = G_OBJECT(g_object_new(DeviceType(), "display-name", d.Name.c_str(), "device-class",
                                            "Video/Source", "caps", caps, nullptr));
    gst_caps_unref(caps);
    g_object_set_data_full(device, "element", new std::string(d.Element),
                           [](gpointer p) { delete static_cast<std::string*>(p); });
    list = g_list_append(list, gst_object_ref_sink(device));
  }
  return list;
}

inline GType ProviderType() {
  static const GType type = [] {
    const GTypeInfo info = {sizeof(TProviderClass),
                            nullptr,
                            nullptr,
                            [](gpointer klass, gpointer) {
                              auto* provider = GST_DEVICE_PROVIDER_CLASS(klass);
                              provider->probe = Probe;
                              gst_device_provider_class_set_static_metadata(
                                  provider, "Test cameras", "Video/Source", "Devices for tests", "Tunevale");
                            },
                            nullptr,
                            nullptr,
                            sizeof(TProvider),
                            0,
                            nullptr,
                            nullptr};
    return g_type_register_static(GST_TYPE_DEVICE_PROVIDER, "TunevaleTestProvider", &info, GTypeFlags(0));
  }();
  return type;
}

}  // namespace detail

// Registers the provider once (GStreamer initialised here if needed).
inline bool RegisterTestDeviceProvider() {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  static const bool registered =
      gst_device_provider_register(nullptr, "tunevaletestcameras", GST_RANK_PRIMARY, detail::ProviderType());
  return registered;
}

}  // namespace tunevale::test
