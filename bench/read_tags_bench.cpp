// Tags of two generated corpora (2,000 files each by default), read three ways
// over the same files on a warm cache; each reports files per second:
//   ReadTags   our reader: tags and length, as the library crawl reads them
//   TagLib     TagLib's FileRef with fast audio properties (tags and length)
//   Floor      open, fstat, read the first 4 KiB and the last 128 bytes, close
// The MP3 corpus: about 70% ID3v2.3 (Latin-1 and UTF-16 texts), 15% ID3v2.4
// UTF-8, 10% ID3v1 only, 5% untagged; a third of the files carry a Xing header
// and every 200th file a 200 KB picture frame.
// The FLAC and Ogg corpus (the ...Xiph benchmarks): 40% FLAC, 35% Ogg Vorbis,
// 20% Opus, 5% Ogg FLAC, laid out as their encoders write them; every 200th
// FLAC file has a 200 KB picture block and every 200th Vorbis file a picture
// in its comment packet, which then runs over several pages.
//
//   read_tags_bench [--files N] [google-benchmark flags]
//   e.g. read_tags_bench --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "media/read_tags.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

struct TCorpus {
  std::unique_ptr<test::TTempFolder> Dir;
  std::vector<std::string> Paths;
};

TCorpus* Mp3Corpus = nullptr;
TCorpus* XiphCorpus = nullptr;

std::string BigEndian32(uint32_t v, bool syncsafe) {
  if (syncsafe) v = (v & 0x7F) | (v & 0x3F80) << 1 | (v & 0x1FC000) << 2 | (v & 0xFE00000) << 3;
  return {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)};
}

std::string Utf16(const std::string& ascii) {
  std::string s = "\xFF\xFE";
  for (char c : ascii) s += std::string{c, '\0'};
  return s;
}

void AddFrame(std::string& out, const char* id, const std::string& body, bool v24) {
  out += id;
  out += BigEndian32(uint32_t(body.size()), v24);
  out += std::string(2, '\0');
  out += body;
}

// A text frame: Latin-1 or UTF-16 in v2.3, UTF-8 in v2.4.
void AddText(std::string& out, const char* id, const std::string& text, int kind) {
  if (kind == 2)
    AddFrame(out, id, '\x03' + text, true);
  else if (kind == 1)
    AddFrame(out, id, '\x01' + Utf16(text), false);
  else
    AddFrame(out, id, '\x00' + text, false);
}

// kind: 0 = v2.3 Latin-1, 1 = v2.3 UTF-16, 2 = v2.4 UTF-8.
std::string Id3v2(int i, int kind, bool picture) {
  const std::string artist = "Artist number " + std::to_string(i / 20);
  const std::string album = "Album title " + std::to_string(i / 10);
  std::string f;
  AddText(f, "TIT2", "A track title of ordinary length " + std::to_string(i), kind);
  AddText(f, "TPE1", artist, kind);
  AddText(f, "TPE2", artist, kind);
  AddText(f, "TALB", album, kind);
  AddText(f, "TRCK", std::to_string(i % 10 + 1) + "/10", kind);
  AddText(f, kind == 2 ? "TDRC" : "TYER", "2004", kind);
  AddText(f, "TCON", "(17)", kind);
  AddText(f, "TSSE", "LAME 3.100", kind);
  AddFrame(f, "COMM", std::string("\0eng\0A short comment", 20), kind == 2);
  if (picture) AddFrame(f, "APIC", std::string("\0image/jpeg\0\x03\0", 14) + std::string(200 * 1024, '\x5A'), kind == 2);
  const size_t padding = 1024;  // taggers leave room to grow
  return "ID3" + std::string{char(kind == 2 ? 4 : 3), 0, 0} + BigEndian32(uint32_t(f.size() + padding), true) + f +
         std::string(padding, '\0');
}

std::string Id3v1(int i) {
  std::string t = "TAG";
  auto field = [&](const std::string& v, size_t width) {
    std::string s = v.substr(0, width);
    s.resize(width, '\0');
    t += s;
  };
  field("Old track " + std::to_string(i), 30);
  field("Old artist", 30);
  field("Old album", 30);
  field("1998", 4);
  field("comment", 29);
  t += char(i % 10 + 1);
  t += char(17);
  return t;
}

