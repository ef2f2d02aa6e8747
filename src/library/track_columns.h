// The columns of the tracks list: "Title" always, then the optional columns
// the user chose in the header menu. The table is the settings' TrackColumns
// ("List3C<i>V"): entry f - 1 holds the place of optional field f among the
// shown optional columns, or -1 while it is hidden.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tunevale {

class TTrack;

// Field identifiers of the tracks list; also its sort keys.
enum TTrackField : int { tfTitle, tfNumber, tfAlbum, tfArtist, tfGenre, tfLength, tfYear };
inline constexpr int kTrackFieldCount = 7;
inline constexpr int kOptionalTrackFields = 6;

struct TTrackFieldInfo {
  std::string_view Caption;
  int32_t Width;  // design width in pixels
  bool Numeric;   // sorts by number, aligned right
};
const TTrackFieldInfo& TrackFieldInfo(int field);

class TTrackColumns {
 public:
  using TTable = std::array<int32_t, kOptionalTrackFields>;
  explicit TTrackColumns(TTable& table) : Table(table) {}

  // The fields shown, in column order: "Title", then the optional ones by place.
  std::vector<int> Fields() const;
  bool Shown(int field) const;
  // Shows or hides an optional field; the places are then rebuilt in the
  // fixed order "#", "Album", "Artist", "Genre", "Length", "Year".
  void SetShown(int field, bool shown);

 private:
  TTable& Table;
};

// The text of a track's cell: a view of the track's own text, or digits
// written into `buffer`. No allocation, so a view can ask for every row.
std::string_view TrackCellText(const TTrack& track, int field, std::array<char, 24>& buffer);

}  // namespace tunevale
