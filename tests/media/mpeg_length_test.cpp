#include "media/mpeg_length.h"

#include <gtest/gtest.h>

#include "media/byte_source.h"
#include "tag_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;

int32_t Length(const std::string& bytes, int64_t tagSize, bool trailing = false) {
  TMemorySource source(bytes);
  TByteReader reader(source);
  return MpegLength(reader, tagSize, trailing);
}

int64_t Xing(const std::string& bytes, int64_t tagSize, std::string* header = nullptr) {
  TMemorySource source(bytes);
  TByteReader reader(source);
  uint8_t h[3] = {0, 0, 0};
  const int64_t pos = FindXing(reader, tagSize, h);
  if (header) header->assign(reinterpret_cast<char*>(h), 3);
  return pos;
}

// A Xing block: "Xing", flags, frame count.
std::string XingBlock(uint32_t flags, uint32_t frames) { return "Xing" + BigEndian32(flags) + BigEndian32(frames); }

TEST(MpegLengthTest, ConstantBitrate) {
  const std::string tag(1000, 'T');
  const std::string audio = Mpeg1Layer3Header128 + Audio(1600000 - 4);
  EXPECT_EQ(Length(tag + audio, 1000), 100000);
  // A trailing ID3v1 tag is not audio.
  EXPECT_EQ(Length(tag + audio + std::string(128, 'x'), 1000, true), 100000);
  EXPECT_EQ(Length(tag + audio + std::string(128, 'x'), 1000, false), 100008);
}

TEST(MpegLengthTest, RoundsHalvesToEven) {
  // 32 kbit/s MPEG-1 Layer III: n bytes last n * 8 / 32 = n / 4 ms.
  const std::string header = Bytes({0xFF, 0xFB, 0x10});
  for (const auto& [bytes, ms] : std::initializer_list<std::pair<size_t, int>>{
           {6, 2},     // 1.5
           {10, 2},    // 2.5
           {14, 4},    // 3.5
           {7, 2},     // 1.75
           {5, 1}}) {  // 1.25
    EXPECT_EQ(Length(header + Audio(bytes - 3), 0), ms) << bytes;
  }
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(2.5000001), 3);
}

TEST(MpegLengthTest, XingFrameCount) {
  // 44100 Hz Layer III: 1152 samples a frame. 1000 frames and 400000 bytes from
  // "Xing" on: 400000 / 1000 * 44100 / 144 / 1000 = 122.5 -> 122 kbit/s (even),
  // then 400000 * 8 / 122 = 26229.5... -> 26230 ms.
  const std::string frame = Mpeg1Layer3Header128 + std::string(32, '\0');
  std::string file = frame + XingBlock(1, 1000);
  file += Audio(400000 - (file.size() - 36));
  ASSERT_EQ(Xing(file, 0), 36);
  EXPECT_EQ(Length(file, 0), 26230);
  EXPECT_EQ(Length(frame + XingBlock(0, 1000) + Audio(100000), 0), 0);  // no frame count flag
  EXPECT_EQ(Length(frame + XingBlock(1, 0) + Audio(100000), 0), 0);
  // Reserved layer: no bytes-per-frame factor.
  EXPECT_EQ(Length(Bytes({0xFF, 0xF9, 0x90, 0x64}) + std::string(32, '\0') + XingBlock(1, 10) + Audio(1000), 0), 0);
}

TEST(MpegLengthTest, XingFieldsPastTheEndAreAReadError) {
  const std::string file = Mpeg1Layer3Header128 + std::string(32, '\0') + "Xing" + Bytes({0, 0});
  TMemorySource source(file);
  TByteReader reader(source);
  EXPECT_THROW(MpegLength(reader, 0, false), EReadError);
}

TEST(MpegLengthTest, HeadersThatTellNothing) {
  struct TCase {
    const char* Name;
    std::string Header;
  };
  const TCase cases[] = {
      {"free format", Bytes({0xFF, 0xFB, 0x00, 0x64})},
      {"bitrate index 15", Bytes({0xFF, 0xFB, 0xF0, 0x64})},
      {"reserved version", Bytes({0xFF, 0xEB, 0x90, 0x64})},
      {"reserved layer", Bytes({0xFF, 0xF9, 0x90, 0x64})},
      {"no sync byte anywhere", Bytes({0x12, 0x34, 0x56, 0x78})},
  };
  for (const TCase& c : cases) EXPECT_EQ(Length(c.Header + Audio(50000), 0), 0) << c.Name;
}

TEST(MpegLengthTest, MpegTwoAndTwoPointFiveRows) {
  // MPEG-2 Layer III 64 kbit/s, 22050 Hz: 8000 bytes are one second.
  EXPECT_EQ(Length(Bytes({0xFF, 0xF3, 0x80, 0x64}) + Audio(8000 - 3), 0), 1000);
  // MPEG 2.5 Layer I, 256 kbit/s (the top of the shared Layer I row).
  EXPECT_EQ(Length(Bytes({0xFF, 0xE7, 0xE0, 0x00}) + Audio(32000 - 3), 0), 1000);
}

TEST(MpegLengthTest, HeaderTakenFromFirstSyncByte) {
  // Junk before the first frame: the FF found in the first 1019 bytes is the header.
  const std::string junk(500, '\x01');
  const std::string file = std::string(100, 'T') + junk + Mpeg1Layer3Header128 + Audio(16000);
  std::string header;
  Xing(file, 100, &header);
  EXPECT_EQ(header, Mpeg1Layer3Header128.substr(0, 3));
  EXPECT_EQ(Length(file, 100), RoundHalfEven(double(file.size() - 100) * 8 / 128));
  // An FF at 1-based position 1020 or later is not taken.
  const std::string late = std::string(1019, '\x01') + Mpeg1Layer3Header128 + Audio(16000);
  Xing(late, 0, &header);
  EXPECT_NE(static_cast<uint8_t>(header[0]), 0xFF);
  EXPECT_EQ(Length(late, 0), 0);
}

TEST(MpegLengthTest, XingSearchBlocks) {
  const std::string lead = Mpeg1Layer3Header128;
  // The first two blocks are searched; the third only after a block starting with zero.
  EXPECT_EQ(Xing(lead + Audio(1500) + "Xing", 0), 1504);
  EXPECT_EQ(Xing(lead + Audio(2100) + "Xing" + Audio(100), 0), -1);
  const std::string zeros = lead + Audio(1020) + std::string(3000, '\0') + "Xing";
  EXPECT_EQ(Xing(zeros, 0), 4024);
  // "Xing" across a block boundary is not seen.
  EXPECT_EQ(Xing(lead + Audio(1018) + "Xing" + Audio(100), 0), -1);
  // A short last block is searched only in the bytes read.
  EXPECT_EQ(Xing(lead + "Xin", 0), -1);
  // The search starts at the tag size.
  EXPECT_EQ(Xing("Xing" + lead + Audio(10), 4), -1);
}

TEST(MpegLengthTest, LengthNeverNegative) {
  // A trailing tag inside a tiny audio part would give a negative length.
  EXPECT_EQ(Length(Mpeg1Layer3Header128 + Audio(20), 0, true), 0);
}

}  // namespace
}  // namespace tunevale
