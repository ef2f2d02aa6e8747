#include "mpris/mpris_state.h"

#include <algorithm>
#include <iterator>

#include "app/player.h"
#include "mpris/mpris_mapping.h"

namespace tunevale {

namespace {

struct TPropertyRule {
  TMprisProperty Property;
  bool (*Differs)(const TMprisState&, const TMprisState&);
};

#define TUNEVALE_FIELD_RULE(interface, field)                                                          \
  TPropertyRule {                                                                                      \
    {interface, #field}, [](const TMprisState& a, const TMprisState& b) { return a.field != b.field; } \
  }

const TPropertyRule PropertyRules[] = {
    {{miRoot, "SupportedMimeTypes"},
     [](const TMprisState& a, const TMprisState& b) { return a.Extensions != b.Extensions; }},
    TUNEVALE_FIELD_RULE(miPlayer, PlaybackStatus),
    TUNEVALE_FIELD_RULE(miPlayer, LoopStatus),
    TUNEVALE_FIELD_RULE(miPlayer, Volume),
    TUNEVALE_FIELD_RULE(miPlayer, Metadata),
    TUNEVALE_FIELD_RULE(miPlayer, CanGoNext),
    TUNEVALE_FIELD_RULE(miPlayer, CanGoPrevious),
    TUNEVALE_FIELD_RULE(miPlayer, CanPlay),
    TUNEVALE_FIELD_RULE(miPlayer, CanPause),
    TUNEVALE_FIELD_RULE(miPlayer, CanSeek),
};

#undef TUNEVALE_FIELD_RULE

std::vector<std::string> OpenedExtensions(const TFileExtensions& table) {
  std::vector<std::string> out;
  for (int i = 0; i < table.MediaCount(); ++i) out.emplace_back(table.MediaExtension(i));
  out.insert(out.end(), std::begin(PictureExtensions), std::end(PictureExtensions));
  return out;
}

}  // namespace

std::vector<TMprisProperty> ChangedProperties(const TMprisState& before, const TMprisState& after) {
  std::vector<TMprisProperty> changed;
  for (const TPropertyRule& rule : PropertyRules)
    if (rule.Differs(before, after)) changed.push_back(rule.Property);
  return changed;
}

TMprisState TMprisStateReader::Read(TPlayer& player) {
  const TPlaybackController& controller = player.Controller();
  const TPlaylist& playlist = player.Playlist();
  const int graphState = controller.State();
  const bool active = IsPausedOrPlaying(graphState);
  const int count = playlist.Count();
  const int index = playlist.PlayingIndex();

  TMprisState state;
  state.PlaybackStatus = PlaybackStatusName(graphState);
  state.LoopStatus = LoopStatusName(playlist.PlayMode());
  state.Volume = VolumeGain(controller.VolumeTrackBarPosition());
  // What the next and previous commands do short of stopping.
  state.CanGoNext = index + 1 < count || (playlist.PlayMode() == pmRepeatAll && count > 0);
  state.CanGoPrevious = index > 0;
  state.CanPlay = active || count > 0;
  state.CanPause = active;
  state.CanSeek =
      active && !controller.IsStream() && controller.OpenKind() != mkPicture && controller.DurationMs() > 0;
  state.Metadata = ReadMetadata(player, active);
  state.Extensions = OpenedExtensions(player.Extensions());
  return state;
}

TMprisMetadata TMprisStateReader::ReadMetadata(TPlayer& player, bool active) {
  TMprisMetadata meta;
  const TPlaylist& playlist = player.Playlist();
  const int index = playlist.PlayingIndex();
  if (index < 0) {
    meta.TrackId = NoTrackId;
    return meta;
  }
  const TPlaylistRow& row = playlist.Row(index);
  if (row.Data != Entry.lock()) {
    Entry = row.Data;
    EntryId = "/org/tunevale/track/" + std::to_string(++Serial);
  }
  meta.TrackId = EntryId;
  // While it plays the controller holds the tags read at the open; until
  // then the playlist's own reading.
  const TPlaybackController& controller = player.Controller();
  const TMetaData& tags = active ? controller.NowPlaying() : row.Data->MetaData;
  meta.Title = tags.Title.empty() ? row.Caption : tags.Title;
  meta.Artist = tags.Artist;
  meta.AlbumArtist = tags.AlbumArtist;
  meta.Album = tags.Album;
  meta.Genre = tags.Genre;
  meta.TrackNumber = std::max(tags.Track, 0);
  meta.LengthUs = int64_t{std::max(active ? controller.DurationMs() : tags.Length, 0)} * 1000;
  meta.Location = row.Data->FileName;
  return meta;
}

}  // namespace tunevale
