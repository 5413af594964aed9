#include "jobs/alpha/form2_host.h"

#include <QString>

#include "ui/kit/message_box.h"

namespace varnel {

Form2Host::Form2Host(QWidget* window, QProgressBar* bar) : window_(window), progress_(bar) {}

void Form2Host::ShowMessage(const std::string& text, MessageIcon icon) {
  progress_.Flush();
  ShowMessageBox(window_, QString::fromStdString(text), icon);
}

void Form2Host::SetProgress(double minimum, double maximum, double value) { progress_.Set(minimum, maximum, value); }

}  // namespace varnel
