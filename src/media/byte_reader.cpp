#include "media/byte_reader.h"

#include <algorithm>
#include <cstring>

namespace tunevale {

TByteReader::TByteReader(TByteSource& source, size_t fillBytes)
    : Source(source),
      FileSize(std::max<int64_t>(source.Size(), 0)),
      FillBytes(std::min(fillBytes, WindowSize)) {}

void TByteReader::Seek(int64_t position) {
  if (position < 0) throw EReadError("seek before the start");
  Pos = position;
}

size_t TByteReader::FillWindow(int64_t position) {
  const int64_t got = Source.ReadAt(position, Window, FillBytes);
  if (got < 0) throw EReadError("read error");
  WindowStart = position;
  WindowLength = static_cast<size_t>(got);
  return WindowLength;
}

size_t TByteReader::ReadUpTo(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  const size_t wanted = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), Remaining()));
  size_t done = 0;
  while (done < wanted) {
    const int64_t at = Pos + static_cast<int64_t>(done);
    size_t available;
    if (at >= WindowStart && at < WindowStart + static_cast<int64_t>(WindowLength)) {
      available = WindowLength - static_cast<size_t>(at - WindowStart);
    } else if (wanted - done >= FillBytes) {
      // Large reads go straight to the caller's buffer.
      const int64_t got = Source.ReadAt(at, out + done, wanted - done);
      if (got < 0) throw EReadError("read error");
      if (got == 0) break;
      done += static_cast<size_t>(got);
      continue;
    } else {
      available = FillWindow(at);
      if (available == 0) break;
    }
    const size_t n = std::min(available, wanted - done);
    std::memcpy(out + done, Window + (at - WindowStart), n);
    done += n;
  }
  Pos += static_cast<int64_t>(done);
  return done;
}

void TByteReader::Read(void* buffer, size_t count) {
  if (static_cast<int64_t>(count) > Remaining()) throw EReadError("read past the end");
  const int64_t start = Pos;
  if (ReadUpTo(buffer, count) != count) {
    Pos = start;
    throw EReadError("short read");
  }
}

void TByteReader::ReadAt(int64_t offset, void* buffer, size_t count) {
  if (offset < 0 || offset > FileSize || static_cast<int64_t>(count) > FileSize - offset)
    throw EReadError("read past the end");
  if (offset >= WindowStart && offset + static_cast<int64_t>(count) <= WindowStart + static_cast<int64_t>(WindowLength)) {
    std::memcpy(buffer, Window + (offset - WindowStart), count);
    return;
  }
  if (Source.ReadAt(offset, static_cast<uint8_t*>(buffer), count) != static_cast<int64_t>(count))
    throw EReadError("short read");
}

std::string TByteReader::ReadText(size_t count) {
  if (static_cast<int64_t>(count) > Remaining()) throw EReadError("read past the end");
  std::string s(count, '\0');
  Read(s.data(), count);
  return s;
}

uint8_t TByteReader::ReadU8() {
  uint8_t b;
  Read(&b, 1);
  return b;
}

uint16_t TByteReader::ReadU16LE() {
  uint8_t b[2];
  Read(b, 2);
  return static_cast<uint16_t>(b[0] | b[1] << 8);
}

uint32_t TByteReader::ReadU32LE() {
  uint8_t b[4];
  Read(b, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

}  // namespace tunevale
