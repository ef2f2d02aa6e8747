#include "app/remote_frame.h"

#include <cstring>

namespace tunevale {

void AppendFrame(std::string& out, std::string_view text) {
  const size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  out.append(text);
  out.push_back('\0');
}

void TFrameReader::Feed(std::string_view bytes) {
  if (Overflow) return;
  // Compact before growing so a long stream of small frames stays small.
  if (Start > 0 && Start >= Buffer.size() / 2) {
    Buffer.erase(0, Start);
    Start = 0;
  }
  Buffer.append(bytes);
  // Only the frame at Start can be checked here; later ones are checked as
  // the caller drains frames and feeds more, which bounds the buffer.
  const size_t limit = MaxFrameBytes + 1;  // the zero may sit at offset MaxFrameBytes
  if (Buffer.size() - Start >= limit) {
    const bool fits = Scanned < limit && std::memchr(Buffer.data() + Start + Scanned, 0, limit - Scanned) != nullptr;
    if (!fits) {
      Overflow = true;
      Buffer.clear();
      Start = Scanned = 0;
    }
  }
}

std::optional<std::string> TFrameReader::Next() {
  if (Overflow) return std::nullopt;
  const size_t from = Start + Scanned;
  const void* found = from < Buffer.size() ? std::memchr(Buffer.data() + from, 0, Buffer.size() - from) : nullptr;
  if (found == nullptr) {
    Scanned = Buffer.size() - Start;
    return std::nullopt;
  }
  const size_t end = static_cast<const char*>(found) - Buffer.data();
  std::string frame = Buffer.substr(Start, end - Start);
  Start = end + 1;
  Scanned = 0;
  if (Start == Buffer.size()) {
    // The room of a big frame goes back once it is handled.
    if (Buffer.capacity() > KeptCapacity)
      std::string().swap(Buffer);
    else
      Buffer.clear();
    Start = 0;
  }
  return frame;
}

}  // namespace tunevale
