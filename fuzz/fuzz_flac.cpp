// FLAC metadata blocks and their Vorbis comment over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "media/byte_source.h"
#include "media/flac_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tunevale::TMemorySource source(data, size);
  tunevale::TMetaData meta;
  tunevale::ReadFlac(source, meta);
  return 0;
}
