#include "settings/form1_values.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocument>
#include <stdexcept>

#include "ui/folder_tree.h"

namespace varnel {

namespace {

template <typename T>
T* Control(const QWidget& form, const char* name) {
  T* control = form.findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) throw std::logic_error(std::string("The window has no control ") + name);
  return control;
}

bool Checked(const QWidget& form, const char* name) { return Control<QAbstractButton>(form, name)->isChecked(); }

std::string Text(const QWidget& form, const char* name) { return BoxText(Control<QWidget>(form, name)); }

}  // namespace

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

RunSettings RunSettingsFromForm(const QWidget& form) {
  RunSettings settings;
  settings.RomFolder = PathBytes(Control<FolderTree>(form, "Dir1")->Path());
  settings.TestMode = Checked(form, "Test");
  settings.MoveFiles = Checked(form, "Moved");
  settings.OpenLog = Checked(form, "LogFile");
  settings.KeepTranslations = Checked(form, "TradsYN");
  settings.IgnoreExtensions = Checked(form, "Multiext");
  settings.ZoneMode = ZoneModeOf(Checked(form, "Option1"), Checked(form, "Option2"), Checked(form, "Option3"),
                                 Checked(form, "Option4"));
  settings.ZoneText = Text(form, "ListeZones");
  settings.KeepText = Text(form, "Conservees");
  settings.ExclusionText = Text(form, "Exclues");
  settings.TranslationText = Text(form, "ListeTrads");
  return settings;
}

ConfigValues ConfigValuesFromForm(const QWidget& form) {
  ConfigValues values;
  values.zones = Text(form, "ListeZones");
  values.kept = Text(form, "Conservees");
  values.excluded = Text(form, "Exclues");
  values.translations = Text(form, "ListeTrads");
  values.keep_translations = Checked(form, "TradsYN");
  return values;
}

}  // namespace varnel
