#include "jobs/zip/zip_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <functional>

namespace varnel {

namespace {

// Drawn on a 40 x 40 grid, scaled to the wanted size.
constexpr double kGrid = 40.0;

QPixmap Draw(int size, double ratio, const std::function<void(QPainter&)>& draw) {
  const int pixels = static_cast<int>(std::lround(size * ratio));
  QPixmap pixmap(pixels, pixels);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(pixels / kGrid, pixels / kGrid);
    draw(painter);
  }
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

void DrawArchive(QPainter& painter) {
  // The page, its top right corner folded.
  QPainterPath page;
  page.moveTo(6, 2);
  page.lineTo(27, 2);
  page.lineTo(34, 9);
  page.lineTo(34, 38);
  page.lineTo(6, 38);
  page.closeSubpath();
  painter.setPen(QPen(QColor(0x8a, 0x6d, 0x1f), 1.2));
  painter.setBrush(QColor(0xf2, 0xc9, 0x4c));
  painter.drawPath(page);
  painter.setBrush(QColor(0xfa, 0xe3, 0x9a));
  painter.drawPolygon(QPolygonF({QPointF(27, 2), QPointF(27, 9), QPointF(34, 9)}));

  // The zipper: a dark band with teeth alternating on both sides, then the slider and its pull tab.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x4a, 0x4a, 0x4a));
  painter.drawRect(QRectF(18.2, 2.6, 3.6, 22));
  painter.setBrush(QColor(0xd9, 0xd9, 0xd9));
  for (int tooth = 0; tooth < 7; ++tooth) {
    const double top = 3.4 + tooth * 3.0;
    painter.drawRect(QRectF(tooth % 2 == 0 ? 16.6 : 20.0, top, 3.4, 1.6));
  }
  painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.0));
  painter.setBrush(QColor(0xb0, 0xb5, 0xbb));
  painter.drawRoundedRect(QRectF(16.0, 24.0, 8.0, 5.0), 1.2, 1.2);
  painter.drawRoundedRect(QRectF(17.5, 28.5, 5.0, 8.0), 2.0, 2.0);
  painter.setBrush(QColor(0x30, 0x30, 0x30));
  painter.drawEllipse(QPointF(20.0, 33.6), 1.0, 1.0);
}

void DrawRomToZip(QPainter& painter) {
  // A cartridge: its body with a grip notch, a label and the contacts at the bottom edge.
  QPainterPath body;
  body.moveTo(5, 3);
  body.lineTo(35, 3);
  body.lineTo(35, 23);
  body.lineTo(31, 23);
  body.lineTo(31, 26);
  body.lineTo(9, 26);
  body.lineTo(9, 23);
  body.lineTo(5, 23);
  body.closeSubpath();
  painter.setPen(QPen(QColor(0x3c, 0x3c, 0x44), 1.2));
  painter.setBrush(QColor(0x8d, 0x8f, 0x99));
  painter.drawPath(body);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x2b, 0x4c, 0x7e));
  painter.drawRoundedRect(QRectF(9, 6, 22, 12), 1.5, 1.5);
  painter.setBrush(QColor(0xf4, 0xf4, 0xf0));
  painter.drawRect(QRectF(11.5, 9, 17, 2));
  painter.drawRect(QRectF(11.5, 13, 11, 2));
  painter.setBrush(QColor(0xd4, 0xaf, 0x37));
  for (int contact = 0; contact < 8; ++contact) painter.drawRect(QRectF(10.5 + contact * 2.5, 23.6, 1.4, 2.4));

  // The arrow into the archive below.
  const QColor arrow(0xd3, 0x2f, 0x2f);
  painter.setPen(QPen(arrow, 3.6, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(QPointF(20, 27.5), QPointF(20, 33));
  painter.setPen(QPen(Qt::white, 1.0));
  painter.setBrush(arrow);
  painter.drawPolygon(QPolygonF({QPointF(13, 31.5), QPointF(27, 31.5), QPointF(20, 39)}));
}

}  // namespace

QPixmap ZipArchivePicture(int size, double ratio) { return Draw(size, ratio, DrawArchive); }

QPixmap RomToZipPicture(int size, double ratio) { return Draw(size, ratio, DrawRomToZip); }

}  // namespace varnel
