#include "library/track_columns.h"

#include <algorithm>
#include <charconv>

#include "library/track.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr std::array<TTrackFieldInfo, kTrackFieldCount> kFields = {{{"Title", 150, false},
                                                                    {"#", 30, true},
                                                                    {"Album", 150, false},
                                                                    {"Artist", 150, false},
                                                                    {"Genre", 80, false},
                                                                    {"Length", 80, true},
                                                                    {"Year", 50, true}}};

std::string_view Digits(int64_t value, std::array<char, 24>& buffer) {
  const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
  return {buffer.data(), static_cast<size_t>(end - buffer.data())};
}

}  // namespace

const TTrackFieldInfo& TrackFieldInfo(int field) { return kFields[static_cast<size_t>(field)]; }

std::vector<int> TTrackColumns::Fields() const {
  std::vector<int> fields;
  for (int field = tfNumber; field < kTrackFieldCount; ++field)
    if (Shown(field)) fields.push_back(field);
  std::stable_sort(fields.begin(), fields.end(), [&](int a, int b) { return Table[a - 1] < Table[b - 1]; });
  fields.insert(fields.begin(), tfTitle);
  return fields;
}

bool TTrackColumns::Shown(int field) const {
  return field == tfTitle || (field > tfTitle && field < kTrackFieldCount && Table[field - 1] != -1);
}

void TTrackColumns::SetShown(int field, bool shown) {
  if (field <= tfTitle || field >= kTrackFieldCount) return;
  Table[field - 1] = shown ? 0 : -1;
  int place = 0;
  for (int32_t& entry : Table)
    if (entry != -1) entry = place++;
}

std::string_view TrackCellText(const TTrack& track, int field, std::array<char, 24>& buffer) {
  switch (field) {
    case tfTitle:
      return track.Name();
    case tfNumber:
      return track.TrackNo() == 0 ? std::string_view() : Digits(track.TrackNo(), buffer);
    case tfAlbum:
      return track.AlbumName();
    case tfArtist:
      return track.AlbumArtist();
    case tfGenre:
      return track.Genre();
    case tfLength:
      if (track.Length() <= 0) return {};
      return {buffer.data(), FormatPlayTime(track.Length(), buffer.data(), buffer.size())};
    case tfYear:
      return track.Year() == -1 ? std::string_view() : Digits(track.Year(), buffer);
  }
  return {};
}

}  // namespace tunevale
