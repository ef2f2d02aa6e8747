// Ogg pages, the Vorbis, Opus and FLAC header packets and the last page
// search over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "media/byte_source.h"
#include "media/ogg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tunevale::TMemorySource source(data, size);
  tunevale::TMetaData meta;
  tunevale::ReadOgg(source, meta);
  return 0;
}
