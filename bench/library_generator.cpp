#include "library_generator.h"

#include <string_view>

#include "library/library.h"
#include "library/track.h"

namespace tunevale {

namespace {

class TRandom {
 public:
  explicit TRandom(uint64_t seed) : State(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t Next() {  // splitmix64
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi].
  int Range(int lo, int hi) { return lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo + 1)); }
  bool Chance(int percent) { return Range(0, 99) < percent; }

 private:
  uint64_t State;
};

constexpr std::string_view Syllables[] = {
    "ka", "lo", "ven", "mar", "ti", "sun", "ra", "del", "no", "bri", "ght", "sha", "dow", "win",
    "ter", "lu", "mi", "nor", "the", "ro", "val", "een", "fa", "ir", "gold", "en", "si", "lent",
    "da", "wn", "ri", "ver", "sto", "ne", "ha", "rt", "bl", "ue", "mo", "on", "li", "ght", "ca",
    "sa", "blan", "ca", "ze", "phyr", "ö", "lé", "ña", "ø", "ß"};
constexpr std::string_view Joiners[] = {"", "", "", "", "The ", "Los ", "DJ ", "Le "};
constexpr std::string_view Genres[] = {"Rock",       "Pop",   "Jazz",       "Classical", "Electronic",
                                       "Hip-Hop",    "Blues", "Country",    "Folk",      "Metal",
                                       "Soundtrack", "Soul",  "Reggae",     "Punk",      "Ambient",
                                       "Latin",      "World", "Alternative"};
constexpr std::string_view Extensions[] = {".mp3", ".mp3", ".mp3", ".flac", ".m4a", ".ogg", ".wma"};

std::string Word(TRandom& rnd) {
  std::string w;
  const int n = rnd.Range(1, 3);
  for (int i = 0; i < n; ++i) w += Syllables[rnd.Range(0, std::size(Syllables) - 1)];
  if (w[0] >= 'a' && w[0] <= 'z') w[0] = static_cast<char>(w[0] - 'a' + 'A');
  return w;
}

std::string Words(TRandom& rnd, int lo, int hi) {
  std::string s;
  const int n = rnd.Range(lo, hi);
  for (int i = 0; i < n; ++i) {
    if (i) s += ' ';
    s += Word(rnd);
  }
  return s;
}

std::string TwoDigits(int n) { return std::string(1, char('0' + n / 10)) + char('0' + n % 10); }

// Paths use the names as a tagger would file them, "/" being the only character to avoid.
std::string PathPart(std::string_view name) {
  std::string s(name.empty() ? std::string_view("Unknown") : name);
  for (char& c : s)
    if (c == '/') c = '_';
  return s;
}

void AddAlbum(TGeneratedLibrary& lib, TRandom& rnd, const std::string& root, const std::string& artist,
              const std::string& album, std::vector<std::string> titles, int year, int& left) {
  const std::string genre(Genres[rnd.Range(0, std::size(Genres) - 1)]);
  const std::string composer = rnd.Chance(50) ? Words(rnd, 2, 3) : std::string();
  const std::string ext(Extensions[rnd.Range(0, std::size(Extensions) - 1)]);
  const std::string folder = root + "/" + PathPart(artist) + "/" + PathPart(album) + "/";
  for (size_t i = 0; i < titles.size() && left > 0; ++i, --left) {
    TGeneratedTrack t;
    TMetaData& m = t.Meta;
    m.Title = titles[i];
    m.AlbumArtist = artist;
    m.Artist = rnd.Chance(10) ? artist + " feat. " + Words(rnd, 1, 2) : artist;
    m.Album = album;
    m.Genre = genre;
    m.Composer = composer;
    if (rnd.Chance(10)) m.Comment = Words(rnd, 3, 20);
    if (rnd.Chance(5)) m.Publisher = Words(rnd, 1, 3) + " Records";
    if (rnd.Chance(5)) m.Copyright = "(C) " + std::to_string(year > 0 ? year : 2000) + " " + Words(rnd, 1, 2);
    if (rnd.Chance(2)) m.URL = "http://www.example.com/" + Word(rnd);
    m.Track = static_cast<int32_t>(i + 1);
    m.Year = year;
    m.Length = rnd.Range(90, 480) * 1000 + rnd.Range(0, 999);
    m.FileDate = 1262304000 + rnd.Range(0, 400000000);
    t.Path = folder + TwoDigits(static_cast<int>(i + 1)) + " " + PathPart(m.Title) + ext;
    lib.Tracks.push_back(std::move(t));
  }
}

}  // namespace

TGeneratedLibrary GenerateLibrary(const std::string& root, int trackCount, uint32_t seed) {
  TRandom rnd(seed);
  TGeneratedLibrary lib;
  lib.Tracks.reserve(static_cast<size_t>(trackCount));
  int left = trackCount;
  AddAlbum(lib, rnd, root, "ABBA", "Waterloo",
           {"Waterloo", "Sitting in the Palmtree", "King Kong Song", "Hasta Mañana", "My Mama Said",
            "Dance (While the Music Still Goes On)", "Honey, Honey", "Watch Out", "What About Livingstone",
            "Gonna Sing You My Lovesong", "Suzy-Hang-Around"},
           1974, left);
  while (left > 0) {
    const std::string artist = std::string(Joiners[rnd.Range(0, std::size(Joiners) - 1)]) + Words(rnd, 1, 3);
    const int albums = rnd.Chance(90) ? 1 : rnd.Range(2, 3);
    for (int a = 0; a < albums && left > 0; ++a) {
      const std::string album = rnd.Chance(2) ? std::string() : Words(rnd, 1, 4);
      const int year = rnd.Chance(3) ? -1 : rnd.Range(1955, 2024);
      std::vector<std::string> titles(static_cast<size_t>(rnd.Range(1, 20)));
      for (std::string& title : titles) title = Words(rnd, 1, 5);
      AddAlbum(lib, rnd, root, artist, album, std::move(titles), year, left);
    }
  }
  for (int i = 0; i < trackCount / 50; ++i) {
    const std::string name = Words(rnd, 1, 4);
    lib.Videos.push_back({root + "/Videos/" + PathPart(Word(rnd)) + "/" + PathPart(name) + ".mkv", name});
  }
  for (int i = 0; i < trackCount / 300; ++i) {
    const std::string name = Words(rnd, 1, 3);
    lib.Playlists.push_back({root + "/Playlists/" + PathPart(name) + ".m3u", name});
  }
  return lib;
}

void FillLibrary(TLibrary& library, const TGeneratedLibrary& generated) {
  for (const TGeneratedTrack& t : generated.Tracks) library.AddTrack(TTrack::Create(t.Path, "", t.Meta, 0, false));
  for (const TGeneratedItem& v : generated.Videos) library.Videos.Add(v.Path, v.Name, false);
  for (const TGeneratedItem& p : generated.Playlists) library.Playlists.Add(p.Path, p.Name, false);
}

}  // namespace tunevale
