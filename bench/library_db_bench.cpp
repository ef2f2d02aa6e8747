// LoadLibrary and SaveLibrary of a generated 100,000-track "Library.db"
// against SQLite doing the same work (one table of 18 text columns: select
// every row into structs of std::string; insert every row in one
// transaction), and the resident memory of the loaded library.
//
//   library_db_bench [--tracks N] [google-benchmark flags]
//   library_db_bench --write-db FILE [--tracks N]   (only writes the generated file)
//
// The memory figure is taken in a fresh process (this program started again
// with --memory), so nothing the benchmark allocated before blurs it.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "library/library.h"
#include "library/library_database.h"
#include "library_generator.h"

namespace tunevale {
namespace {

constexpr const char* kRoot = "/srv/music";
constexpr int kColumns = 18;
constexpr const char* kColumnNames[kColumns] = {"pth", "rel", "fmd", "nam", "res", "tit",
                                                "ar1", "ar2", "alb", "trk", "yer", "len",
                                                "gen", "pub", "com", "cop", "cmt", "www"};

struct TSqlRow {
  std::string Columns[kColumns];
};

struct TBenchState {
  std::string Folder;
  std::string DbPath;      // our file, written once
  std::string SqlitePath;  // SQLite's file, written once
  std::vector<TSqlRow> Rows;
  TLibrarySettings Settings;
};

TBenchState* State = nullptr;

long ResidentBytes() {
  long pages = 0, resident = 0;
  FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return -1;
  if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = -1;
  std::fclose(f);
  return resident * sysconf(_SC_PAGESIZE);
}

std::vector<TSqlRow> RowsOf(const TLibrary& library) {
  std::vector<TSqlRow> rows;
  for (int a = 0; a < library.ArtistCount(); ++a)
    for (int b = 0; b < library.Artist(a)->AlbumCount(); ++b)
      for (int t = 0; t < library.Artist(a)->Album(b)->TrackCount(); ++t) {
        const TTrack& tr = *library.Artist(a)->Album(b)->Track(t);
        TSqlRow r;
        const std::string_view texts[kColumns] = {tr.Path(),
                                                  tr.Relative() ? " " : "",
                                                  {},
                                                  tr.Name(),
                                                  {},
                                                  tr.Title(),
                                                  tr.Artist(),
                                                  tr.AlbumArtist(),
                                                  tr.AlbumName(),
                                                  {},
                                                  {},
                                                  {},
                                                  tr.Genre(),
                                                  tr.Publisher(),
                                                  tr.Composer(),
                                                  tr.Copyright(),
                                                  tr.Comment(),
                                                  tr.URL()};
        for (int c = 0; c < kColumns; ++c) r.Columns[c] = texts[c];
        r.Columns[2] = std::to_string(tr.FileDate());
        r.Columns[4] = std::to_string(tr.ReadResult());
        r.Columns[9] = std::to_string(tr.TrackNo());
        r.Columns[10] = std::to_string(tr.Year());
        r.Columns[11] = std::to_string(tr.Length());
        rows.push_back(std::move(r));
      }
  for (const TLibraryItems* items : {&library.Playlists, &library.Videos})
    for (int i = 0; i < items->Count(); ++i) {
      TSqlRow r;
      r.Columns[0] = items->Item(i)->Path();
      r.Columns[3] = items->Item(i)->Name();
      rows.push_back(std::move(r));
    }
  return rows;
}

void Check(int rc, sqlite3* db, const char* what) {
  if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
    std::fprintf(stderr, "sqlite %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
  }
}

void SqliteSave(const std::string& path, const std::vector<TSqlRow>& rows) {
  std::filesystem::remove(path);
  sqlite3* db = nullptr;
  Check(sqlite3_open(path.c_str(), &db), db, "open");
  std::string create = "CREATE TABLE library(";
  std::string insert = "INSERT INTO library VALUES(";
  for (int c = 0; c < kColumns; ++c) {
    create += std::string(c ? "," : "") + kColumnNames[c] + " TEXT";
    insert += c ? ",?" : "?";
  }
  Check(sqlite3_exec(db, (create + ")").c_str(), nullptr, nullptr, nullptr), db, "create");
  Check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db, (insert + ")").c_str(), -1, &stmt, nullptr), db, "prepare");
  for (const TSqlRow& r : rows) {
    for (int c = 0; c < kColumns; ++c) {
      if (r.Columns[c].empty())
        sqlite3_bind_null(stmt, c + 1);
      else
        sqlite3_bind_text(stmt, c + 1, r.Columns[c].data(), static_cast<int>(r.Columns[c].size()),
                          SQLITE_STATIC);
    }
    Check(sqlite3_step(stmt), db, "insert");
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  Check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
  sqlite3_close(db);
}

std::vector<TSqlRow> SqliteLoad(const std::string& path) {
  sqlite3* db = nullptr;
  Check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), db, "open");
  sqlite3_stmt* stmt = nullptr;
  Check(sqlite3_prepare_v2(db, "SELECT * FROM library", -1, &stmt, nullptr), db, "prepare");
  std::vector<TSqlRow> rows;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    TSqlRow& r = rows.emplace_back();
    for (int c = 0; c < kColumns; ++c) {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
      if (text) r.Columns[c].assign(text, static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
    }
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return rows;
}