// Consecutive MPEG-1 Layer III frames (128 kbit/s, 44100 Hz, 417 bytes each),
// the first one holding a Xing block when asked; frame bodies never contain FF
// or start a block with zero, as on real audio.
std::string Audio(std::mt19937& rng, bool xing) {
  constexpr size_t FrameSize = 417;
  const size_t frames = (40 * 1024 + rng() % (80 * 1024)) / FrameSize;
  std::string a;
  a.reserve(frames * FrameSize);
  for (size_t k = 0; k < frames; ++k) {
    std::string frame = "\xFF\xFB\x90\x64";
    if (k == 0) {
      frame += std::string(32, '\0');
      if (xing) frame += "Xing" + BigEndian32(15, false) + BigEndian32(uint32_t(frames), false) +
                         BigEndian32(uint32_t(frames * FrameSize), false);
    }
    while (frame.size() < FrameSize) frame += char(1 + rng() % 254);
    a += frame;
  }
  return a;
}

TCorpus* GenerateMp3Corpus(int files) {
  auto* corpus = new TCorpus;
  corpus->Dir = std::make_unique<test::TTempFolder>();
  std::mt19937 rng(12345);
  for (int i = 0; i < files; ++i) {
    const int slot = i % 20;
    const bool xing = i % 3 == 0;
    std::string bytes;
    if (slot < 14)
      bytes = Id3v2(i, slot % 2, i % 200 == 0) + Audio(rng, xing);
    else if (slot < 17)
      bytes = Id3v2(i, 2, false) + Audio(rng, xing);
    else if (slot < 19)
      bytes = Audio(rng, xing) + Id3v1(i);
    else
      bytes = Audio(rng, xing);
    corpus->Paths.push_back(corpus->Dir->Write("f" + std::to_string(i) + ".mp3", bytes));
  }
  return corpus;
}

// ---- FLAC and Ogg ----

std::string Le32(uint32_t v) {
  return {char(v & 0xFF), char(v >> 8 & 0xFF), char(v >> 16 & 0xFF), char(v >> 24)};
}

std::string CommentBody(int i, const std::string& vendor, const std::string& extra) {
  const std::vector<std::string> fields = {"TITLE=A track title of ordinary length " + std::to_string(i),
                                           "ARTIST=Artist number " + std::to_string(i / 20),
                                           "ALBUMARTIST=Artist number " + std::to_string(i / 20),
                                           "ALBUM=Album title " + std::to_string(i / 10),
                                           "TRACKNUMBER=" + std::to_string(i % 10 + 1),
                                           "TRACKTOTAL=10",
                                           "DATE=2004-05-01",
                                           "GENRE=Rock",
                                           "COMMENT=A short comment",
                                           "REPLAYGAIN_TRACK_GAIN=-6.52 dB",
                                           "REPLAYGAIN_TRACK_PEAK=0.98765432"};
  std::string s =
      Le32(uint32_t(vendor.size())) + vendor + Le32(uint32_t(fields.size() + (extra.empty() ? 0 : 1)));
  for (const std::string& f : fields) s += Le32(uint32_t(f.size())) + f;
  if (!extra.empty()) s += Le32(uint32_t(extra.size())) + extra;
  return s;
}

std::string FlacBlockHeader(int type, size_t length, bool last) {
  return {char((last ? 0x80 : 0) | type), char(length >> 16 & 0xFF), char(length >> 8 & 0xFF),
          char(length & 0xFF)};
}

std::string StreamInfo(uint32_t rate, uint64_t samples) {
  std::string s = std::string{0x10, 0, 0x10, 0, 0, 0, 0x0E, 0, 0x3A, 0x47};
  s += {char(rate >> 12),
        char(rate >> 4 & 0xFF),
        char((rate & 0x0F) << 4 | 0x02),
        char(0xF0 | (samples >> 32 & 0x0F)),
        char(samples >> 24 & 0xFF),
        char(samples >> 16 & 0xFF),
        char(samples >> 8 & 0xFF),
        char(samples & 0xFF)};
  return s + std::string(16, '\x42');
}

// Bytes that never hold an Ogg page mark, as compressed audio rarely does.
std::string Noise(std::mt19937& rng, size_t count) {
  std::string s(count, '\0');
  for (char& c : s) c = char(1 + rng() % 254);
  return s;
}

