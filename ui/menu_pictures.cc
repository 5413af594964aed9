#include "ui/menu_pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace varnel {

namespace {

QPixmap Blank(QSize size) {
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  return picture;
}

// One of the four arms of a saltire on the 60 x 30 flag, from the centre to a corner, `width` units wide,
// shifted `offset` units clockwise (the red arms are counterchanged).
void SaltireArm(QPainter& painter, QPointF corner, double width, double offset) {
  const QPointF centre(30, 15);
  const QPointF along = corner - centre;
  const double length = std::hypot(along.x(), along.y());
  const QPointF across(-along.y() / length, along.x() / length);
  const QPointF shift = across * offset;
  const QPointF half = across * (width / 2);
  QPainterPath arm;
  arm.moveTo(centre + shift - half);
  arm.lineTo(corner + shift - half);
  arm.lineTo(corner + shift + half);
  arm.lineTo(centre + shift + half);
  arm.closeSubpath();
  painter.fillPath(arm, painter.brush());
}

}  // namespace

QPixmap BannerPicture() {
  QPixmap picture = Blank(kBannerSize);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  QLinearGradient field(0, 0, kBannerSize.width(), kBannerSize.height());
  field.setColorAt(0, QColor(0x12, 0x2a, 0x4f));
  field.setColorAt(1, QColor(0x2f, 0x6d, 0x8f));
  painter.fillRect(picture.rect(), field);

  // A row of cartridges fading to the right, behind the name.
  painter.setPen(Qt::NoPen);
  for (int i = 0; i < 9; ++i) {
    const int alpha = 70 - i * 7;
    painter.setBrush(QColor(255, 255, 255, alpha));
    const QRectF cartridge(250 + i * 27, 16, 20, 28);
    painter.drawRoundedRect(cartridge, 2, 2);
    painter.setBrush(QColor(0x12, 0x2a, 0x4f, alpha * 2));
    painter.drawRect(QRectF(cartridge.left() + 4, cartridge.top() + 5, 12, 10));
  }

  QFont name_font(QStringLiteral("DejaVu Sans"));
  name_font.setPixelSize(38);
  name_font.setBold(true);
  painter.setFont(name_font);
  painter.setPen(QColor(0, 0, 0, 90));
  painter.drawText(QPointF(18, 47), QStringLiteral("Varnel"));
  painter.setPen(QColor(0xf4, 0xc4, 0x30));
  painter.drawText(QPointF(16, 45), QStringLiteral("Varnel"));

  QFont by_font(QStringLiteral("DejaVu Sans"));
  by_font.setPixelSize(13);
  painter.setFont(by_font);
  painter.setPen(QColor(0xe8, 0xee, 0xf4));
  painter.drawText(QPointF(18, 63), QStringLiteral("by Tollimer  \u00b7  romset tools"));
  return picture;
}

QPixmap FrenchFlag() {
  QPixmap picture = Blank(kFlagSize);
  QPainter painter(&picture);
  const int band = kFlagSize.width() / 3;
  const int height = kFlagSize.height();
  painter.fillRect(0, 0, band, height, QColor(0x00, 0x23, 0x95));
  painter.fillRect(band, 0, kFlagSize.width() - 2 * band, height, Qt::white);
  painter.fillRect(kFlagSize.width() - band, 0, band, height, QColor(0xed, 0x29, 0x39));
  return picture;
}

QPixmap UnitedKingdomFlag() {
  const QColor blue(0x01, 0x21, 0x69);
  const QColor red(0xc8, 0x10, 0x2e);
  QPixmap picture = Blank(kFlagSize);
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  // Drawn on the flag's own 60 x 30 grid, stretched to the picture.
  painter.scale(kFlagSize.width() / 60.0, kFlagSize.height() / 30.0);
  painter.fillRect(QRectF(0, 0, 60, 30), blue);
  const QPointF corners[] = {{0, 0}, {60, 0}, {60, 30}, {0, 30}};
  painter.setBrush(Qt::white);
  for (const QPointF& corner : corners) SaltireArm(painter, corner, 6, 0);
  painter.setBrush(red);
  for (const QPointF& corner : corners) SaltireArm(painter, corner, 2, 1);
  painter.fillRect(QRectF(25, 0, 10, 30), Qt::white);
  painter.fillRect(QRectF(0, 10, 60, 10), Qt::white);
  painter.fillRect(QRectF(27, 0, 6, 30), red);
  painter.fillRect(QRectF(0, 12, 60, 6), red);
  return picture;
}

}  // namespace varnel
