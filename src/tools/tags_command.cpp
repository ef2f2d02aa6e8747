// tunevalectl tags [--json] FILE...: the tags ReadTags gives for each file.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "media/read_tags.h"
#include "tools/commands.h"

namespace tunevale {

namespace {

nlohmann::ordered_json TagsJson(const std::string& path, uint8_t result, const TMetaData& m) {
  nlohmann::ordered_json j;
  j["path"] = path;
  j["result"] = result;
  j["title"] = m.Title;
  j["artist"] = m.Artist;
  j["albumartist"] = m.AlbumArtist;
  j["album"] = m.Album;
  j["genre"] = m.Genre;
  j["publisher"] = m.Publisher;
  j["composer"] = m.Composer;
  j["copyright"] = m.Copyright;
  j["comment"] = m.Comment;
  j["url"] = m.URL;
  j["track"] = m.Track;
  j["year"] = m.Year;
  j["length"] = m.Length;
  return j;
}

}  // namespace

int RunTagsCommand(const TArgs& args) {
  bool json = false;
  std::vector<std::string> files;
  bool optionsDone = false;
  for (const std::string& a : args) {
    if (!optionsDone && a == "--json") {
      json = true;
    } else if (!optionsDone && a == "--") {
      optionsDone = true;
    } else if (!optionsDone && a.size() > 1 && a[0] == '-') {
      std::fprintf(stderr, "tunevalectl tags: unknown option \"%s\"\n", a.c_str());
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (files.empty()) {
    std::fputs("usage: tunevalectl tags [--json] FILE...\n", stderr);
    return 2;
  }
  for (size_t i = 0; i < files.size(); ++i) {
    TMetaData meta;
    const uint8_t result = ReadTags(files[i], meta, false);
    const nlohmann::ordered_json j = TagsJson(files[i], result, meta);
    if (json) {
      // File names are bytes; anything that is not UTF-8 is replaced, never an error.
      std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n';
      continue;
    }
    if (i > 0) std::cout << '\n';
    for (const auto& [key, value] : j.items()) {
      std::cout << key << ": ";
      if (value.is_string())
        std::cout << value.get_ref<const std::string&>();
      else
        std::cout << value.dump();
      std::cout << '\n';
    }
  }
  std::cout.flush();
  return std::cout.good() ? 0 : 1;
}

}  // namespace tunevale
