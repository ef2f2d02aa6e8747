// A full refill of the five library lists (artists, albums, tracks, videos,
// playlists) for typical queries on a generated 100,000-track library,
// against SQLite scanning the same rows with LIKE '%term%' over the same
// columns in the same run.
//
//   library_search_bench [--tracks N] [google-benchmark flags]
//
// The SQLite side: every term of the query becomes "(c1 LIKE '%term%' OR c2
// LIKE ...)" over the columns the term searches (all eight track columns, or
// the one its prefix names; name and path for videos and playlists), the
// terms joined by AND; every matching rowid is collected, as the refill
// collects its rows. It does less than the refill: no artists or albums lists.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench_runtime.h"
#include "bench_search_host.h"
#include "library/library.h"
#include "library/library_database.h"
#include "library/library_search.h"
#include "library/search_field.h"
#include "library/search_query.h"
#include "library_generator.h"

namespace tunevale {
namespace {

constexpr const char* kQueries[] = {
    "", "abba", "title:\"waterloo\"", "year:199", "album:<unknown>", "foo:bar", "abba waterloo", "ro ven"};

struct TBenchState {
  TLibrarySettings Settings;
  std::unique_ptr<TLibrary> Library;
  sqlite3* Db = nullptr;
};

TBenchState* State = nullptr;

void Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(State->Db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::fprintf(stderr, "sqlite: %s\n", error ? error : "?");
    std::exit(1);
  }
}

void Setup(int trackCount) {
  State = new TBenchState;
  State->Settings.LibraryFolders = {"/srv/music"};
  const TGeneratedLibrary generated = GenerateLibrary("/srv/music", trackCount);
  {
    // Searched as the player has it after a start: loaded from its file.
    TLibrary built(State->Settings, "/opt/tunevale");
    FillLibrary(built, generated);
    State->Library = std::make_unique<TLibrary>(State->Settings, "/opt/tunevale");
    LoadLibraryFromBytes(*State->Library, EncodeLibrary(built));
  }

  sqlite3_open(":memory:", &State->Db);
  Exec(
      "CREATE TABLE tracks (albumartist TEXT, album TEXT, title TEXT, filename TEXT, artist TEXT, genre TEXT,"
      " year TEXT, composers TEXT);"
      "CREATE TABLE videos (name TEXT, path TEXT); CREATE TABLE playlists (name TEXT, path TEXT); BEGIN;");
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(State->Db, "INSERT INTO tracks VALUES (?,?,?,?,?,?,?,?)", -1, &insert, nullptr);
  for (const TGeneratedTrack& t : generated.Tracks) {
    const std::string year = std::to_string(t.Meta.Year);
    const std::string* values[] = {&t.Meta.AlbumArtist, &t.Meta.Album, &t.Meta.Title, &t.Path,
                                   &t.Meta.Artist,      &t.Meta.Genre, &year,         &t.Meta.Composer};
    for (int i = 0; i < 8; ++i) sqlite3_bind_text(insert, i + 1, values[i]->c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  for (const char* table : {"videos", "playlists"}) {
    sqlite3_prepare_v2(State->Db, (std::string("INSERT INTO ") + table + " VALUES (?,?)").c_str(), -1,
                       &insert, nullptr);
    for (const TGeneratedItem& item :
         std::strcmp(table, "videos") == 0 ? generated.Videos : generated.Playlists) {
      sqlite3_bind_text(insert, 1, item.Name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(insert, 2, item.Path.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_step(insert);
      sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
  }
  Exec("COMMIT;");
}

std::string Quote(const std::string& term) {
  std::string out = "'%";
  for (char c : term) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "%'";
}

// The WHERE clause of one table for a query; "1" when the query is empty, "0"
// when a term searches none of the table's columns.
std::string WhereClause(const TSearchArray& query, bool tracks) {
  static const char* const kTrackColumns[] = {"albumartist", "album", "title", "filename",
                                              "artist",      "genre", "year",  "composers"};
  std::string where = "1";
  for (const TSearchArrayItem& item : query) {
    std::vector<std::string> columns;
    if (tracks) {
      const uint16_t fields = SearchFieldsOf(item.Field);
      for (int i = 0; i < 8; ++i)
        if (fields & (1 << i)) columns.emplace_back(kTrackColumns[i]);
    } else if (item.Field == "title") {
      columns = {"name"};
    } else if (item.Field == "filename") {
      columns = {"path"};
    } else {
      columns = {"name", "path"};
    }
    std::string any;
    for (const std::string& c : columns) any += (any.empty() ? "" : " OR ") + c + " LIKE " + Quote(item.Term);
    where += " AND (" + (any.empty() ? std::string("0") : any) + ")";
  }
  return where;
}

size_t CollectRowIds(const std::string& sql, std::vector<int64_t>& out) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(State->Db, sql.c_str(), -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) out.push_back(sqlite3_column_int64(stmt, 0));
  sqlite3_finalize(stmt);
  return out.size();
}

void BM_Refill(benchmark::State& state, const char* query) {
  TBenchRuntime runtime;
  TMessagePump pump(runtime);
  TBenchHost host;
  host.Text = query;
  TLibrarySearch search(*State->Library, host, runtime, pump);
  search.RefreshLibraryLists(false);  // the lists exist once, as they do in the window
  for (auto _ : state) {
    search.RefreshLibraryLists(false);
    benchmark::DoNotOptimize(search.List(lpTracks).Rows.data());
  }
  state.counters["tracks"] = search.List(lpTracks).RowCount();
  state.counters["albums"] = search.List(lpAlbums).RowCount();
  state.counters["artists"] = search.List(lpArtists).RowCount();
  state.counters["videos"] = search.List(lpVideos).RowCount();
}

void BM_SqliteLike(benchmark::State& state, const char* query) {
  const TSearchArray items = ParseQuery(query);
  const std::string tracks = "SELECT rowid FROM tracks WHERE " + WhereClause(items, true);
  const std::string videos = "SELECT rowid FROM videos WHERE " + WhereClause(items, false);
  const std::string playlists = "SELECT rowid FROM playlists WHERE " + WhereClause(items, false);
  std::vector<int64_t> a, b, c;
  for (auto _ : state) {
    a.clear();
    b.clear();
    c.clear();
    CollectRowIds(tracks, a);
    CollectRowIds(videos, b);
    CollectRowIds(playlists, c);
    benchmark::DoNotOptimize(a.data());
  }
  state.counters["tracks"] = static_cast<double>(a.size());
  state.counters["videos"] = static_cast<double>(b.size());
}

}  // namespace
}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  int tracks = 100000;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tracks") == 0 && i + 1 < argc)
      tracks = std::atoi(argv[++i]);
    else
      rest.push_back(argv[i]);
  }
  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  Setup(tracks);
  for (const char* query : kQueries) {
    const std::string label = std::string("\"") + query + "\"";
    benchmark::RegisterBenchmark(("Refill/" + label).c_str(), BM_Refill, query)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
    benchmark::RegisterBenchmark(("SqliteLike/" + label).c_str(), BM_SqliteLike, query)
        ->Unit(benchmark::kMillisecond)
        ->Repetitions(7)
        ->ReportAggregatesOnly(true);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
