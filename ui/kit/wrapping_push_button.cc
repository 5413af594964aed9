#include "ui/kit/wrapping_push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace varnel {

WrappingPushButton::WrappingPushButton(QWidget* parent) : QPushButton(parent) {}

QRect WrappingPushButton::CaptionRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) / 2;
  return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this).adjusted(margin, 0, -margin, 0);
}

void WrappingPushButton::paintEvent(QPaintEvent* /*event*/) {
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  QRect caption = CaptionRect();
  if (isDown()) {
    caption.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                      style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  painter.drawItemText(caption, kCaptionFlags, palette(), isEnabled(), text(), QPalette::ButtonText);
}

}  // namespace varnel
