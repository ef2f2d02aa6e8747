// Tags of a generated corpus of MP3 files (2,000 by default), read three ways
// over the same files on a warm cache; each reports files per second:
//   ReadTags   our reader: tags and length, as the library crawl reads them
//   TagLib     TagLib's FileRef with fast audio properties (tags and length)
//   Floor      open, fstat, read the first 4 KiB and the last 128 bytes, close
// The corpus: about 70% ID3v2.3 (Latin-1 and UTF-16 texts), 15% ID3v2.4 UTF-8,
// 10% ID3v1 only, 5% untagged; a third of the files carry a Xing header and
// every 200th file a 200 KB picture frame.
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

TCorpus* Corpus = nullptr;

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

void GenerateCorpus(int files) {
  Corpus = new TCorpus;
  Corpus->Dir = std::make_unique<test::TTempFolder>();
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
    Corpus->Paths.push_back(Corpus->Dir->Write("f" + std::to_string(i) + ".mp3", bytes));
  }
}

void ReadTagsLoop(benchmark::State& state) {
  int64_t sum = 0;
  for (auto _ : state) {
    for (const std::string& path : Corpus->Paths) {
      TMetaData meta;
      sum += ReadTags(path, meta, false) + meta.Length + meta.Track + int64_t(meta.Title.size());
    }
  }
  benchmark::DoNotOptimize(sum);
  state.SetItemsProcessed(state.iterations() * int64_t(Corpus->Paths.size()));
}

void TagLibLoop(benchmark::State& state) {
  int64_t sum = 0;
  for (auto _ : state) {
    for (const std::string& path : Corpus->Paths) {
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
  state.SetItemsProcessed(state.iterations() * int64_t(Corpus->Paths.size()));
}

void FloorLoop(benchmark::State& state) {
  int64_t sum = 0;
  char head[4096], tail[128];
  for (auto _ : state) {
    for (const std::string& path : Corpus->Paths) {
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
  state.SetItemsProcessed(state.iterations() * int64_t(Corpus->Paths.size()));
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
  GenerateCorpus(files);
  std::fprintf(stderr, "corpus: %d files in %s\n", files, Corpus->Dir->Path().c_str());
  benchmark::RegisterBenchmark("ReadTags", ReadTagsLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  benchmark::RegisterBenchmark("TagLib", TagLibLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  benchmark::RegisterBenchmark("Floor", FloorLoop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  delete Corpus;
  return 0;
}
