#include "platform/xcb_hot_keys.h"

#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cstdlib>

namespace tunevale {

namespace {

constexpr uint32_t XK_Num_Lock = 0xFF7F;
constexpr uint32_t XK_Alt_L = 0xFFE9;
constexpr uint32_t XK_F1 = 0xFFBE;

// A reply that frees itself.
template <class T>
using TReply = std::unique_ptr<T, decltype(&std::free)>;

template <class T>
TReply<T> Reply(T* reply) {
  return TReply<T>(reply, &std::free);
}

}  // namespace

uint32_t KeysymOfVirtualKey(int vk) {
  if (vk >= 'A' && vk <= 'Z') return uint32_t(vk - 'A' + 'a');
  if (vk >= 0x70 && vk <= 0x7B) return XK_F1 + uint32_t(vk - 0x70);  // F1 to F12
  switch (vk) {
    case vkMediaNextTrack:
      return 0x1008FF17;  // XF86AudioNext
    case vkMediaPrevTrack:
      return 0x1008FF16;  // XF86AudioPrev
    case vkMediaStop:
      return 0x1008FF15;  // XF86AudioStop
    case vkMediaPlayPause:
      return 0x1008FF14;  // XF86AudioPlay
    default:
      return 0;
  }
}

TXcbHotKeys::TXcbHotKeys(xcb_connection_t* connection) : Connection(connection) {
  if (const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data)
    Root = screen->root;
  ReadModifierMasks();
  if (QCoreApplication::instance()) QCoreApplication::instance()->installNativeEventFilter(this);
}

TXcbHotKeys::~TXcbHotKeys() {
  if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
  for (const TGrab& grab : Grabs) Ungrab(grab);
  xcb_flush(Connection);
}

std::unique_ptr<TXcbHotKeys> TXcbHotKeys::ForApplication() {
  auto* app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!app || !app->connection()) return nullptr;
  return std::make_unique<TXcbHotKeys>(app->connection());
}

xcb_keycode_t TXcbHotKeys::KeycodeOf(uint32_t keysym) const {
  const xcb_setup_t* setup = xcb_get_setup(Connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  auto mapping = Reply(xcb_get_keyboard_mapping_reply(
      Connection, xcb_get_keyboard_mapping(Connection, setup->min_keycode, uint8_t(count)), nullptr));
  if (!mapping || keysym == 0) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  const int perCode = mapping->keysyms_per_keycode;
  for (int code = 0; code < count; ++code)
    for (int i = 0; i < perCode; ++i)
      if (syms[code * perCode + i] == keysym) return xcb_keycode_t(setup->min_keycode + code);
  return 0;
}

void TXcbHotKeys::ReadModifierMasks() {
  auto mapping =
      Reply(xcb_get_modifier_mapping_reply(Connection, xcb_get_modifier_mapping(Connection), nullptr));
  if (!mapping) return;
  const xcb_keycode_t numLock = KeycodeOf(XK_Num_Lock);
  const xcb_keycode_t alt = KeycodeOf(XK_Alt_L);
  const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mapping.get());
  const int perModifier = mapping->keycodes_per_modifier;
  for (int modifier = 0; modifier < 8; ++modifier)
    for (int i = 0; i < perModifier; ++i) {
      const xcb_keycode_t code = codes[modifier * perModifier + i];
      if (code != 0 && code == numLock) NumLockMask = uint16_t(1 << modifier);
      if (code != 0 && code == alt) AltMask = uint16_t(1 << modifier);
    }
}

std::vector<uint16_t> TXcbHotKeys::LockVariants() const {
  std::vector<uint16_t> variants{0, XCB_MOD_MASK_LOCK};
  if (NumLockMask) {
    variants.push_back(NumLockMask);
    variants.push_back(uint16_t(NumLockMask | XCB_MOD_MASK_LOCK));
  }
  return variants;
}

bool TXcbHotKeys::Register(const THotKey& key) {
  const xcb_keycode_t code = KeycodeOf(KeysymOfVirtualKey(key.Id));
  if (code == 0 || Root == 0) return false;
  uint16_t modifiers = 0;
  if (key.Modifiers & hmControl) modifiers |= XCB_MOD_MASK_CONTROL;
  if (key.Modifiers & hmAlt) modifiers |= AltMask;
  if (std::any_of(Grabs.begin(), Grabs.end(), [&](const TGrab& g) { return g.Id == key.Id; })) return true;
  std::vector<xcb_void_cookie_t> cookies;
  for (const uint16_t lock : LockVariants())
    cookies.push_back(xcb_grab_key_checked(Connection, 0, Root, uint16_t(modifiers | lock), code,
                                           XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
  bool refused = false;
  for (const xcb_void_cookie_t cookie : cookies)
    if (xcb_generic_error_t* error = xcb_request_check(Connection, cookie)) {
      refused = true;
      std::free(error);
    }
  const TGrab grab{key.Id, code, modifiers};
  if (refused) {
    // Another client holds the key (or one of its lock variants): let go of ours too.
    Ungrab(grab);
    xcb_flush(Connection);
    return false;
  }
  Grabs.push_back(grab);
  return true;
}

void TXcbHotKeys::Ungrab(const TGrab& grab) {
  for (const uint16_t lock : LockVariants())
    xcb_ungrab_key(Connection, grab.Code, Root, uint16_t(grab.Modifiers | lock));
}

void TXcbHotKeys::Unregister(int id) {
  const auto held = std::find_if(Grabs.begin(), Grabs.end(), [id](const TGrab& g) { return g.Id == id; });
  if (held == Grabs.end()) return;
  Ungrab(*held);
  xcb_flush(Connection);
  Grabs.erase(held);
}

bool TXcbHotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
  if (eventType != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_KEY_PRESS) return false;
  const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
  if (press->event != Root) return false;
  const uint16_t modifiers = press->state & uint16_t(XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT | AltMask);
  for (const TGrab& grab : Grabs) {
    if (grab.Code != press->detail || grab.Modifiers != modifiers) continue;
    // Commands may open dialogs: run them from the loop, not inside the event dispatch.
    QTimer::singleShot(0, &Guard, [this, id = grab.Id] {
      if (OnHotKey) OnHotKey(id);
    });
    return true;
  }
  return false;
}

}  // namespace tunevale
