#ifndef VARNEL_UI_KIT_WINDOW_KEYS_H_
#define VARNEL_UI_KIT_WINDOW_KEYS_H_

class QAbstractButton;
class QLabel;
class QWidget;

namespace varnel {

// Return presses whichever push button of `window` has the focus, as Space does (autoDefault on each). Plain
// Return anywhere else presses nothing: a window is no dialog with a default button.
void PressButtonsWithReturn(QWidget* window);

// The keys of a job window: Ctrl+Return (or Ctrl+Enter on the keypad) presses `go` wherever the focus is in
// `window`, a text box included; Escape presses `quit`.
void BindJobKeys(QWidget* window, QAbstractButton* go, QAbstractButton* quit);

// Makes `label` the caption of `box`, a check box drawn without text: its buddy, and a click on the label
// toggles the box and gives it the focus, as a click on the box itself would.
void ToggleWithLabel(QLabel* label, QAbstractButton* box);

}  // namespace varnel

#endif  // VARNEL_UI_KIT_WINDOW_KEYS_H_
