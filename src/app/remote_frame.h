// Frames of the remote protocol: the text bytes followed by one zero byte.
// An empty frame (a lone zero) ends the answer to each command. Plain byte
// handling, no sockets, so the transport and the fuzzer share it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tunevale {

// Appends `text` as one frame. A text is read as zero-terminated by the
// receiver, so anything after an embedded zero is dropped here rather than
// turning into further (possibly empty) frames.
void AppendFrame(std::string& out, std::string_view text);

// Splits a byte stream into frames. Bytes arrive in arbitrary pieces.
class TFrameReader {
 public:
  // A frame longer than `maxFrameBytes` marks the stream as overflowed: the
  // reader keeps no more than that many bytes of an unfinished frame.
  explicit TFrameReader(size_t maxFrameBytes = DefaultMaxFrameBytes) : MaxFrameBytes(maxFrameBytes) {}

  static constexpr size_t DefaultMaxFrameBytes = 64u << 20;
  static constexpr size_t KeptCapacity = 64u << 10;

  void Feed(std::string_view bytes);
  // The next complete frame without its zero, or nothing when none is complete.
  std::optional<std::string> Next();
  // True once an unfinished frame grew past the limit; the stream is unusable.
  bool Overflowed() const { return Overflow; }
  // Bytes of an unfinished frame that are held.
  size_t Pending() const { return Buffer.size() - Start; }

 private:
  size_t MaxFrameBytes;
  std::string Buffer;
  size_t Start = 0;    // first byte of the next frame in Buffer
  size_t Scanned = 0;  // bytes after Start already known to hold no zero
  bool Overflow = false;
};

}  // namespace tunevale
