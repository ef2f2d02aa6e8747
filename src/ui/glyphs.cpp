#include "ui/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tunevale {

namespace {

void Triangle(QPainter& p, QPointF a, QPointF b, QPointF c) {
  QPainterPath path;
  path.moveTo(a);
  path.lineTo(b);
  path.lineTo(c);
  path.closeSubpath();
  p.drawPath(path);
}

}  // namespace

QIcon GlyphIcon(TGlyph glyph, const QColor& color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  QPen line(color, 1.6);
  switch (glyph) {
    case TGlyph::Play:
    case TGlyph::NowPlayingMarker:
      if (glyph == TGlyph::NowPlayingMarker) p.setBrush(QColor(40, 140, 40));
      Triangle(p, {4, 2}, {13, 8}, {4, 14});
      break;
    case TGlyph::Pause:
      p.drawRect(QRectF(4, 3, 3, 10));
      p.drawRect(QRectF(9, 3, 3, 10));
      break;
    case TGlyph::Stop:
      p.drawRect(QRectF(4, 4, 8, 8));
      break;
    case TGlyph::Previous:
      p.drawRect(QRectF(3, 3, 2, 10));
      Triangle(p, {13, 3}, {5, 8}, {13, 13});
      break;
    case TGlyph::Next:
      p.drawRect(QRectF(11, 3, 2, 10));
      Triangle(p, {3, 3}, {11, 8}, {3, 13});
      break;
    case TGlyph::Mute:
    case TGlyph::Unmuted:
      p.drawRect(QRectF(2, 6, 3, 4));
      Triangle(p, {4, 8}, {9, 3}, {9, 13});
      p.setPen(line);
      if (glyph == TGlyph::Mute) {
        p.drawLine(QPointF(11, 5), QPointF(15, 11));
        p.drawLine(QPointF(15, 5), QPointF(11, 11));
      } else {
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(7, 4, 7, 8), -60 * 16, 120 * 16);
      }
      break;
    case TGlyph::HideInTray:
      p.drawRect(QRectF(4, 11, 8, 2));
      break;
    case TGlyph::ShowMainWindow:
      p.drawRect(QRectF(3, 3, 10, 3));  // a window's title bar over its frame
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(3.5, 5.5, 9, 7));
      break;
    case TGlyph::FullScreen:
      p.setPen(line);
      p.setBrush(Qt::NoBrush);
      p.drawRect(QRectF(2.5, 3.5, 11, 9));
      break;
    case TGlyph::NextFrame:
      Triangle(p, {3, 3}, {10, 8}, {3, 13});
      p.drawRect(QRectF(11, 3, 2, 10));
      p.drawRect(QRectF(14, 3, 1, 10));
      break;
    case TGlyph::Menu:
      Triangle(p, {4, 6}, {12, 6}, {8, 11});
      break;
    case TGlyph::ShowSidePanels:
      Triangle(p, {10, 4}, {10, 12}, {5, 8});
      break;
    case TGlyph::Open:
      p.drawRect(QRectF(2, 5, 12, 8));
      p.drawRect(QRectF(2, 3, 5, 2));
      break;
    case TGlyph::Clear:
      p.setPen(line);
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case TGlyph::Shuffle:
      p.setPen(line);
      p.drawLine(QPointF(2, 4), QPointF(14, 12));
      p.drawLine(QPointF(2, 12), QPointF(14, 4));
      break;
    case TGlyph::Sort:
      p.drawRect(QRectF(3, 3, 10, 2));
      p.drawRect(QRectF(3, 7, 7, 2));
      p.drawRect(QRectF(3, 11, 4, 2));
      break;
    case TGlyph::Save:
      p.drawRect(QRectF(3, 3, 10, 10));
      p.setBrush(Qt::black);
      p.drawRect(QRectF(5, 3, 6, 4));
      break;
    case TGlyph::Busy:
      p.setPen(QPen(color, 2));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(3, 3, 10, 10), 0, 270 * 16);
      break;
    case TGlyph::FailedMarker:
      p.setPen(QPen(QColor(200, 40, 40), 2));
      p.drawLine(QPointF(4, 4), QPointF(12, 12));
      p.drawLine(QPointF(12, 4), QPointF(4, 12));
      break;
    case TGlyph::NormalMarker:
      p.setBrush(QColor(150, 150, 150));
      p.drawEllipse(QRectF(6, 6, 4, 4));
      break;
  }
  return QIcon(pixmap);
}

}  // namespace tunevale
