// Tags of a Windows Media (ASF) file: the Content Description object and the
// "WM/" attributes of the Extended Content Description object. No length.
#pragma once

#include <cstdint>

#include "media/byte_source.h"
#include "media/metadata.h"

namespace tunevale {

// Fills `meta` (already cleared) from `source`. Returns the read result: 0,
// also for a file that is not ASF; 1 when the header is truncated or broken
// (fields read before stay).
uint8_t ReadAsf(TByteSource& source, TMetaData& meta);

// "WM/TRACKNUMBER" by its value type: a 16-, 32- or 64-bit number, or the
// leading decimal number of a text; 0 for anything else or an absurd number.
int32_t AsfTrackNumber(uint16_t valueType, const uint8_t* value, size_t length);

}  // namespace tunevale
