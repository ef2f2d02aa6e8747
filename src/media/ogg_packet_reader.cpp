#include "media/ogg_packet_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

namespace tunevale {

namespace {

uint64_t LittleEndian(const uint8_t* b, int n) {
  uint64_t v = 0;
  for (int i = n; i-- > 0;) v = v << 8 | b[i];
  return v;
}

}  // namespace

bool ReadOggPage(TByteReader& reader, int64_t offset, TOggPage& page) {
  if (offset < 0 || reader.Size() - offset < TOggPage::HeaderSize) return false;
  uint8_t h[TOggPage::HeaderSize];
  reader.Seek(offset);
  reader.Read(h, sizeof h);
  if (std::memcmp(h, "OggS", 4) != 0 || h[4] != 0) throw EReadError("no Ogg page");
  page.Offset = offset;
  page.Flags = h[5];
  page.Granule = static_cast<int64_t>(LittleEndian(h + 6, 8));
  page.Serial = static_cast<uint32_t>(LittleEndian(h + 14, 4));
  page.SegmentCount = h[26];
  reader.Read(page.Lacing, page.SegmentCount);
  page.DataSize = 0;
  for (int i = 0; i < page.SegmentCount; ++i) page.DataSize += page.Lacing[i];
  page.DataOffset = offset + TOggPage::HeaderSize + page.SegmentCount;
  return true;
}

int64_t LastOggGranule(TByteReader& reader, uint32_t serial, int64_t from) {
  // An encoder's last page is most often short: a small first window finds
  // it with one read, and larger ones after it take any page in one more.
  constexpr int64_t FirstWindow = 4096, Window = 16384;
  uint8_t buffer[Window + TOggPage::HeaderSize - 1];
  for (int64_t end = reader.Size(); end > from;) {
    const int64_t start = std::max(from, end - (end == reader.Size() ? FirstWindow : Window));
    // A header that begins before `end` is read whole.
    const int64_t length = std::min(end + TOggPage::HeaderSize - 1, reader.Size()) - start;
    reader.ReadAt(start, buffer, static_cast<size_t>(length));
    // The last fitting page of the window wins; marks are rare, so a forward search is quick.
    const std::string_view bytes(reinterpret_cast<const char*>(buffer), static_cast<size_t>(length));
    int64_t found = -1;
    for (size_t p = bytes.find("OggS"); p != std::string_view::npos && int64_t(p) < end - start;
         p = bytes.find("OggS", p + 1)) {
      const uint8_t* h = buffer + p;
      if (int64_t(p) + TOggPage::HeaderSize > length || h[4] != 0) continue;
      const auto granule = static_cast<int64_t>(LittleEndian(h + 6, 8));
      if (LittleEndian(h + 14, 4) == serial && granule != -1) found = granule;
    }
    if (found != -1) return found;
    end = start;
  }
  return -1;
}

TOggPacketReader::TOggPacketReader(TByteReader& reader, const TOggPage& first)
    : Reader(reader), Page(first), SegmentPos(first.DataOffset) {}

void TOggPacketReader::StartRun() {
  Pos = SegmentPos;
  RunLeft = 0;
  RunEndsPacket = false;
  while (Segment < Page.SegmentCount) {
    const uint8_t lacing = Page.Lacing[Segment++];
    RunLeft += lacing;
    if (lacing < 255) {
      RunEndsPacket = true;
      break;
    }
  }
  SegmentPos += RunLeft;
}

bool TOggPacketReader::NextPage() {
  TOggPage next;
  for (int64_t at = Page.End(); ReadOggPage(Reader, at, next); at = next.End()) {
    if (next.Serial != Page.Serial) continue;
    Page = next;
    Segment = 0;
    SegmentPos = Page.DataOffset;
    return true;
  }
  return false;
}

bool TOggPacketReader::ContinueOnNextPage() {
  if (RunEndsPacket) return false;
  if (!NextPage()) throw EReadError("the stream ends inside a packet");
  if ((Page.Flags & TOggPage::Continued) == 0) throw EReadError("a packet is not continued");
  StartRun();
  return true;
}

void TOggPacketReader::NeedRun() {
  while (RunLeft == 0)
    if (!ContinueOnNextPage()) throw EReadError("read past the end of a packet");
}

bool TOggPacketReader::NextPacket() {
  if (Started) {
    do {
      Pos += RunLeft;
      RunLeft = 0;
    } while (ContinueOnNextPage());
  }
  Started = true;
  while (Segment >= Page.SegmentCount) {
    if (!NextPage()) return false;
    if ((Page.Flags & TOggPage::Continued) != 0) throw EReadError("a page continues no packet");
  }
  StartRun();
  return true;
}

void TOggPacketReader::Read(void* buffer, size_t count) {
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    NeedRun();
    const size_t n = static_cast<size_t>(std::min<int64_t>(RunLeft, static_cast<int64_t>(count)));
    Reader.Seek(Pos);
    Reader.Read(out, n);
    out += n;
    count -= n;
    Pos += static_cast<int64_t>(n);
    RunLeft -= static_cast<int64_t>(n);
  }
}

void TOggPacketReader::Skip(int64_t count) {
  if (count < 0) throw EReadError("negative skip");
  while (count > 0) {
    NeedRun();
    const int64_t n = std::min(RunLeft, count);
    count -= n;
    Pos += n;
    RunLeft -= n;
  }
}

}  // namespace tunevale