std::string FlacFile(int i, std::mt19937& rng, bool picture) {
  const std::string comment = CommentBody(i, "reference libFLAC 1.4.2 20221022", "");
  std::string f = "fLaC" + FlacBlockHeader(0, 34, false) + StreamInfo(44100, 44100ull * (30 + rng() % 300));
  f += FlacBlockHeader(3, 18, false) + std::string(18, '\0');  // a one-point seek table
  f += FlacBlockHeader(4, comment.size(), false) + comment;
  if (picture) f += FlacBlockHeader(6, 200 * 1024, false) + std::string(200 * 1024, '\x5A');
  f += FlacBlockHeader(1, 8192, true) + std::string(8192, '\0');  // the encoder's default padding
  return f + "\xFF\xF8" + Noise(rng, 40 * 1024 + rng() % (80 * 1024));
}

uint32_t OggCrc(const std::string& page) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t r = n << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
      t[n] = r;
    }
    return t;
  }();
  uint32_t crc = 0;
  for (char c : page) crc = (crc << 8) ^ table[(crc >> 24) ^ uint8_t(c)];
  return crc;
}

// Lays packets out on pages as encoders do: header packets first, each page
// of audio about `pageBytes` long, a packet that does not fit running on.
class TOggWriter {
 public:
  TOggWriter(uint32_t serial, std::string& out) : Serial(serial), Out(out) {}
  void Packet(const std::string& bytes, int64_t granule) {
    for (size_t at = 0;;) {
      if (Lacing.size() == 255) Flush(at > 0);
      const size_t n = std::min<size_t>(bytes.size() - at, 255);
      Lacing += char(n);
      Data += bytes.substr(at, n);
      at += n;
      if (n < 255) break;
    }
    Granule = granule;
    PacketEnded = true;
  }
  void Flush(bool packetGoesOn = false, bool last = false) {
    if (Lacing.empty()) return;
    std::string page =
        "OggS" + std::string{0, char((Continued ? 1 : 0) | (Sequence == 0 ? 2 : 0) | (last ? 4 : 0))};
    for (int k = 0; k < 8; ++k) page += char(uint64_t(PacketEnded ? Granule : -1) >> (8 * k) & 0xFF);
    page += Le32(Serial) + Le32(Sequence++) + Le32(0) + char(Lacing.size()) + Lacing + Data;
    const uint32_t crc = OggCrc(page);
    for (int k = 0; k < 4; ++k) page[22 + k] = char(crc >> (8 * k) & 0xFF);
    Out += page;
    Continued = packetGoesOn;
    PacketEnded = false;
    Lacing.clear();
    Data.clear();
  }
  size_t PageBytes() const { return Data.size(); }

 private:
  uint32_t Serial;
  std::string& Out;
  std::string Lacing, Data;
  int64_t Granule = 0;
  uint32_t Sequence = 0;
  bool Continued = false;
  bool PacketEnded = false;  // on the page being filled
};

enum TOggKind { okVorbis, okOpus, okFlac };

std::string OggFile(int i, std::mt19937& rng, TOggKind kind, bool picture) {
  std::string out;
  TOggWriter w(uint32_t(rng()), out);
  const std::string extra = picture ? "METADATA_BLOCK_PICTURE=" + std::string(270 * 1024, 'Q') : "";
  uint32_t rate = 44100;
  size_t pageBytes = 4096;
  if (kind == okVorbis) {
    w.Packet("\x01vorbis" + Le32(0) + char(2) + Le32(rate) + Le32(0) + Le32(128000) + Le32(0) + "\xB8\x01",
             0);
    w.Flush();
    w.Packet(
        "\x03vorbis" + CommentBody(i, "Xiph.Org libVorbis I 20200704 (Reducing Environment)", extra) + "\x01",
        0);
    w.Packet("\x05vorbis" + Noise(rng, 3400), 0);  // the setup header
  } else if (kind == okOpus) {
    rate = 48000;
    pageBytes = 8000 + rng() % 8000;  // up to a second of audio on a page
    w.Packet("OpusHead\x01\x02\x38\x01" + Le32(44100) + std::string(3, '\0'), 0);
    w.Flush();
    w.Packet("OpusTags" + CommentBody(i, "libopus 1.3.1", extra), 0);
  } else {
    w.Packet(
        "\x7F"
        "FLAC\x01\x00\x00\x01"
        "fLaC" +
            FlacBlockHeader(0, 34, false) + StreamInfo(rate, 0),
        0);
    w.Flush();
    const std::string comment = CommentBody(i, "reference libFLAC 1.4.2 20221022", extra);
    w.Packet(FlacBlockHeader(4, comment.size(), true) + comment, 0);
  }
  w.Flush();
  const size_t audio = 40 * 1024 + rng() % (80 * 1024);
  int64_t granule = 0;
  for (size_t done = 0; done < audio;) {
    const size_t n = 200 + rng() % 400;
    granule += 1024;
    w.Packet(Noise(rng, n), granule);
    done += n;
    if (w.PageBytes() >= pageBytes) w.Flush();
  }
  w.Flush(false, true);
  return out;
}

