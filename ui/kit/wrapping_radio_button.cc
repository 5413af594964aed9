#include "ui/kit/wrapping_radio_button.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace varnel {

WrappingRadioButton::WrappingRadioButton(QWidget* parent) : QRadioButton(parent) {}

QRect WrappingRadioButton::CaptionRect() const {
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect indicator = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
  QRect caption = rect();
  caption.setLeft(indicator.right() + 1 + spacing);
  return caption;
}

void WrappingRadioButton::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  option.text.clear();
  QStyleOptionButton indicator = option;
  indicator.rect = style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, this);
  indicator.rect.moveTop((height() - indicator.rect.height()) / 2);
  style()->drawPrimitive(QStyle::PE_IndicatorRadioButton, &indicator, &painter, this);

  const QRect caption = CaptionRect();
  style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, palette(), isEnabled(),
                        text(), QPalette::WindowText);
  if (hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = fontMetrics().boundingRect(caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
  }
}

bool WrappingRadioButton::hitButton(const QPoint& pos) const { return rect().contains(pos); }

}  // namespace varnel
