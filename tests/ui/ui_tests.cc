#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "platform/program_folder.h"
#include "ui/apply_language.h"
#include "ui/archiver_message.h"
#include "ui/caption_table.h"
#include "ui/form_shell.h"
#include "ui/job_form.h"
#include "ui/message_box.h"
#include "ui/run_varnel.h"
#include "ui/varnel_application.h"
#include "ui/wrapping_push_button.h"
#include "ui/wrapping_radio_button.h"

namespace varnel {
namespace {

constexpr FormId kJobForms[] = {FormId::kForm1, FormId::kForm2, FormId::kForm3};
using Expected = std::function<QString(const CaptionRow&)>;

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
FormId IdOf(const CaptionRow& row) { return static_cast<FormId>(row.form); }
QWidget* ControlOf(QWidget* form, const CaptionRow& row) {
  return row.control.empty() ? form : form->findChild<QWidget*>(Utf8(row.control));
}
QString Folder() { return QString::fromStdString(ProgramFolder()); }
Expected In(Language language) {
  return [language](const CaptionRow& row) { return QString::fromStdString(CaptionText(row, language)); };
}

// The texts of a job window as it is loaded: the English column but for a few rows.
QString InitialText(const CaptionRow& row) {
  const auto is = [&row](CaptionForm form, std::string_view control) {
    return row.form == form && row.control == control;
  };
  if (is(CaptionForm::kForm1, "")) return "I want to clean my romset";
  if (is(CaptionForm::kForm1, "Test")) {
    return "Process will be done completely without deleting or moving files. Generate log file.";
  }
  if (is(CaptionForm::kForm2, "Picture1") || is(CaptionForm::kForm3, "Picture1")) return QString();
  if (is(CaptionForm::kForm3, "Label1")) return "Label1";
  return In(Language::kEnglish)(row);
}

// Every row of the windows `forms` that is missing or does not show `expected`, one a line.
QString Mismatches(FormShell& shell, std::vector<FormId> forms, const Expected& expected) {
  QString report;
  for (const CaptionRow& row : kCaptionRows) {
    if (std::ranges::find(forms, IdOf(row)) == forms.end()) continue;
    const QString where = QStringLiteral("form %1, %2: ").arg(static_cast<int>(row.form)).arg(Utf8(row.control));
    QWidget* form = shell.IsLoaded(IdOf(row)) ? shell.Form(IdOf(row)) : nullptr;
    QWidget* control = form ? ControlOf(form, row) : nullptr;
    if (control == nullptr) {
      report += where + QStringLiteral("missing\n");
      continue;
    }
    QString shown = control->property(control == form ? "windowTitle" : "text").toString();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) shown = frame->title();
    if (row.property == CaptionProperty::kToolTip) shown = control->toolTip();
    if (shown != expected(row)) report += where + shown + QStringLiteral(" instead of ") + expected(row) + '\n';
  }
  return report;
}
const std::vector<FormId> kAllForms = {FormId::kMainForm, FormId::kForm1, FormId::kForm2, FormId::kForm3};

// True when the whole caption of `control` is drawn inside it.
bool CaptionFits(QWidget* control) {
  QRect room = control->contentsRect();
  QString text = control->property("text").toString();
  int flags = Qt::AlignLeft | Qt::AlignVCenter;
  if (auto* button = qobject_cast<WrappingPushButton*>(control)) {
    room = button->CaptionRect();
    flags = WrappingPushButton::kCaptionFlags;
  } else if (auto* option = qobject_cast<WrappingRadioButton*>(control)) {
    room = option->CaptionRect();
    flags |= Qt::TextWordWrap;
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  } else if (auto* frame = qobject_cast<QGroupBox*>(control)) {
    text = frame->title();
    room.adjust(8, 0, -8, 0);
  } else if (qobject_cast<QAbstractButton*>(control) != nullptr) {
    room.adjust(4, 0, -4, 0);
    flags = Qt::AlignCenter;
  }
  const QRect needed = control->fontMetrics().boundingRect(room, flags, text);
  return needed.width() <= room.width() && needed.height() <= room.height();
}

template <typename T = QAbstractButton>
T* Find(QWidget* form, const char* name) {
  T* control = form->findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("no control named %s", name);
  return control;
}
void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }
void CloseBox(QWidget* form) {
  form->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace

class UiTest : public QObject {
  Q_OBJECT

 public:
  explicit UiTest(QString config_folder) : config_file_(config_folder + QStringLiteral("/varnel_config.txt")) {}

 private:
  QString config_file_;
  std::unique_ptr<ScriptedMessageBoxes> boxes_;
  std::unique_ptr<FormShell> shell_;
  QWidget* Form(FormId id) { return shell_->IsLoaded(id) || id == FormId::kMainForm ? shell_->Form(id) : nullptr; }

 private slots:
  void init() {
    QFile::remove(config_file_);
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    shell_ = std::make_unique<FormShell>();
    RegisterVarnelForms(*shell_);
  }
  void cleanup() {
    shell_.reset();
    boxes_.reset();
  }

  void startsInFrenchWithTheJobWindowsLoadedHidden() {
    QFile config(config_file_);
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("(e),(u)\r\n[!]\r\n(beta)\r\n");
    config.close();
    QWidget* menu = Form(FormId::kMainForm);
    QVERIFY(Find(menu, "Option1")->isChecked() && !Find(menu, "Option2")->isChecked());
    for (FormId id : kJobForms) QVERIFY(Form(id) != nullptr && !Form(id)->isVisible());
    const QString wrong = Mismatches(*shell_, kAllForms, In(Language::kFrench));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    // The cleaning window read the configuration file as it loaded; the French legend replaced its own.
    QCOMPARE(Find<QLineEdit>(Form(FormId::kForm1), "ListeZones")->text(), QStringLiteral("(e),(u)"));
    QCOMPARE(Message7zAbsent(), FrenchMessage7zAbsent(Folder()));
    QVERIFY(Message7zAbsent().contains('"' + Folder() + '"'));
  }

  void loadsTheJobWindowsInOrderAndIgnoresUnknownLanguages() {
    std::vector<FormId> loads;
    FormShell shell;
    for (FormId id : {FormId::kForm3, FormId::kForm2, FormId::kForm1}) {
      shell.SetFactory(id, [id, &loads] {
        loads.push_back(id);
        auto* form = new JobForm();  // stands in for the window: its controls hold the load's own texts
        for (const CaptionRow& row : kCaptionRows) {
          if (IdOf(row) == id && !row.control.empty())
            (new QLabel("as loaded", form))->setObjectName(Utf8(row.control));
        }
        return form;
      });
    }
    SetMessage7zAbsent(QStringLiteral("as before"));
    for (int16_t id : {0, 3, -1}) ApplyLanguage(id, shell);
    QVERIFY(loads.empty());
    QCOMPARE(Message7zAbsent(), QStringLiteral("as before"));
    ApplyLanguage(2, shell);
    QCOMPARE(loads, (std::vector<FormId>{FormId::kForm1, FormId::kForm2, FormId::kForm3}));
    for (int16_t id : {0, 3, -1, 32767}) ApplyLanguage(id, shell);
    QCOMPARE(Message7zAbsent(), EnglishMessage7zAbsent(Folder()));
    const QString wrong = Mismatches(shell, {FormId::kForm1, FormId::kForm2, FormId::kForm3}, In(Language::kEnglish));
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
  }

  void switchingLanguageReachesHiddenAndUnloadedWindows() {
    QWidget* menu = Form(FormId::kMainForm);
    menu->show();
    for (FormId id : kJobForms) {
      Click(Find(menu, "Option2"));
      QString wrong = Mismatches(*shell_, kAllForms, In(Language::kEnglish));
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
      QCOMPARE(Message7zAbsent(), EnglishMessage7zAbsent(Folder()));
      CloseBox(Form(id));
      QVERIFY(!shell_->IsLoaded(id) && menu->isVisible());
      Click(Find(menu, "Option1"));
      QVERIFY(Form(id) != nullptr && !Form(id)->isVisible());
      wrong = Mismatches(*shell_, kAllForms, In(Language::kFrench));
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
      QCOMPARE(Message7zAbsent(), FrenchMessage7zAbsent(Folder()));
    }
  }

  void jobButtonsOpenTheirWindowsWhichComeBackToTheMenu() {
    const std::pair<const char*, FormId> jobs[] = {
        {"Command1", FormId::kForm1}, {"Command2", FormId::kForm3}, {"Command3", FormId::kForm2}};
    QWidget* menu = Form(FormId::kMainForm);
    menu->show();
    for (const auto& [button, id] : jobs) {
      Click(Find(menu, button));
      QVERIFY(!menu->isVisible() && Form(id)->isVisible());
      Click(Find(Form(id), "Command2"));  // "Quit" keeps the window and its French texts
      QVERIFY(menu->isVisible() && !Form(id)->isVisible());
      QVERIFY(Mismatches(*shell_, {id}, In(Language::kFrench)).isEmpty());
      // Closed with its close box, it comes back in English until a language is chosen again.
      Click(Find(menu, button));
      CloseBox(Form(id));
      QVERIFY(menu->isVisible());
      Click(Find(menu, button));
      QString wrong =
          Mismatches(*shell_, {id}, InitialText) + Mismatches(*shell_, {FormId::kMainForm}, In(Language::kFrench));
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
      Click(Find(Form(id), "Command2"));
    }
  }

  void quitAndCloseBoxEndTheProgramWhileJobWindowsAreLoadedHidden() {
    for (bool close_box : {false, true}) {
      QWidget* menu = Form(FormId::kMainForm);
      menu->show();
      QTimer::singleShot(0, menu,
                         [menu, close_box] { close_box ? void(menu->close()) : Click(Find(menu, "Command4")); });
      QTimer hang_guard;  // ends a loop that the program failed to end, so the test fails instead of hanging
      hang_guard.callOnTimeout([] { QCoreApplication::exit(1); });
      hang_guard.start(10000);
      QCOMPARE(QCoreApplication::exec(), 0);
      QVERIFY(!menu->isVisible());
      for (FormId id : kJobForms) QVERIFY(shell_->IsLoaded(id) && !Form(id)->isVisible());
    }
  }

  void captionsFitInBothLanguages() {
    for (int16_t id : {1, 2}) {
      ApplyLanguage(id, *shell_);
      for (const CaptionRow& row : kCaptionRows) {
        if (row.property == CaptionProperty::kToolTip || row.control.empty()) continue;
        QVERIFY2(CaptionFits(ControlOf(Form(IdOf(row)), row)), row.control.data());
      }
    }
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  // The cleaning window reads the user's configuration file as it loads: give it a folder of its own.
  QTemporaryDir config_home;
  qputenv("XDG_CONFIG_HOME", config_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::UiTest test(config_home.path());
  return QTest::qExec(&test, argc, argv);
}
#include "ui_tests.moc"
