// Remote frames and commands: arbitrary bytes split into frames (in pieces
// chosen by the input) and run through the interpreter against a stand-in
// player. Only malformed-argument errors may come out.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/remote_control.h"
#include "app/remote_frame.h"
#include "support/fake_remote_target.h"
#include "support/fake_runtime.h"

using namespace tunevale;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = 1 + data[0] % 64;
  std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  test::TFakeRuntime runtime;
  test::TFakeRemoteTarget target;
  target.Logging = false;
  target.Artists = {{"a", {{"x", {"t1", "t2"}}}}, {"b", {}}};
  test::TFakeRemoteOutput output;
  TRemoteControl remote(target, output, runtime);
  target.Remote = &remote;
  remote.HandleMessage(1, "registerwindow=1");

  TFrameReader reader(4096);
  while (!bytes.empty() && !reader.Overflowed()) {
    reader.Feed(bytes.substr(0, piece));
    bytes.remove_prefix(std::min(piece, bytes.size()));
    while (auto frame = reader.Next()) {
      runtime.Advance(frame->size() % 700);
      try {
        remote.HandleMessage(2, *frame);
      } catch (const ERemoteCommandError&) {
      }
    }
  }
  return 0;
}
