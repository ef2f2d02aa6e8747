#include "playlist/xspf_playlist.h"

#include <filesystem>

#include "util/path.h"
#include "util/text.h"
#include "util/xml_reader.h"

namespace tunevale {

namespace {

constexpr size_t MaxValue = 64 * 1024;  // a longer location names nothing; a longer title is cut
constexpr size_t MaxTitle = 1024;
constexpr size_t SniffBytes = 4096;  // the root element comes after at most a short prologue

bool IsUnreservedByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

void AppendEscaped(std::string& out, std::string_view raw) {
  // A name that is not UTF-8 would make the document unreadable.
  out += XmlEscaped(Latin1OrUtf8(raw));
}

// The state of the <track> being read.
class TTrackReader {
 public:
  TTrackReader(std::string_view baseFolder, const TPlaylistScanHooks& hooks)
      : Base(baseFolder), Hooks(hooks) {}

  bool InTrack() const { return TrackDepth != 0; }

  void Start(std::string_view name, size_t depth) {
    if (TrackDepth == 0) {
      if (name != "track") return;
      TrackDepth = depth;
      Location.clear();
      Title.clear();
    } else if (Capture == nullptr && depth == TrackDepth + 1) {
      Capture = name == "location" ? &Location : name == "title" ? &Title : nullptr;
      CaptureDepth = depth;
      Value.clear();
      ValueCut = false;
    }
  }

  void AddText(const std::string& text, bool cut) {
    if (Capture == nullptr || ValueCut) return;
    ValueCut = cut || Value.size() + text.size() > MaxValue;
    if (!ValueCut) Value += text;
  }

  // True when a track ended.
  bool End(size_t depth) {
    if (Capture != nullptr && depth <= CaptureDepth) FinishValue();
    return TrackDepth != 0 && depth <= TrackDepth;
  }

  // Hands the track that ended to `onTrack` when it has a location.
  void Emit(const TXspfTrackHandler& onTrack) {
    if (!Location.empty() && onTrack) onTrack(Location, Title);
    TrackDepth = 0;
  }

 private:
  void FinishValue() {
    const std::string_view value = TrimView(Value);
    if (Capture == &Title && Title.empty()) Title = CutUtf8(value, MaxTitle);
    // The first location that can be played is the track's.
    if (Capture == &Location && Location.empty() && !ValueCut && !value.empty()) {
      std::string location = XspfLocation(value, Base);
      if (Hooks.IsPlayable ? Hooks.IsPlayable(location) : IsPlayableLocation(location))
        Location = std::move(location);
    }
    Capture = nullptr;
  }

  std::string_view Base;
  const TPlaylistScanHooks& Hooks;
  size_t TrackDepth = 0;  // 0 outside a track
  std::string* Capture = nullptr;
  size_t CaptureDepth = 0;
  std::string Value;
  bool ValueCut = false;
  std::string Location;
  std::string Title;
};

}  // namespace

bool IsXspfPlaylist(std::string_view path, std::string_view text) {
  if (AsciiLower(ExtractFileExt(path)) == ".xspf") return true;
  TXmlReader xml(text.substr(0, SniffBytes));
  for (;;) {
    switch (xml.Next()) {
      case TXmlReader::xtStartElement:
        return xml.Name() == "playlist";
      case TXmlReader::xtText:
        if (!TrimView(xml.Text()).empty()) return false;
        break;
      default:
        return false;
    }
  }
}

std::string XspfLocation(std::string_view value, std::string_view baseFolder) {
  // Addresses keep their escapes (a "file://" one is decoded as a whole); paths are URI references.
  if (IsUrl(value)) return PlaylistValueLocation(value, baseFolder);
  return PlaylistValueLocation(DecodePercentBytes(value), baseFolder);
}

void ReadXspf(std::string_view text, std::string_view baseFolder, const TPlaylistScanHooks& hooks,
              const TXspfTrackHandler& onTrack) {
  TXmlReader xml(text);
  TTrackReader track(baseFolder, hooks);
  for (;;) {
    const TXmlReader::TToken token = xml.Next();
    if (token == TXmlReader::xtEnd) break;
    if (token == TXmlReader::xtStartElement) track.Start(xml.Name(), xml.Depth());
    if (token == TXmlReader::xtText) track.AddText(xml.Text(), xml.TextCut());
    if (token == TXmlReader::xtEndElement && track.End(xml.Depth())) {
      track.Emit(onTrack);
      if (hooks.AfterValue) hooks.AfterValue();
      if (hooks.Cancelled && hooks.Cancelled()) return;
    }
  }
  // A document cut off inside a track still gives it when its location was complete.
  if (track.InTrack()) track.Emit(onTrack);
}

std::string FileUrlOfPath(std::string_view path) {
  std::string absolute(path);
  if (!IsAbsolutePath(path)) {
    std::error_code ec;
    absolute = std::filesystem::absolute(std::filesystem::path(absolute), ec).string();
  }
  std::string url = "file://";
  static constexpr char Hex[] = "0123456789ABCDEF";
  for (char c : absolute) {
    if (IsUnreservedByte(c)) {
      url += c;
    } else {
      const auto b = static_cast<unsigned char>(c);
      url += '%';
      url += Hex[b >> 4];
      url += Hex[b & 0x0F];
    }
  }
  return url;
}

std::string XspfText(const std::vector<TXspfTrack>& tracks) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<playlist version=\"1\" xmlns=\"http://xspf.org/ns/0/\">\n"
      "  <trackList>\n";
  for (const TXspfTrack& track : tracks) {
    out += "    <track>\n      <location>";
    AppendEscaped(out, IsUrl(track.Location) ? track.Location : FileUrlOfPath(track.Location));
    out += "</location>\n";
    if (!track.Title.empty()) {
      out += "      <title>";
      AppendEscaped(out, track.Title);
      out += "</title>\n";
    }
    out += "    </track>\n";
  }
  out += "  </trackList>\n</playlist>\n";
  return out;
}

}  // namespace tunevale
