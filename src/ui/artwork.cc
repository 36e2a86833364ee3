#include "ui/artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lintaro {

QPixmap DrawLogo(int side, qreal device_pixel_ratio) {
  QPixmap pixmap(QSize(side, side) * device_pixel_ratio);
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(side / 64.0, side / 64.0);  // drawn on a 64 x 64 grid

  // Rounded tile.
  QLinearGradient tile(0, 0, 0, 64);
  tile.setColorAt(0, QColor(0x2b, 0x5d, 0x9c));
  tile.setColorAt(1, QColor(0x16, 0x33, 0x5c));
  p.setPen(Qt::NoPen);
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 11, 11);

  // A sheet with its lines of records.
  QPainterPath sheet;
  sheet.moveTo(15, 9);
  sheet.lineTo(40, 9);
  sheet.lineTo(49, 18);
  sheet.lineTo(49, 55);
  sheet.lineTo(15, 55);
  sheet.closeSubpath();
  p.setBrush(QColor(0xf7, 0xf7, 0xf2));
  p.drawPath(sheet);
  p.setBrush(QColor(0xc9, 0xd3, 0xe0));
  QPainterPath fold;
  fold.moveTo(40, 9);
  fold.lineTo(40, 18);
  fold.lineTo(49, 18);
  fold.closeSubpath();
  p.drawPath(fold);
  p.setBrush(QColor(0x8a, 0x9b, 0xb3));
  for (int i = 0; i < 6; ++i) p.drawRect(QRectF(20, 22 + i * 5.2, i % 2 ? 18 : 24, 2));

  // The check mark.
  QPen check(QColor(0x2e, 0xa0, 0x43), 6.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(check);
  p.setBrush(Qt::NoBrush);
  QPainterPath mark;
  mark.moveTo(29, 42);
  mark.lineTo(37, 50);
  mark.lineTo(56, 27);
  p.drawPath(mark);
  return pixmap;
}

QIcon ProgramIcon() {
  QIcon icon;
  for (int side : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(DrawLogo(side));
  return icon;
}

}  // namespace lintaro