std::unique_ptr<TLibrary> LoadOurs(const TLibrarySettings& settings) {
  auto library = std::make_unique<TLibrary>(settings, "/opt/tunevale");
  LoadLibrary(*library, settings.LibraryDbPath);
  return library;
}

void BM_LoadLibrary(benchmark::State& state) {
  for (auto _ : state) {
    auto library = LoadOurs(State->Settings);
    state.PauseTiming();
    if (library->TrackCount() == 0) state.SkipWithError("nothing loaded");
    library.reset();
    state.ResumeTiming();
  }
}

void BM_SqliteLoad(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<TSqlRow> rows = SqliteLoad(State->SqlitePath);
    state.PauseTiming();
    if (rows.size() != State->Rows.size()) state.SkipWithError("row count differs");
    rows = {};
    state.ResumeTiming();
  }
}

void BM_SaveLibrary(benchmark::State& state) {
  auto library = LoadOurs(State->Settings);
  TLibrarySettings settings = State->Settings;
  settings.LibraryDbPath = State->Folder + "/Saved.db";
  TLibrary target(settings, "/opt/tunevale");
  // Save the loaded library under another name: same texts, same order.
  LoadLibrary(target, State->DbPath);
  for (auto _ : state) {
    target.Flags.LibraryDirty = true;
    std::string error;
    if (!SaveLibrary(target, &error)) state.SkipWithError(error.c_str());
  }
}

void BM_SqliteSave(benchmark::State& state) {
  const std::string path = State->Folder + "/saved.sqlite";
  for (auto _ : state) SqliteSave(path, State->Rows);
}

#define TIMED(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(7)
TIMED(BM_LoadLibrary);
TIMED(BM_SqliteLoad);
TIMED(BM_SaveLibrary);
TIMED(BM_SqliteSave);

// In a fresh process: resident bytes added by loading the library.
int MeasureMemory(const std::string& dbPath, const std::string& root) {
  TLibrarySettings settings;
  settings.LibraryFolders = {root};
  settings.LibraryDbPath = dbPath;
  const long before = ResidentBytes();
  auto library = LoadOurs(settings);
  const long after = ResidentBytes();
  const auto fileSize = static_cast<long>(std::filesystem::file_size(dbPath));
  std::printf("memory: %zu tracks, Library.db %.1f MB, resident growth %.1f MB (%.2f x the file)\n",
              library->TrackCount(), fileSize / 1e6, (after - before) / 1e6,
              static_cast<double>(after - before) / static_cast<double>(fileSize));
  return 0;
}

}  // namespace
}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  if (argc == 4 && std::strcmp(argv[1], "--memory") == 0) return MeasureMemory(argv[2], argv[3]);
  int tracks = 100000;
  std::string writeOnly;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--tracks") == 0 && i + 1 < argc) {
      tracks = std::atoi(argv[++i]);
      continue;
    }
    if (std::strcmp(argv[i], "--write-db") == 0 && i + 1 < argc) {
      writeOnly = argv[++i];
      continue;
    }
    rest.push_back(argv[i]);
  }
  char folder[] = "/tmp/tunevale-db-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  TBenchState state;
  State = &state;
  state.Folder = folder;
  state.DbPath = writeOnly.empty() ? state.Folder + "/Library.db" : writeOnly;
  state.SqlitePath = state.Folder + "/library.sqlite";
  state.Settings.LibraryFolders = {kRoot};
  state.Settings.LibraryDbPath = state.DbPath;
  {
    const TGeneratedLibrary generated = GenerateLibrary(kRoot, tracks);
    TLibrary library(state.Settings, "/opt/tunevale");
    FillLibrary(library, generated);
    std::string error;
    if (!SaveLibrary(library, &error)) {
      std::fprintf(stderr, "save failed: %s\n", error.c_str());
      return 1;
    }
    if (!writeOnly.empty()) {
      std::filesystem::remove_all(state.Folder);
      return 0;
    }
    state.Rows = RowsOf(library);
    std::printf("generated: %zu tracks, %d artists, %d videos, %d playlists\n", library.TrackCount(),
                library.ArtistCount(), library.Videos.Count(), library.Playlists.Count());
  }
  SqliteSave(state.SqlitePath, state.Rows);
  std::fflush(stdout);
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const pid_t child = fork();
  if (child == 0) {
    execl(self.c_str(), self.c_str(), "--memory", state.DbPath.c_str(), kRoot, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || status != 0)
    std::fprintf(stderr, "memory measurement failed\n");

  int restCount = static_cast<int>(rest.size());
  benchmark::Initialize(&restCount, rest.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(state.Folder);
  return 0;
}
