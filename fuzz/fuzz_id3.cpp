// ID3v1/v2 tags and the MPEG length estimate over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "media/byte_source.h"
#include "media/id3_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tunevale::TMemorySource source(data, size);
  tunevale::TMetaData meta;
  tunevale::ReadId3(source, meta);
  return 0;
}
