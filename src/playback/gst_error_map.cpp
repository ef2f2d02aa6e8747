#include "playback/gst_error_map.h"

#include <gst/audio/audio.h>
#include <gst/pbutils/missing-plugins.h>

#include <netdb.h>
#include <sys/socket.h>

#include <cerrno>

#include "playback/filter_graph.h"

namespace tunevale {

namespace {

int32_t MapResourceError(const TGstErrorFacts& f) {
  if (f.FromAudioSink) return kErrNoAudioOutput;
  if (f.Code == GST_RESOURCE_ERROR_NOT_AUTHORIZED) return kErrAccessDenied;
  if (f.NetworkSource) {
    if (f.HttpStatus == 401 || f.HttpStatus == 403 || f.HttpStatus == 407) return kErrAccessDenied;
    if (f.HttpStatus == 404 || f.HttpStatus == 410) return kErrUrlNotFound;
    if (f.HttpStatus != 0) return kErrUnknown;
    // Without an answer from a server: the name did not resolve, or nobody listened.
    if (f.Code == GST_RESOURCE_ERROR_NOT_FOUND) return kErrHostNotFound;
    if (f.Code == GST_RESOURCE_ERROR_OPEN_READ || f.Code == GST_RESOURCE_ERROR_READ ||
        f.Code == GST_RESOURCE_ERROR_OPEN_READ_WRITE)
      return kErrCannotConnect;
    return kErrUnknown;
  }
  if (f.DiscSource && (f.Code == GST_RESOURCE_ERROR_NOT_FOUND || f.Code == GST_RESOURCE_ERROR_OPEN_READ))
    return kErrNoDisc;
  if (f.Code == GST_RESOURCE_ERROR_NOT_FOUND) return kErrFileNotFound;
  return kErrUnknown;
}

int32_t MapStreamError(const TGstErrorFacts& f) {
  switch (f.Code) {
    case GST_STREAM_ERROR_TYPE_NOT_FOUND:
    case GST_STREAM_ERROR_WRONG_TYPE:
      return kErrUnknownFormat;
    case GST_STREAM_ERROR_CODEC_NOT_FOUND:
      // Data that is not media at all is an unknown format, not a missing codec.
      return f.MissingMediaDecoder ? kErrNoDecoder : kErrUnknownFormat;
    case GST_STREAM_ERROR_DECODE:
    case GST_STREAM_ERROR_DEMUX:
    case GST_STREAM_ERROR_FORMAT:
      return kErrCorrupted;
    default:
      return kErrUnknown;
  }
}

bool IsAudioOutput(GstObject* object, GstElement* audioSink) {
  for (GstObject* o = object; o; o = GST_OBJECT_PARENT(o)) {
    if (GST_IS_AUDIO_BASE_SINK(o)) return true;
    if (audioSink && o == GST_OBJECT_CAST(audioSink)) return true;
  }
  return false;
}

}  // namespace

int32_t MapGstError(const TGstErrorFacts& facts) {
  // The HTTP source reports a refused connection or an unknown host only as a
  // stopped stream; whether the name resolves tells the two apart.
  if (facts.NetworkSource && facts.ServerSilent && !facts.FromAudioSink && facts.HttpStatus == 0 &&
      (facts.Domain == GST_RESOURCE_ERROR ||
       (facts.Domain == GST_STREAM_ERROR && facts.Code == GST_STREAM_ERROR_FAILED)))
    return facts.HostResolves ? kErrCannotConnect : kErrHostNotFound;
  if (facts.Domain == GST_RESOURCE_ERROR) return MapResourceError(facts);
  if (facts.Domain == GST_STREAM_ERROR) return MapStreamError(facts);
  if (facts.Domain == GST_CORE_ERROR && facts.Code == GST_CORE_ERROR_MISSING_PLUGIN)
    return facts.MissingMediaDecoder ? kErrNoDecoder : kErrUnknownFormat;
  return kErrUnknown;
}

TGstErrorFacts ErrorFacts(GstMessage* errorMessage, GstElement* audioSink) {
  TGstErrorFacts facts;
  GError* error = nullptr;
  gst_message_parse_error(errorMessage, &error, nullptr);
  if (error) {
    facts.Domain = error->domain;
    facts.Code = error->code;
    g_error_free(error);
  }
  facts.FromAudioSink = IsAudioOutput(GST_MESSAGE_SRC(errorMessage), audioSink);
  const GstStructure* details = nullptr;
  gst_message_parse_error_details(errorMessage, &details);
  guint status = 0;
  if (details && gst_structure_get_uint(details, "http-status-code", &status)) facts.HttpStatus = status;
  return facts;
}

bool IsMissingMediaDecoder(GstMessage* message) {
  if (!gst_is_missing_plugin_message(message)) return false;
  const GstStructure* s = gst_message_get_structure(message);
  const gchar* type = gst_structure_get_string(s, "type");
  const GValue* detail = gst_structure_get_value(s, "detail");
  if (!type || g_strcmp0(type, "decoder") != 0 || !detail || !GST_VALUE_HOLDS_CAPS(detail)) return false;
  const GstCaps* caps = gst_value_get_caps(detail);
  if (!caps || gst_caps_get_size(caps) == 0) return false;
  const std::string name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
  return name.starts_with("audio/") || name.starts_with("video/") || name.starts_with("image/");
}

int HttpStatusOf(GstMessage* message) {
  if (GST_MESSAGE_TYPE(message) != GST_MESSAGE_ELEMENT || !gst_message_has_name(message, "http-headers")) return -1;
  guint status = 0;
  return gst_structure_get_uint(gst_message_get_structure(message), "http-status-code", &status)
             ? static_cast<int>(status)
             : -1;
}

bool HostResolves(const std::string& uri) {
  GstUri* parsed = gst_uri_from_string(uri.c_str());
  if (!parsed) return false;
  const std::string host = gst_uri_get_host(parsed) ? gst_uri_get_host(parsed) : "";
  gst_uri_unref(parsed);
  if (host.empty()) return false;
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const bool resolves = getaddrinfo(host.c_str(), nullptr, &hints, &found) == 0;
  if (found) freeaddrinfo(found);
  return resolves;
}

int32_t MapOpenErrno(int error) {
  switch (error) {
    case 0:
      return 0;
    case ENOENT:
      return kErrFileNotFound;
    case ENOTDIR:
      return kErrPathNotFound;
    case EACCES:
    case EPERM:
      return kErrAccessDenied;
    default:
      return kErrUnknown;
  }
}

}  // namespace tunevale
