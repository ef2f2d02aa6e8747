#include "platform/hot_key_port.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <cstdlib>

#include "platform/portal_hot_keys.h"
#include "platform/xcb_hot_keys.h"

namespace tunevale {

std::unique_ptr<THotKeyPort> CreateHotKeyPort() {
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland) {
    auto portal = std::make_unique<TPortalHotKeys>(QDBusConnection::sessionBus());
    if (portal->Available() || QGuiApplication::platformName() != "xcb") return portal;
  }
  return TXcbHotKeys::ForApplication();
}

}  // namespace tunevale
