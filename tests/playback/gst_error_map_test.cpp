#include "playback/gst_error_map.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "playback/filter_graph.h"

namespace tunevale {
namespace {

TGstErrorFacts Facts(GQuark domain, int code) {
  TGstErrorFacts f;
  f.Domain = domain;
  f.Code = code;
  return f;
}

TEST(GstErrorMap, AMissingDecoderOnlyWhenTheDataIsMedia) {
  TGstErrorFacts f = Facts(GST_STREAM_ERROR, GST_STREAM_ERROR_CODEC_NOT_FOUND);
  EXPECT_EQ(MapGstError(f), kErrUnknownFormat);
  f.MissingMediaDecoder = true;
  EXPECT_EQ(MapGstError(f), kErrNoDecoder);
  f = Facts(GST_CORE_ERROR, GST_CORE_ERROR_MISSING_PLUGIN);
  f.MissingMediaDecoder = true;
  EXPECT_EQ(MapGstError(f), kErrNoDecoder);
}

TEST(GstErrorMap, TheSoundOutputFailingWinsOverTheErrorKind) {
  TGstErrorFacts f = Facts(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_OPEN_WRITE);
  f.FromAudioSink = true;
  EXPECT_EQ(MapGstError(f), kErrNoAudioOutput);
  f.Code = GST_RESOURCE_ERROR_BUSY;
  EXPECT_EQ(MapGstError(f), kErrNoAudioOutput);
}

TEST(GstErrorMap, ServerFailures) {
  struct Case {
    int code;
    unsigned status;
    int32_t expected;
  };
  const Case cases[] = {
      {GST_RESOURCE_ERROR_NOT_FOUND, 404, kErrUrlNotFound},
      {GST_RESOURCE_ERROR_NOT_FOUND, 410, kErrUrlNotFound},
      {GST_RESOURCE_ERROR_NOT_AUTHORIZED, 403, kErrAccessDenied},
      {GST_RESOURCE_ERROR_OPEN_READ, 401, kErrAccessDenied},
      {GST_RESOURCE_ERROR_OPEN_READ, 500, kErrUnknown},
      {GST_RESOURCE_ERROR_NOT_FOUND, 0, kErrHostNotFound},
      {GST_RESOURCE_ERROR_OPEN_READ, 0, kErrCannotConnect},
      {GST_RESOURCE_ERROR_READ, 0, kErrCannotConnect},
  };
  for (const Case& c : cases) {
    TGstErrorFacts f = Facts(GST_RESOURCE_ERROR, c.code);
    f.NetworkSource = true;
    f.HttpStatus = c.status;
    EXPECT_EQ(MapGstError(f), c.expected) << c.code << " " << c.status;
  }
}

TEST(GstErrorMap, AnEmptyDriveIsNoDisc) {
  TGstErrorFacts f = Facts(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_NOT_FOUND);
  f.DiscSource = true;
  EXPECT_EQ(MapGstError(f), kErrNoDisc);
}

}  // namespace
}  // namespace tunevale
