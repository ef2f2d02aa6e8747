// Global hot keys on X11: passive key grabs on the root window through xcb,
// each key grabbed four times (with and without Caps Lock and Num Lock) so it
// works whatever the lock state. The presses arrive through a native event
// filter of the Qt application. Grabs are checked requests: a key another
// client holds fails that registration only (Xlib's default error handler
// would end the process instead).
#pragma once

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <cstdint>
#include <memory>
#include <vector>

#include "app/hot_keys.h"

namespace tunevale {

// The X keysym of one of the hot keys' virtual-key codes (letters, F8 to
// F10 and the four media keys); 0 for any other code.
uint32_t KeysymOfVirtualKey(int virtualKey);

class TXcbHotKeys final : public THotKeyPort, public QAbstractNativeEventFilter {
 public:
  // Grabs on the root window of `connection`'s first screen. The connection
  // must outlive this object; presses are read from the Qt application's
  // native events, so it must be the application's connection for them to
  // arrive (tests may use their own connection and call nativeEventFilter).
  explicit TXcbHotKeys(xcb_connection_t* connection);
  ~TXcbHotKeys() override;
  TXcbHotKeys(const TXcbHotKeys&) = delete;
  TXcbHotKeys& operator=(const TXcbHotKeys&) = delete;

  // The running Qt application's X connection, or null when it is not on X11.
  static std::unique_ptr<TXcbHotKeys> ForApplication();

  bool Register(const THotKey& key) override;
  void Unregister(int id) override;
  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  struct TGrab {
    int Id;
    xcb_keycode_t Code;
    uint16_t Modifiers;
  };
  xcb_keycode_t KeycodeOf(uint32_t keysym) const;
  void ReadModifierMasks();
  std::vector<uint16_t> LockVariants() const;
  void Ungrab(const TGrab& grab);

  xcb_connection_t* Connection;
  xcb_window_t Root = 0;
  uint16_t AltMask = XCB_MOD_MASK_1;
  uint16_t NumLockMask = 0;
  std::vector<TGrab> Grabs;
  QObject Guard;  // queued presses die with this object
};

}  // namespace tunevale
