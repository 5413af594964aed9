#ifndef VARNEL_UI_KIT_WRAPPING_PUSH_BUTTON_H_
#define VARNEL_UI_KIT_WRAPPING_PUSH_BUTTON_H_

#include <QPushButton>

namespace varnel {

// A button whose caption wraps at word boundaries and is centred on the button, as the large buttons of a
// fixed layout need; a line feed in the caption starts a new line.
class WrappingPushButton : public QPushButton {
  Q_OBJECT

 public:
  explicit WrappingPushButton(QWidget* parent = nullptr);

  // The rectangle the caption is drawn in.
  QRect CaptionRect() const;

  // The flags the caption is drawn with.
  static constexpr int kCaptionFlags = Qt::AlignCenter | Qt::TextWordWrap;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_WRAPPING_PUSH_BUTTON_H_
