// tunevalectl library search --db DB --folder DIR... [--hide-incomplete] QUERY:
// loads the library as the player does and prints, as one JSON object, the
// entries the remote library queries ("artists=" ... "playlists=") would
// send for QUERY, with the same values.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/remote_reply.h"
#include "library/library.h"
#include "library/library_database.h"
#include "library/search_results.h"
#include "tools/library_command.h"

namespace tunevale {

namespace {

constexpr int kLoadedSettingsBuild = 18;

int SearchUsage() {
  std::fputs("usage: tunevalectl library search --db DB --folder DIR... [--hide-incomplete] QUERY\n", stderr);
  return 2;
}

// [path, name] pairs; `name` picks the text a reply sends for an entry.
template <class TEntry, class TName>
nlohmann::ordered_json Entries(const std::vector<TEntry*>& entries, TName name) {
  nlohmann::ordered_json out = nlohmann::ordered_json::array();
  for (const TEntry* e : entries) out.push_back({RemoteFieldText(e->Path()), RemoteFieldText(name(*e))});
  return out;
}

}  // namespace

int RunLibrarySearch(const TArgs& args) {
  TLibraryArgs parsed;
  std::string error;
  if (!ParseLibraryArgs(args, true, parsed, error) || parsed.Db.empty() || parsed.Folders.empty() ||
      parsed.Rest.size() != 1 || !parsed.Out.empty()) {
    if (!error.empty()) std::fprintf(stderr, "tunevalectl library search: %s\n", error.c_str());
    return SearchUsage();
  }
  // A missing file would load as an empty library and answer "nothing found".
  std::error_code ec;
  if (!std::filesystem::is_regular_file(parsed.Db, ec)) {
    std::fprintf(stderr, "tunevalectl library search: cannot read %s\n", parsed.Db.c_str());
    return 1;
  }
  const TLibrarySettings settings = LibrarySettingsFor(parsed, parsed.Db);
  TLibrary library(settings, ProgramFolder());
  TLoadOptions options;
  options.SettingsBuild = kLoadedSettingsBuild;
  LoadLibrary(library, parsed.Db, options);

  const TSearchMatcher matcher = MatcherFor(library, parsed.Rest[0]);
  nlohmann::ordered_json artists = nlohmann::ordered_json::array();
  for (const TArtistResult& r : FindArtists(library, matcher))
    artists.push_back({r.ArtistIndex, RemoteFieldText(r.Artist->Name())});
  nlohmann::ordered_json albums = nlohmann::ordered_json::array();
  for (const TAlbumResult& r : FindAlbums(library, matcher))
    albums.push_back({r.ArtistIndex, r.AlbumIndex, RemoteFieldText(r.Album->Name())});
  const auto itemName = [](const TLibraryItem& item) { return item.Name(); };

  nlohmann::ordered_json j;
  j["artists"] = std::move(artists);
  j["albums"] = std::move(albums);
  j["tracks"] = Entries(FindTracks(library, matcher), [](const TTrack& t) { return t.Title(); });
  j["videos"] = Entries(FindItems(library.Videos, matcher), itemName);
  j["playlists"] = Entries(FindItems(library.Playlists, matcher), itemName);
  // Values are bytes; whatever is not UTF-8 is replaced rather than failing.
  std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
  std::cout.flush();
  // Ends here: the kernel takes a big library back at once, where freeing a
  // million tracks one by one takes longer than the search did.
  std::_Exit(std::cout.good() ? 0 : 1);
}

}  // namespace tunevale
