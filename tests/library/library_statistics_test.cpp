#include "library/library_statistics.h"

#include <gtest/gtest.h>

#include <tuple>

#include "library/library_test_support.h"

namespace tunevale {
namespace {

constexpr int32_t Hour = 3600000;

TEST(LibraryStatisticsTest, CountsLeadersAndLengths) {
  using TTrackSpec = std::tuple<const char*, const char*, int32_t>;  // artist, album, length
  const struct {
    const char* Name;
    std::vector<TTrackSpec> Tracks;
    int Videos;
    TLibraryStatistics Want;
  } cases[] = {
      {"empty", {}, 0, {}},
      {"ties listed, a higher count replaces them, first longest kept",
       {{"A", "x", Hour}, {"A", "y", 0}, {"B", "p", Hour}, {"B", "q", 0}, {"B", "q", 0}, {"C", "z", 0}},
       2,
       {3, 5, 6, 2, "A, B (2)", "B (3)", "2:00:00", "A (1:00:00)"}},
      {"tracks without a length", {{"A", "x", 0}}, 0, {1, 1, 1, 0, "A (1)", "A (1)", "", ""}},
      {"26 hours",
       {{"A", "x", 26 * Hour}},
       0,
       {1, 1, 1, 0, "A (1)", "A (1)", "1 days and 2:00:00", "A (26:00:00)"}},
      {"700 hours, past 32 bits",
       {{"A", "x", 350 * Hour}, {"A", "x", 350 * Hour}, {"B", "y", 1}},
       0,
       {2, 2, 3, 0, "A, B (1)", "A (2)", "29 days and 4:00:00", "A (700:00:00)"}},
  };
  for (const auto& c : cases) {
    TLibrarySettings settings;
    TLibrary library(settings, "/opt/tunevale");
    int n = 0;
    for (const auto& [artist, album, lengthMs] : c.Tracks) {
      TMetaData meta = test::Tags("t", artist, album);
      meta.Length = lengthMs;
      test::AddTestTrack(library, "/m/" + std::to_string(n++) + ".mp3", meta);
    }
    for (int v = 0; v < c.Videos; ++v) library.Videos.Add("/v/" + std::to_string(v) + ".avi", "v", false);
    EXPECT_EQ(TLibraryStatistics::Of(library), c.Want) << c.Name;
  }
}

}  // namespace
}  // namespace tunevale
