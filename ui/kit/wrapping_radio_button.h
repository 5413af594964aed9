#ifndef VARNEL_UI_KIT_WRAPPING_RADIO_BUTTON_H_
#define VARNEL_UI_KIT_WRAPPING_RADIO_BUTTON_H_

#include <QRadioButton>

namespace varnel {

// An option button whose caption wraps at word boundaries over the button's whole height, as a two-line
// option button of a fixed layout needs. The whole button, caption included, takes the click.
class WrappingRadioButton : public QRadioButton {
  Q_OBJECT

 public:
  explicit WrappingRadioButton(QWidget* parent = nullptr);

  // The rectangle the caption is drawn in.
  QRect CaptionRect() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool hitButton(const QPoint& pos) const override;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_WRAPPING_RADIO_BUTTON_H_
