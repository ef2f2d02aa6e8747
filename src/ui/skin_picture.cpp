#include "ui/skin_picture.h"

#include <QApplication>
#include <QImageReader>
#include <QPalette>

#include "app/settings_values.h"

namespace tunevale {

namespace {

// The desktop palette's nearest roles for the system colour indexes.
QPalette::ColorRole SystemRole(int index) {
  switch (index) {
    case 5:  // clWindow
      return QPalette::Base;
    case 7:  // clMenuText
    case 8:  // clWindowText
      return QPalette::WindowText;
    case 13:  // clHighlight
    case 29:  // clMenuHighlight
      return QPalette::Highlight;
    case 14:  // clHighlightText
      return QPalette::HighlightedText;
    case 16:  // clBtnShadow
    case 21:  // cl3DDkShadow
      return QPalette::Dark;
    case 18:  // clBtnText
      return QPalette::ButtonText;
    case 20:  // clBtnHighlight
    case 22:  // cl3DLight
      return QPalette::Light;
    case 23:  // clInfoText
      return QPalette::ToolTipText;
    case 24:  // clInfoBk
      return QPalette::ToolTipBase;
    case 15:  // clBtnFace
      return QPalette::Button;
    default:
      return QPalette::Window;
  }
}

}  // namespace

QColor QtColour(int32_t colour) {
  const auto value = static_cast<uint32_t>(colour);
  if ((value & 0xFF000000u) == 0xFF000000u)
    return QApplication::palette().color(SystemRole(static_cast<int>(value & 0xFF)));
  if (value & 0xFF000000u) return {};
  return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

QImage SkinPicture(const std::string& topPanelImage) {
  if (const std::optional<int32_t> colour = ColourFromText(topPanelImage)) {
    QImage solid(1, 1, QImage::Format_RGB32);
    solid.fill(QtColour(*colour));
    return QtColour(*colour).isValid() ? solid : QImage();
  }
  QImageReader reader(QString::fromStdString(topPanelImage));
  // The header's size decides before any pixel memory is taken.
  const QSize size = reader.size();
  if (!size.isValid() || qint64(size.width()) * size.height() > MaxSkinPicturePixels) return {};
  return reader.read();
}

}  // namespace tunevale
