#include "app/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pelagor {
namespace {

// A dish on a blue tile, matching pelagor.svg.
QPixmap Draw(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1f, 0x5f, 0xa8));
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
  p.setBrush(QColor(0xf2, 0xf4, 0xf7));
  QPainterPath dish;
  dish.moveTo(12, 22);
  dish.quadTo(16, 52, 46, 50);
  dish.closeSubpath();
  p.drawPath(dish);
  p.setPen(QPen(QColor(0xf2, 0xf4, 0xf7), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(29, 36), QPointF(44, 21));
  p.drawLine(QPointF(28, 46), QPointF(24, 56));
  p.drawLine(QPointF(18, 56), QPointF(34, 56));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xff, 0xc4, 0x3d));
  p.drawEllipse(QPointF(45, 20), 4, 4);
  return pm;
}

}  // namespace

QIcon MakeAppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(Draw(size));
  return icon;
}

}  // namespace pelagor
