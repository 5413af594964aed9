#include "jobs/alpha/alpha_picture.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace varnel {

namespace {

// Drawn on a 40 x 40 grid, scaled to the wanted size.
constexpr double kGrid = 40.0;

// One manila folder whose body's top-left corner is (x, y), with `letter` on its front.
void DrawFolder(QPainter& painter, double x, double y, const QString& letter) {
  constexpr double kWidth = 17.0;
  constexpr double kHeight = 13.0;
  const QColor outline(0x8a, 0x62, 0x12);

  QPainterPath back;  // the back sheet and its tab
  back.moveTo(x, y + kHeight);
  back.lineTo(x, y - 2.5);
  back.lineTo(x + 6.0, y - 2.5);
  back.lineTo(x + 7.5, y - 1.0);
  back.lineTo(x + kWidth, y - 1.0);
  back.lineTo(x + kWidth, y + kHeight);
  back.closeSubpath();
  painter.setPen(QPen(outline, 0.8));
  painter.setBrush(QColor(0xd9, 0xa4, 0x33));
  painter.drawPath(back);

  painter.setPen(QPen(Qt::white, 0.6));  // a sheet sticking out
  painter.setBrush(QColor(0xfa, 0xfa, 0xf6));
  painter.drawRect(QRectF(x + 1.5, y - 0.2, kWidth - 3.0, 3.0));

  QPainterPath front;
  front.moveTo(x, y + kHeight);
  front.lineTo(x, y + 1.5);
  front.lineTo(x + kWidth, y + 1.5);
  front.lineTo(x + kWidth, y + kHeight);
  front.closeSubpath();
  painter.setPen(QPen(outline, 0.8));
  painter.setBrush(QColor(0xf3, 0xc8, 0x5a));
  painter.drawPath(front);

  QFont font(QStringLiteral("Sans Serif"));
  font.setPixelSize(9);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(QColor(0x3d, 0x2a, 0x05));
  painter.drawText(QRectF(x, y + 1.5, kWidth, kHeight - 1.5), Qt::AlignCenter, letter);
}

}  // namespace

QPixmap AlphaFoldersPicture(int size, double device_pixel_ratio) {
  const int pixels = static_cast<int>(std::lround(size * device_pixel_ratio));
  QPixmap pixmap(pixels, pixels);
  pixmap.fill(Qt::transparent);
  {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(pixels / kGrid, pixels / kGrid);
    DrawFolder(painter, 2.0, 5.0, QStringLiteral("A"));
    DrawFolder(painter, 21.0, 5.0, QStringLiteral("B"));
    DrawFolder(painter, 11.5, 24.0, QStringLiteral("#"));
  }
  pixmap.setDevicePixelRatio(device_pixel_ratio);
  return pixmap;
}

}  // namespace varnel
