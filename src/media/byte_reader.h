// A positioned, buffered stream over a TByteSource. Small reads are served
// from one window of the source so that reading a tag costs a read or two;
// reads that cannot be completed throw EReadError, which the tag readers turn
// into read result 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "media/byte_source.h"

namespace tunevale {

class EReadError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TByteReader {
 public:
  // Window size: large enough for a typical tag, the first audio frame and
  // the two blocks searched for a Xing header in one read.
  static constexpr size_t WindowSize = 8192;

  // `fillBytes` (at most WindowSize) is how much each read into the window
  // asks for: less suits formats whose headers are small.
  explicit TByteReader(TByteSource& source, size_t fillBytes = WindowSize);

  int64_t Size() const { return FileSize; }
  int64_t Position() const { return Pos; }
  // Bytes left from the position to the end (0 when the position is past it).
  int64_t Remaining() const { return Pos < FileSize ? FileSize - Pos : 0; }

  // The position may be set past the end; only a later read fails.
  void Seek(int64_t position);
  void Skip(int64_t count) { Seek(Pos + count); }

  // Reads exactly `count` bytes or throws EReadError (position then unchanged).
  void Read(void* buffer, size_t count);
  // Reads up to `count` bytes; returns how many were read.
  size_t ReadUpTo(void* buffer, size_t count);
  // Reads exactly `count` bytes into a text; `count` is checked against the
  // bytes the source has before anything is allocated.
  std::string ReadText(size_t count);

  // Reads exactly `count` bytes at `offset` without moving the position or the
  // window: for a look at the file's end between reads near its start.
  void ReadAt(int64_t offset, void* buffer, size_t count);

  uint8_t ReadU8();
  uint16_t ReadU16LE();
  uint32_t ReadU32LE();

 private:
  // Fills the window so that it starts at `position`; returns the bytes available there.
  size_t FillWindow(int64_t position);

  TByteSource& Source;
  int64_t FileSize;
  size_t FillBytes;
  int64_t Pos = 0;
  int64_t WindowStart = 0;
  size_t WindowLength = 0;
  uint8_t Window[WindowSize];
};

}  // namespace tunevale
