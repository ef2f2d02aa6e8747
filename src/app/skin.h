// Skin files (".tvlskin"): an 18-byte header nobody reads, then sections of
// a 3-byte tag, a 4-byte big-endian length and that many bytes of value, up
// to the end of the file. Tags:
//   "TOP"  a colour text for the strip picture, or "BMP": the picture is the
//          next "BMP" section's; an empty value leaves the picture unset
//   "TXT", "IBV", "OBV"  the strip's text, fill and outline colours
//   "BGT", "NGL"  first byte 0x01: the picture behind the tray controls, no glass
//   "BMP"  picture file bytes, saved as "Background.bmp"
// Anything else is skipped. A skin sets all six appearance tweaks: what it
// does not name goes back to the plain look.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/settings_values.h"

namespace tunevale {

struct TSettings;

inline constexpr size_t SkinHeaderSize = 18;
inline constexpr const char* SkinPictureName = "Background.bmp";

struct TSkin {
  std::string TopPanelImage;            // a colour text, or "" (none, or the picture: see below)
  bool TopPanelImageIsPicture = false;  // TopPanelImage is to become the saved picture's path
  int32_t TopPanelFontColor = clWhite;
  int32_t TopPanelBevelInner = clNone;
  int32_t TopPanelBevelOuter = clNone;
  bool ShowTrayControlsBackground = false;
  bool ForceNoGlass = false;
  std::optional<std::string> Picture;  // the last "BMP" section's bytes

  // Puts the six tweaks into `settings`; `picturePath` is where Picture was saved.
  void ApplyTo(TSettings& settings, const std::string& picturePath) const;
  bool operator==(const TSkin&) const = default;
};

// The whole skin, or nothing with `error` saying why: a file shorter than its
// header or ending inside a section, or a colour text that does not convert.
// Lengths are checked against the bytes left before anything is taken.
std::optional<TSkin> ParseSkin(std::string_view bytes, std::string& error);

// Reads and parses the skin at `path`; only once the whole skin is good is its
// picture written (atomically) to `pictureFolder` + "Background.bmp" and are
// the tweaks put into `settings`. Throws std::runtime_error, changing nothing.
void LoadSkin(const std::string& path, const std::string& pictureFolder, TSettings& settings);

// The plain look: no picture, no fill, outline or text colour of the skin's.
void ResetSkin(TSettings& settings);

}  // namespace tunevale
