// The shared MIME database as the installer sees it.
#include "platform/qt_mime_type_database.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(QtMimeTypeDatabaseTest, KnownExtensionsHaveTheirTypeAndUnknownOnesNone) {
  const TQtMimeTypeDatabase mime;
  EXPECT_EQ(mime.TypeForExtension("mp3"), "audio/mpeg");
  EXPECT_EQ(mime.TypeForExtension("txt"), "text/plain");
  EXPECT_FALSE(mime.TypeForExtension("ogg").empty());
  EXPECT_EQ(mime.TypeForExtension("ogg"), mime.TypeForExtension("oga"));
  EXPECT_EQ(mime.TypeForExtension("dvr-ms"), "");
  EXPECT_EQ(mime.TypeForExtension("zz9qq"), "");
}

}  // namespace
}  // namespace tunevale
