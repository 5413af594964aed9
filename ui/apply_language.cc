#include "ui/apply_language.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>
#include <QtGlobal>

#include "platform/program_folder.h"
#include "ui/archiver_message.h"
#include "ui/caption_table.h"
#include "ui/folder_tree.h"
#include "ui/form_shell.h"

namespace varnel {

namespace {

static_assert(static_cast<int>(CaptionForm::kForm3) == static_cast<int>(FormId::kForm3) &&
              static_cast<int>(CaptionForm::kMainForm) == static_cast<int>(FormId::kMainForm));

void SetCaption(QWidget* form, QWidget* control, const QString& text) {
  if (control == form) {
    form->setWindowTitle(text);
  } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
    frame->setTitle(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(text);
  } else {
    control->setProperty("text", text);
  }
}

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

void SetArchiverMessage(Language language) {
  const QString folder = QString::fromStdString(ProgramFolder());
  SetMessage7zAbsent(language == Language::kFrench ? FrenchMessage7zAbsent(folder) : EnglishMessage7zAbsent(folder));
}

}  // namespace

void ApplyLanguage(int16_t LanguageId, FormShell& shell) {
  const std::optional<Language> language = LanguageOf(LanguageId);
  if (!language) return;
  for (const CaptionRow& row : kCaptionRows) {
    QWidget* form = shell.Form(static_cast<FormId>(row.form));
    if (form == nullptr) continue;  // a window the program was assembled without
    const QString name = Utf8(row.control);
    QWidget* control = name.isEmpty() ? form : form->findChild<QWidget*>(name);
    if (control == nullptr) {
      qWarning("ApplyLanguage: %s has no control named %s", qPrintable(form->objectName()), qPrintable(name));
      continue;
    }
    const QString text = QString::fromStdString(CaptionText(row, *language));
    if (row.property == CaptionProperty::kToolTip) {
      control->setToolTip(text);
    } else {
      SetCaption(form, control, text);
    }
  }
  const FolderListCaptions folder_list = FolderListCaptionsIn(*language);
  for (const FormId id : {FormId::kForm1, FormId::kForm2, FormId::kForm3}) {
    QWidget* form = shell.Form(id);
    auto* folders = form == nullptr ? nullptr : form->findChild<FolderTree*>(QStringLiteral("Dir1"));
    if (folders != nullptr) folders->SetTexts(Utf8(folder_list.gone), Utf8(folder_list.no_such_folder));
  }
  SetArchiverMessage(*language);
}

}  // namespace varnel
