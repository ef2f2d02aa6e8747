// The global hot keys of the session the program runs in.
#pragma once

#include <memory>

#include "app/hot_keys.h"

namespace tunevale {

// A Wayland session with the GlobalShortcuts portal: the portal (the window
// itself runs through XWayland, whose grabs would see only X windows' keys).
// Otherwise on X11: key grabs. Otherwise none.
std::unique_ptr<THotKeyPort> CreateHotKeyPort();

}  // namespace tunevale
