#include "ui/app_icon.h"

#include <QBuffer>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tunevale {

QImage AppIconImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  // The track strip's colours: a blue tile with a dark outline.
  QLinearGradient fill(0, 0, 0, 64);
  fill.setColorAt(0, QColor(0x8D, 0xA3, 0xCC));
  fill.setColorAt(1, QColor(0x4D, 0x63, 0x8C));
  p.setBrush(fill);
  p.setPen(QPen(QColor(0x00, 0x15, 0x61), 2.5));
  p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);
  QPainterPath play;
  play.moveTo(24, 17);
  play.lineTo(47, 32);
  play.lineTo(24, 47);
  play.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(play);
  return image;
}

std::vector<TIconFile> AppIconFiles() {
  std::vector<TIconFile> files;
  for (const int size : AppIconSizes) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    AppIconImage(size).save(&buffer, "PNG");
    const std::string n = std::to_string(size);
    files.push_back({n + "x" + n + "/apps/tunevale.png", bytes.toStdString()});
  }
  return files;
}

}  // namespace tunevale
