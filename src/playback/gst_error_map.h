// GStreamer failures as the player's error codes (the codes of filter_graph.h).
#pragma once

#include <gst/gst.h>

#include <cstdint>
#include <string>

namespace tunevale {

// What is known about one failure when it is mapped.
struct TGstErrorFacts {
  GQuark Domain = 0;
  int Code = 0;
  bool FromAudioSink = false;   // the sound output failed
  bool NetworkSource = false;   // the media came from a server
  bool DiscSource = false;      // the media came from a disc
  unsigned HttpStatus = 0;      // the server's answer, when it said one
  bool ServerSilent = false;    // a server source that got no answer at all
  bool HostResolves = true;     // for a silent server: its name has an address
  bool MissingMediaDecoder = false;  // a decoder for audio/video/image data is not installed
};

int32_t MapGstError(const TGstErrorFacts& facts);

// The facts of an error message; `audioSink` is the element the graph plays sound through.
TGstErrorFacts ErrorFacts(GstMessage* errorMessage, GstElement* audioSink);

// True for a "missing plugin" element message about a decoder of audio, video or
// picture data (as opposed to data that is no media at all).
bool IsMissingMediaDecoder(GstMessage* message);

// The HTTP status a "http-headers" element message reports; -1 for another message.
int HttpStatusOf(GstMessage* message);

// Whether the host of `uri` has an address (asked only after a server stayed silent).
bool HostResolves(const std::string& uri);

// A local open failure (errno) as a code; 0 for none.
int32_t MapOpenErrno(int error);

}  // namespace tunevale
