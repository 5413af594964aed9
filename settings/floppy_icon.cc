#include "settings/floppy_icon.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <cmath>

namespace varnel {

namespace {

// Drawn on a 40 x 40 grid, scaled to the wanted size.
constexpr double kGrid = 40.0;

void DrawDisk(QPainter& painter) {
  QPainterPath body;
  body.moveTo(2, 12);
  body.lineTo(24, 12);
  body.lineTo(30, 18);
  body.lineTo(30, 38);
  body.lineTo(2, 38);
  body.closeSubpath();
  painter.setPen(QPen(QColor(0x1a, 0x2d, 0x4d), 1.2));
  painter.setBrush(QColor(0x2b, 0x4c, 0x7e));
  painter.drawPath(body);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0xc4, 0xc9, 0xd0));
  painter.drawRect(QRectF(8, 12.6, 14, 8));  // metal shutter
  painter.setBrush(QColor(0x1a, 0x2d, 0x4d));
  painter.drawRect(QRectF(17, 14, 3, 5.2));  // its window

  painter.setBrush(QColor(0xf4, 0xf4, 0xf0));
  painter.drawRect(QRectF(6, 25, 20, 11));  // label
  painter.setPen(QPen(QColor(0x9a, 0xa4, 0xb0), 1.0));
  painter.drawLine(QLineF(8.5, 28.5, 23.5, 28.5));
  painter.drawLine(QLineF(8.5, 32, 23.5, 32));
}

void DrawArrow(QPainter& painter, QPointF from, QPointF to) {
  const QColor colour(0xd3, 0x2f, 0x2f);
  const QLineF shaft(from, to);
  const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
  const double head = 9.0;
  const double spread = 0.5;
  const QPointF left(to.x() - head * std::cos(angle - spread), to.y() - head * std::sin(angle - spread));
  const QPointF right(to.x() - head * std::cos(angle + spread), to.y() - head * std::sin(angle + spread));
  painter.setPen(QPen(Qt::white, 6.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QLineF(from, shaft.pointAt(0.7)));
  painter.setPen(QPen(colour, 3.2, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QLineF(from, shaft.pointAt(0.75)));
  painter.setPen(QPen(Qt::white, 1.0));
  painter.setBrush(colour);
  painter.drawPolygon(QPolygonF({to, left, right}));
}

}  // namespace

QIcon FloppyIcon(FloppyArrow arrow, int size) {
  QIcon icon;
  for (const double ratio : {1.0, 2.0}) {
    const int pixels = static_cast<int>(std::lround(size * ratio));
    QPixmap pixmap(pixels, pixels);
    pixmap.fill(Qt::transparent);
    {
      QPainter painter(&pixmap);
      painter.setRenderHint(QPainter::Antialiasing);
      painter.scale(pixels / kGrid, pixels / kGrid);
      DrawDisk(painter);
      if (arrow == FloppyArrow::kOut) {
        DrawArrow(painter, QPointF(18, 24), QPointF(37, 4));
      } else {
        DrawArrow(painter, QPointF(38, 3), QPointF(19, 23));
      }
    }
    pixmap.setDevicePixelRatio(ratio);
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace varnel
