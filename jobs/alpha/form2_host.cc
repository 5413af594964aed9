#include "jobs/alpha/form2_host.h"

#include <QProgressBar>
#include <QString>
#include <algorithm>
#include <climits>
#include <cmath>

#include "ui/message_box.h"

namespace varnel {

namespace {

// The bar counts in whole steps; a count of files never comes near the limit of an int.
int Step(double value) { return static_cast<int>(std::clamp(std::round(value), 0.0, static_cast<double>(INT_MAX))); }

}  // namespace

Form2Host::Form2Host(QWidget* window, QProgressBar* bar) : window_(window), bar_(bar) {}

void Form2Host::ShowMessage(const std::string& text, int icon) {
  Flush();
  ShowMessageBox(window_, QString::fromStdString(text), icon);
}

void Form2Host::SetProgress(double minimum, double maximum, double value) {
  if (!range_set_ || minimum != minimum_ || maximum != maximum_) {
    minimum_ = minimum;
    maximum_ = maximum;
    range_set_ = true;
    filled_ = -1;
    bar_->setRange(Step(minimum), Step(maximum));
  }
  value_ = value;
  int filled = 0;
  if (maximum > minimum) {
    const double share = std::clamp((value - minimum) / (maximum - minimum), 0.0, 1.0);
    filled = static_cast<int>(std::floor(share * std::max(1, bar_->width())));
  }
  if (filled == filled_) return;
  filled_ = filled;
  bar_->setValue(Step(value));  // repaints by itself: the job does not return to the event loop
}

void Form2Host::Flush() {
  if (range_set_ && bar_->value() != Step(value_)) bar_->setValue(Step(value_));
}

}  // namespace varnel
