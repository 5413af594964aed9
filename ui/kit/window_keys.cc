#include "ui/kit/window_keys.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>

namespace varnel {

namespace {

// Clicks a button when its label is clicked.
class LabelClick : public QObject {
 public:
  LabelClick(QLabel* label, QAbstractButton* box) : QObject(label), label_(label), box_(box) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != label_ || event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton || !label_->rect().contains(mouse->position().toPoint())) return false;
    if (box_ == nullptr || !box_->isEnabled()) return false;
    box_->setFocus(Qt::MouseFocusReason);
    box_->click();
    return true;
  }

 private:
  QLabel* label_;
  QPointer<QAbstractButton> box_;
};

void OnKeys(QWidget* window, std::initializer_list<QKeySequence> keys, QAbstractButton* button) {
  for (const QKeySequence& key : keys) {
    auto* shortcut = new QShortcut(key, window);
    QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
  }
}

}  // namespace

void PressButtonsWithReturn(QWidget* window) {
  for (QPushButton* button : window->findChildren<QPushButton*>()) button->setAutoDefault(true);
}

void BindJobKeys(QWidget* window, QAbstractButton* go, QAbstractButton* quit) {
  OnKeys(window, {QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, go);
  OnKeys(window, {QKeySequence(Qt::Key_Escape)}, quit);
}

void ToggleWithLabel(QLabel* label, QAbstractButton* box) {
  label->setBuddy(box);
  label->installEventFilter(new LabelClick(label, box));
}

}  // namespace varnel
