// Without the desktop portal the hot keys fail quietly.
#include "platform/portal_hot_keys.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(PortalHotKeysTest, WithoutAPortalOnTheBusEveryKeyIsRefusedQuietly) {
  static int argc = 1;
  static char name[] = "portal_hot_keys_tests";
  static char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  const QDBusConnection noBus = QDBusConnection::connectToBus("unix:path=/nonexistent/bus", "none");
  TPortalHotKeys keys(noBus);
  EXPECT_FALSE(keys.Available());
  for (const THotKey& key : GlobalHotKeys()) EXPECT_FALSE(keys.Register(key)) << key.Id;
  keys.Unregister('P');
}

}  // namespace
}  // namespace tunevale
