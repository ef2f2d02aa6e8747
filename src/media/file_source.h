// A TByteSource over an open file: pread of only the bytes asked for.
#pragma once

#include <string>

#include "media/byte_source.h"

namespace tunevale {

class TFileSource final : public TByteSource {
 public:
  TFileSource() = default;
  ~TFileSource() override;
  TFileSource(const TFileSource&) = delete;
  TFileSource& operator=(const TFileSource&) = delete;

  enum TOpenStatus { osOpened, osMissing, osFailed };
  // Opens `path` read-only. A path that does not exist, or names a folder or
  // another non-regular file, is osMissing; any other failure is osFailed.
  TOpenStatus Open(const std::string& path);

  int64_t Size() const override { return FileSize; }
  int64_t ReadAt(int64_t offset, uint8_t* buffer, size_t count) override;

 private:
  int Fd = -1;
  int64_t FileSize = 0;
};

}  // namespace tunevale
