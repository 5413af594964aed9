#include "ui/kit/form_layout.h"

#include <QDir>
#include <QFile>
#include <QFont>

namespace varnel {

void UseFormFont(QWidget* form) {
  QFont form_font = form->font();
  form_font.setPointSizeF(kFormFontPointSize);
  form->setFont(form_font);
}

QString DefaultStartFolder() {
#ifdef _WIN32
  return QStringLiteral("C:\\");
#else
  return QDir::homePath();
#endif
}

std::string PathBytes(const QString& path) {
#ifdef _WIN32
  return path.toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

QString PathText(const std::string& bytes) {
#ifdef _WIN32
  return QString::fromStdString(bytes);
#else
  return QFile::decodeName(QByteArray::fromStdString(bytes));
#endif
}

}  // namespace varnel
