// Registering and releasing the global hot keys, against a fake system.
#include "app/hot_keys.h"

#include <gtest/gtest.h>

#include <map>
#include <set>


namespace tunevale {
namespace {

// Holds what is registered; keys in Taken belong to another program.
class TFakeHotKeyPort : public THotKeyPort {
 public:
  bool Register(const THotKey& key) override {
    if (Taken.count(key.Id)) return false;
    Held[key.Id] = key.Modifiers;
    return true;
  }
  void Unregister(int id) override { Held.erase(id); }
  void Press(int id) {
    if (OnHotKey) OnHotKey(id);
  }
  std::map<int, uint8_t> Held;
  std::set<int> Taken;
};

TEST(HotKeysTest, ApplyGrabsTheSixteenKeysIgnoresRefusalsAndReleasesAll) {
  TFakeHotKeyPort port;
  port.Taken = {'N'};
  std::vector<std::string> ran;
  THotKeys keys(&port, [&](const std::string& action) { ran.push_back(action); });
  keys.Apply(true);
  EXPECT_EQ(port.Held.size(), 15u);
  EXPECT_EQ(port.Held.at('P'), hmControl | hmAlt);
  EXPECT_EQ(port.Held.at(vkF10), hmControl | hmAlt);
  EXPECT_EQ(port.Held.at(vkMediaPlayPause), hmNone);
  EXPECT_FALSE(keys.Held('N'));

  port.Press('P');
  port.Press('N');  // not ours
  port.Press(vkMediaNextTrack);
  port.Press('Q');  // not a hot key at all
  EXPECT_EQ(ran, (std::vector<std::string>{"PlayPauseAction", "NextAction"}));

  // The other program let go: the next apply takes the key.
  port.Taken.clear();
  keys.Apply(true);
  EXPECT_TRUE(keys.Held('N'));
  EXPECT_EQ(port.Held.size(), 16u);

  keys.Apply(false);
  EXPECT_TRUE(port.Held.empty());
  port.Press('P');
  EXPECT_EQ(ran.size(), 2u);
}

}  // namespace
}  // namespace tunevale
