// The packets of one logical stream of an Ogg file, read in order across its
// pages. Pages of other streams in between are stepped over; nothing is read
// but the page headers and the bytes asked for.
#pragma once

#include <cstdint>

#include "media/byte_reader.h"
#include "media/vorbis_comment.h"

namespace tunevale {

struct TOggPage {
  static constexpr int64_t HeaderSize = 27;
  static constexpr uint8_t Continued = 0x01, FirstOfStream = 0x02;

  int64_t Offset = 0;
  uint8_t Flags = 0;
  int64_t Granule = -1;  // -1 on a page where no packet ends
  uint32_t Serial = 0;
  uint8_t SegmentCount = 0;
  uint8_t Lacing[255];
  int64_t DataOffset = 0;
  int64_t DataSize = 0;

  int64_t End() const { return DataOffset + DataSize; }
};

// Reads the page header at `offset`. False when fewer than a header's bytes
// are left; throws EReadError when the bytes there are no Ogg page.
bool ReadOggPage(TByteReader& reader, int64_t offset, TOggPage& page);

// The granule position of the last page of stream `serial` that has one,
// searched backwards from the end of the file down to `from`; -1 when none.
int64_t LastOggGranule(TByteReader& reader, uint32_t serial, int64_t from);

class TOggPacketReader final : public TCommentStream {
 public:
  // The stream of `first`, the page holding its first packet.
  TOggPacketReader(TByteReader& reader, const TOggPage& first);

  // Moves to the start of the next packet, past what is left of the current
  // one. False when the stream has no further page.
  bool NextPacket();

  // Reads within the current packet; past its end they throw EReadError.
  void Read(void* buffer, size_t count) override;
  void Skip(int64_t count) override;
  int64_t Left() const override { return Reader.Size() - Pos; }

 private:
  // Takes the current page's segments from `Segment` on up to the end of a
  // packet or of the page.
  void StartRun();
  // Moves to the packet's run on the stream's next page; false when the
  // packet has ended. Throws when the stream ends or fails to continue it.
  bool ContinueOnNextPage();
  // Makes bytes of the current packet available; throws at its end.
  void NeedRun();
  // The next page of the stream; false at the end of the file.
  bool NextPage();

  TByteReader& Reader;
  TOggPage Page;
  int Segment = 0;            // the next segment of the page not yet in a run
  int64_t SegmentPos = 0;     // file offset of that segment's bytes
  int64_t Pos = 0;            // file offset of the next byte of the packet
  int64_t RunLeft = 0;        // bytes of the packet left on this page
  bool RunEndsPacket = true;  // the packet ends with this run (else it goes on next page)
  bool Started = false;
};

}  // namespace tunevale
