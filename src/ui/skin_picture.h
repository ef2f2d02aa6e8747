// The skin's colours and picture as Qt sees them.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <string>

namespace tunevale {

// A settings colour (0x00BBGGRR; system colours 0xFF0000nn from the desktop's
// palette). Invalid for "clNone" and "clDefault".
QColor QtColour(int32_t colour);

// The strip picture a TopPanelImage text names: a colour text gives a picture
// of that colour alone, anything else is a picture file. A file that cannot be
// read, or whose picture would be larger than MaxSkinPicturePixels, gives a
// null image (the strip then keeps its fill).
QImage SkinPicture(const std::string& topPanelImage);

inline constexpr qint64 MaxSkinPicturePixels = 4096 * 4096;

}  // namespace tunevale
