#include "playback/gst_device_source.h"

#include "util/text.h"

namespace tunevale {

namespace {

struct TDeviceSource {
  GstBin Parent;
  GstPad* Pad;  // a ghost of the device element's "src" pad
};

struct TDeviceSourceClass {
  GstBinClass ParentClass;
};

GstStaticPadTemplate SourceTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS_ANY);

GstURIType UriType(GType) { return GST_URI_SRC; }

const gchar* const* UriProtocols(GType) {
  static const gchar* const protocols[] = {"tunevale-device", nullptr};
  return protocols;
}

gchar* GetUri(GstURIHandler*) { return g_strdup(kDeviceSourceUri); }

// The address names no device: the device object comes through SetDeviceSourceDevice.
gboolean SetUri(GstURIHandler*, const gchar*, GError**) { return TRUE; }

void InitUriHandler(gpointer iface, gpointer) {
  auto* handler = static_cast<GstURIHandlerInterface*>(iface);
  handler->get_type = UriType;
  handler->get_protocols = UriProtocols;
  handler->get_uri = GetUri;
  handler->set_uri = SetUri;
}

void InitClass(gpointer klass, gpointer) {
  auto* element = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(element, "Tunevale capture device", "Source/Video",
                                        "Plays the capture device the player hands it", "Tunevale");
  gst_element_class_add_static_pad_template(element, &SourceTemplate);
}

void InitInstance(GTypeInstance* instance, gpointer) {
  auto* self = reinterpret_cast<TDeviceSource*>(instance);
  self->Pad = gst_ghost_pad_new_no_target_from_template("src", gst_static_pad_template_get(&SourceTemplate));
  gst_element_add_pad(GST_ELEMENT(self), self->Pad);
}

GType DeviceSourceType() {
  static const GType type = [] {
    const GTypeInfo info = {sizeof(TDeviceSourceClass), nullptr, nullptr,      InitClass, nullptr, nullptr,
                            sizeof(TDeviceSource),      0,       InitInstance, nullptr};
    const GType t = g_type_register_static(GST_TYPE_BIN, "TunevaleDeviceSource", &info, GTypeFlags(0));
    const GInterfaceInfo uriHandler = {InitUriHandler, nullptr, nullptr};
    g_type_add_interface_static(t, GST_TYPE_URI_HANDLER, &uriHandler);
    return t;
  }();
  return type;
}

}  // namespace

std::vector<TCaptureDevice> ListVideoInputDevices() {
  std::vector<TCaptureDevice> devices;
  GstDeviceMonitor* monitor = gst_device_monitor_new();
  gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
  gst_device_monitor_start(monitor);
  GList* found = gst_device_monitor_get_devices(monitor);
  gst_device_monitor_stop(monitor);
  for (GList* item = found; item; item = item->next) {
    auto* device = GST_DEVICE(item->data);
    gchar* name = gst_device_get_display_name(device);
    devices.push_back({std::string(CutUtf8(name ? name : "", kMaxDeviceNameBytes)),
                       std::shared_ptr<void>(gst_object_ref(device), gst_object_unref)});
    g_free(name);
  }
  g_list_free_full(found, gst_object_unref);
  gst_object_unref(monitor);
  return devices;
}

bool RegisterDeviceSource() {
  static const bool registered =
      gst_element_register(nullptr, "tunevaledevicesrc", GST_RANK_NONE, DeviceSourceType());
  return registered;
}

bool IsDeviceSource(GstElement* source) { return G_TYPE_CHECK_INSTANCE_TYPE(source, DeviceSourceType()); }

void SetDeviceSourceDevice(GstElement* source, GstDevice* device) {
  auto* self = reinterpret_cast<TDeviceSource*>(source);
  GstElement* element = device ? gst_device_create_element(device, nullptr) : nullptr;
  GstPad* pad = element ? gst_element_get_static_pad(element, "src") : nullptr;
  if (!pad) {
    if (element) gst_object_unref(gst_object_ref_sink(element));
    GError* error = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_READ,
                                        "The capture device cannot be opened.");
    gst_element_post_message(source, gst_message_new_error(GST_OBJECT(source), error, nullptr));
    g_error_free(error);
    return;
  }
  gst_bin_add(GST_BIN(source), element);
  gst_ghost_pad_set_target(GST_GHOST_PAD(self->Pad), pad);
  gst_object_unref(pad);
}

}  // namespace tunevale