TCorpus* GenerateXiphCorpus(int files) {
  auto* corpus = new TCorpus;
  corpus->Dir = std::make_unique<test::TTempFolder>();
  std::mt19937 rng(54321);
  for (int i = 0; i < files; ++i) {
    const int slot = i % 20;
    const bool picture = i % 200 == 0 || i % 200 == 10;  // a FLAC and a Vorbis file
    std::string name = "f" + std::to_string(i);
    std::string bytes;
    if (slot < 8) {
      bytes = FlacFile(i, rng, picture);
      name += ".flac";
    } else if (slot < 15) {
      bytes = OggFile(i, rng, okVorbis, picture);
      name += ".ogg";
    } else if (slot < 19) {
      bytes = OggFile(i, rng, okOpus, false);
      name += ".opus";
    } else {
      bytes = OggFile(i, rng, okFlac, false);
      name += ".oga";
    }
    corpus->Paths.push_back(corpus->Dir->Write(name, bytes));
  }
  return corpus;
}

void ReadTagsLoop(benchmark::State& state, const TCorpus* corpus) {
  int64_t sum = 0;
  for (auto _ : state) {
    for (const std::string& path : corpus->Paths) {
      TMetaData meta;
      sum += ReadTags(path, meta, false) + meta.Length + meta.Track + int64_t(meta.Title.size());
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * int64_t(corpus->Paths.size()));
}

void TagLibLoop(benchmark::State& state, const TCorpus* corpus) {
  int64_t sum = 0;
  for (auto _ : state) {
    for (const std::string& path : corpus->Paths) {
      TagLib::FileRef f(path.c_str(), true, TagLib::AudioProperties::Fast);
      if (f.isNull()) continue;
      if (TagLib::Tag* tag = f.tag()) {
        sum += tag->title().size() + tag->artist().size() + tag->album().size() + tag->genre().size() +
               tag->comment().size() + tag->track() + tag->year();
      }
      if (TagLib::AudioProperties* p = f.audioProperties()) sum += p->lengthInMilliseconds();
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * int64_t(corpus->Paths.size()));
}

void FloorLoop(benchmark::State& state, const TCorpus* corpus) {
  int64_t sum = 0;
  char head[4096], tail[128];
  for (auto _ : state) {
    for (const std::string& path : corpus->Paths) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) continue;
      struct stat st;
      if (::fstat(fd, &st) == 0) {
        sum += ::pread(fd, head, sizeof head, 0);
        if (st.st_size >= 128) sum += ::pread(fd, tail, sizeof tail, st.st_size - 128);
      }
      ::close(fd);
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * int64_t(corpus->Paths.size()));
}

}  // namespace
}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  int files = 2000;
  std::vector<char*> rest = {argv[0]};
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc)
      files = std::max(1, std::atoi(argv[++i]));
    else
      rest.push_back(argv[i]);
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  Mp3Corpus = GenerateMp3Corpus(files);
  XiphCorpus = GenerateXiphCorpus(files);
  std::fprintf(stderr, "corpora: %d files each in %s and %s\n", files, Mp3Corpus->Dir->Path().c_str(),
               XiphCorpus->Dir->Path().c_str());
  for (const auto& [suffix, corpus] : {std::pair{"", Mp3Corpus}, std::pair{"Xiph", XiphCorpus}}) {
    const std::string s = suffix;
    benchmark::RegisterBenchmark(("ReadTags" + s).c_str(), ReadTagsLoop, corpus)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark(("TagLib" + s).c_str(), TagLibLoop, corpus)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
    benchmark::RegisterBenchmark(("Floor" + s).c_str(), FloorLoop, corpus)
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete Mp3Corpus;
  delete XiphCorpus;
  return 0;
}
