// Any bytes are a "Library.db": loading never fails, and whatever it keeps
// must survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"
#include "library/library_database.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  TLibrarySettings settings;
  settings.LibraryFolders = {"/m", "../v"};

  std::vector<TDbRecord> records;
  ReadDbRecords(bytes, records);
  for (const TDbRecord& r : records) {
    size_t used = 0;
    for (const TDbField& f : r.Fields) used += 5 + f.Value.size();
    if (used > r.Body.size()) std::abort();
  }

  // A program folder of "/" keeps a relative path exactly as long when written back.
  TLibrary first(settings, "/");
  LoadLibraryFromBytes(first, bytes);
  const std::string encoded = EncodeLibrary(first);
  TLibrary second(settings, "/");
  // What we write is never damaged.
  if (!LoadLibraryFromBytes(second, encoded)) std::abort();
  if (second.TrackCount() != first.TrackCount() || second.Videos.Count() != first.Videos.Count() ||
      second.Playlists.Count() != first.Playlists.Count())
    std::abort();
  for (int a = 0; a < first.ArtistCount(); ++a)
    for (int b = 0; b < first.Artist(a)->AlbumCount(); ++b)
      for (int t = 0; t < first.Artist(a)->Album(b)->TrackCount(); ++t)
        if (!second.FindTrack(first.Artist(a)->Album(b)->Track(t)->Path()).Found()) std::abort();
  return 0;
}
