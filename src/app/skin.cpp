#include "app/skin.h"

#include <stdexcept>

#include "app/settings.h"
#include "util/atomic_file.h"

namespace tunevale {

namespace {

// Far above any real skin; a larger file is not read into memory.
constexpr size_t MaxSkinFileBytes = 64u << 20;

uint32_t BigEndian32(std::string_view b) {
  return uint32_t(uint8_t(b[0])) << 24 | uint32_t(uint8_t(b[1])) << 16 | uint32_t(uint8_t(b[2])) << 8 |
         uint32_t(uint8_t(b[3]));
}

// An empty colour text is "not set", as it reads in the settings file.
bool ReadColour(std::string_view value, int32_t& colour, std::string& error) {
  if (value.empty()) {
    colour = clNone;
    return true;
  }
  const std::optional<int32_t> parsed = ColourFromText(value);
  if (!parsed) {
    error = "'" + std::string(value) + "' is not a valid colour value.";
    return false;
  }
  colour = *parsed;
  return true;
}

bool FirstByteIsOne(std::string_view value) { return !value.empty() && value[0] == 0x01; }

}  // namespace

std::optional<TSkin> ParseSkin(std::string_view bytes, std::string& error) {
  constexpr size_t SectionHead = 7;  // tag and length
  if (bytes.size() < SkinHeaderSize) {
    error = "The skin file is shorter than its header.";
    return std::nullopt;
  }
  TSkin skin;
  bool picturePending = false;
  size_t at = SkinHeaderSize;
  while (at < bytes.size()) {
    const size_t length = bytes.size() - at < SectionHead ? 0 : BigEndian32(bytes.substr(at + 3, 4));
    if (bytes.size() - at < SectionHead || length > bytes.size() - at - SectionHead) {
      error = "The skin file ends inside a section.";
      return std::nullopt;
    }
    const std::string_view tag = bytes.substr(at, 3);
    const std::string_view value = bytes.substr(at + SectionHead, length);
    at += SectionHead + value.size();
    bool good = true;
    if (tag == "TOP" && value == "BMP") {
      picturePending = true;
    } else if (tag == "TOP") {
      int32_t colour;
      good = ReadColour(value, colour, error);
      skin.TopPanelImage = value;
      skin.TopPanelImageIsPicture = false;
    } else if (tag == "TXT") {
      good = ReadColour(value, skin.TopPanelFontColor, error);
    } else if (tag == "IBV") {
      good = ReadColour(value, skin.TopPanelBevelInner, error);
    } else if (tag == "OBV") {
      good = ReadColour(value, skin.TopPanelBevelOuter, error);
    } else if (tag == "BGT") {
      skin.ShowTrayControlsBackground = FirstByteIsOne(value);
    } else if (tag == "NGL") {
      skin.ForceNoGlass = FirstByteIsOne(value);
    } else if (tag == "BMP") {
      skin.Picture = std::string(value);
      if (picturePending) {
        skin.TopPanelImage.clear();
        skin.TopPanelImageIsPicture = true;
      }
    }
    if (!good) return std::nullopt;
  }
  return skin;
}

void TSkin::ApplyTo(TSettings& settings, const std::string& picturePath) const {
  settings.TopPanelImage = TopPanelImageIsPicture ? picturePath : TopPanelImage;
  // The strip's text is white unless the skin says otherwise.
  settings.TopPanelFontColor = TopPanelFontColor == clNone ? clWhite : TopPanelFontColor;
  settings.TopPanelBevelInner = TopPanelBevelInner;
  settings.TopPanelBevelOuter = TopPanelBevelOuter;
  settings.ShowTrayControlsBackground = ShowTrayControlsBackground;
  settings.ForceNoGlass = ForceNoGlass;
}

void LoadSkin(const std::string& path, const std::string& pictureFolder, TSettings& settings) {
  std::string bytes, error;
  if (!ReadRegularFile(path, MaxSkinFileBytes, bytes))
    throw std::runtime_error("Cannot open file \"" + path + "\".");
  const std::optional<TSkin> skin = ParseSkin(bytes, error);
  if (!skin) throw std::runtime_error(error);
  const std::string picturePath = pictureFolder + SkinPictureName;
  if (skin->Picture && !WriteFileAtomically(picturePath, *skin->Picture, &error))
    throw std::runtime_error("Cannot write \"" + picturePath + "\": " + error);
  skin->ApplyTo(settings, picturePath);
}

void ResetSkin(TSettings& settings) {
  settings.TopPanelImage.clear();
  settings.TopPanelFontColor = clNone;
  settings.TopPanelBevelInner = clNone;
  settings.TopPanelBevelOuter = clNone;
}

}  // namespace tunevale
