#include "settings/form1_values.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <stdexcept>

namespace varnel {

std::string BoxText(const QWidget* box) {
  if (const auto* line = qobject_cast<const QLineEdit*>(box)) return line->text().toStdString();
  if (const auto* lines = qobject_cast<const QPlainTextEdit*>(box)) {
    QString text = lines->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text.toStdString();
  }
  throw std::logic_error("Not a text box: " + box->objectName().toStdString());
}

void SetBoxText(QWidget* box, const std::string& text) {
  const QString value = QString::fromStdString(text);
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    line->setText(value);
  } else if (auto* lines = qobject_cast<QPlainTextEdit*>(box)) {
    lines->setPlainText(value);
  } else {
    throw std::logic_error("Not a text box: " + box->objectName().toStdString());
  }
}

ZoneMode ZoneModeOf(bool option1, bool option2, bool option3, bool option4) {
  if (option1) return ZoneMode::kAllSelectedZones;
  if (option2) return ZoneMode::kVerifiedFirst;
  if (option3) return ZoneMode::kFirstSelectedZone;
  if (option4) return ZoneMode::kAllZones;
  return ZoneMode::kNone;
}

}  // namespace varnel
