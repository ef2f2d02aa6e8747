// The ASF header walk and its description objects over arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "media/asf_reader.h"
#include "media/byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tunevale::TMemorySource source(data, size);
  tunevale::TMetaData meta;
  tunevale::ReadAsf(source, meta);
  return 0;
}
