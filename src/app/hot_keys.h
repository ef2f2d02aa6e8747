// The global hot keys: sixteen keys that reach the player wherever the
// focus is, while EnableGlobalHotkeys is on. Each key is known by its
// virtual-key code, which is also its identifier; the platform grabs them
// through THotKeyPort and reports presses by identifier.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace tunevale {

enum THotKeyModifier : uint8_t { hmNone = 0, hmControl = 1, hmAlt = 2 };

// Virtual-key codes of the keys the player names.
inline constexpr int vkMediaNextTrack = 0xB0;
inline constexpr int vkMediaPrevTrack = 0xB1;
inline constexpr int vkMediaStop = 0xB2;
inline constexpr int vkMediaPlayPause = 0xB3;
inline constexpr int vkF8 = 0x77;
inline constexpr int vkF9 = 0x78;
inline constexpr int vkF10 = 0x79;

struct THotKey {
  int Id = 0;               // the virtual-key code
  uint8_t Modifiers = 0;    // THotKeyModifier flags
  const char* Action = "";  // the window action a press runs
};

// The sixteen keys: Ctrl+Alt with P, F, B, N, L, S, F8, F9, F10, H, O, A,
// and the four media keys alone.
const std::array<THotKey, 16>& GlobalHotKeys();

// The platform's system-wide key grabs. Called on the main thread.
class THotKeyPort {
 public:
  virtual ~THotKeyPort() = default;
  // Grabs `key` for this program; false when the system refuses (another
  // program holds it). Grabbing a key already held by us succeeds.
  virtual bool Register(const THotKey& key) = 0;
  // Lets go of the key with identifier `id`; nothing when it is not held.
  virtual void Unregister(int id) = 0;
  // Set by the owner: called with a held key's identifier on each press.
  std::function<void(int id)> OnHotKey;
};

class THotKeys {
 public:
  // `port` may be null (no hot keys on this platform); it must outlive this.
  // `run` runs a window action by name.
  THotKeys(THotKeyPort* port, std::function<void(const std::string& action)> run);
  ~THotKeys();
  THotKeys(const THotKeys&) = delete;
  THotKeys& operator=(const THotKeys&) = delete;

  // ApplySettings: registers every key not held yet (refusals are ignored
  // and tried again on the next apply), or lets go of all sixteen.
  void Apply(bool enabled);
  bool Held(int id) const;

 private:
  void Pressed(int id);

  THotKeyPort* Port;
  std::function<void(const std::string&)> Run;
  std::array<bool, 16> HeldKeys{};
};

}  // namespace tunevale
