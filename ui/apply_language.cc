#include "ui/apply_language.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>
#include <QVariant>
#include <QWidget>
#include <QtGlobal>

#include "platform/program_folder.h"
#include "ui/caption_table.h"
#include "ui/kit/archiver_message.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_shell.h"

namespace varnel {

namespace {

static_assert(static_cast<int>(CaptionForm::kForm3) == static_cast<int>(FormId::kForm3) &&
              static_cast<int>(CaptionForm::kMainForm) == static_cast<int>(FormId::kMainForm) &&
              static_cast<int>(CaptionForm::kHistoryForm) == static_cast<int>(FormId::kHistoryForm));

void SetCaption(QWidget* form, QWidget* control, const QString& text) {
  if (control == form) {
    // A title bar has one line: a line break of the caption shows as a blank.
    form->setWindowTitle(QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
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

// Sets one row of the table; loads its window first when needed.
void SetRow(const CaptionRow& row, Language language, FormShell& shell) {
  QWidget* form = shell.Form(static_cast<FormId>(row.form));
  if (form == nullptr) return;  // a window the program was assembled without
  const QString name = Utf8(row.control);
  QWidget* control = name.isEmpty() ? form : form->findChild<QWidget*>(name);
  if (control == nullptr) {
    qWarning("ApplyLanguage: %s has no control named %s", qPrintable(form->objectName()), qPrintable(name));
    return;
  }
  const QString text = QString::fromStdString(CaptionText(row, language));
  if (row.property == CaptionProperty::kToolTip) {
    control->setToolTip(text);
  } else if (row.property == CaptionProperty::kColumn) {
    if (auto* list = qobject_cast<QTreeWidget*>(control)) list->headerItem()->setText(row.column, text);
  } else {
    SetCaption(form, control, text);
  }
}

void SetFolderListTexts(QWidget* form, Language language) {
  const FolderListTexts texts = FolderListCaptionsIn(language);
  auto* folders = form == nullptr ? nullptr : form->findChild<FolderTree*>(QStringLiteral("Dir1"));
  if (folders != nullptr) folders->SetTexts(Utf8(texts.gone), Utf8(texts.no_such_folder));
}

}  // namespace

void ApplyLanguage(int16_t LanguageId, FormShell& shell) {
  const std::optional<Language> language = LanguageOf(LanguageId);
  if (!language) return;
  shell.SetLanguage(LanguageId);
  for (const CaptionRow& row : kCaptionRows) SetRow(row, *language, shell);
  for (const FormId id : {FormId::kForm1, FormId::kForm2, FormId::kForm3})
    SetFolderListTexts(shell.Form(id), *language);
  SetArchiverMessage(*language);
}

void ApplyCaptions(FormId id, Language language, FormShell& shell) {
  for (const CaptionRow& row : kCaptionRows) {
    if (static_cast<FormId>(row.form) == id) SetRow(row, language, shell);
  }
  SetFolderListTexts(shell.Form(id), language);
}

void FollowLanguage(FormShell& shell) {
  shell.SetLoadHandler([&shell](FormId id, QWidget* /*form*/) {
    if (const std::optional<Language> language = LanguageOf(shell.language())) ApplyCaptions(id, *language, shell);
  });
}

}  // namespace varnel
