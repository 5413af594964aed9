#include <QAbstractButton>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <vector>

#include "ui/apply_language.h"
#include "ui/caption_table.h"
#include "ui/form_shell.h"
#include "ui/job_form.h"
#include "ui/main_form.h"
#include "ui/menu_pictures.h"
#include "ui/message_box.h"
#include "ui/run_varnel.h"
#include "ui/varnel_application.h"
#include "ui/wrapping_push_button.h"
#include "ui/wrapping_radio_button.h"

namespace varnel {
namespace {

// The job windows the program is assembled with.
constexpr FormId kJobForms[] = {FormId::kForm1};

FormId IdOf(const CaptionRow& row) { return static_cast<FormId>(row.form); }

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString RowName(const CaptionRow& row) {
  static const char* const kForms[] = {"MainForm", "Form1", "Form2", "Form3"};
  return QString::fromLatin1(kForms[static_cast<int>(row.form)]) + QLatin1Char('.') +
         (row.control.empty() ? QStringLiteral("(title)") : Utf8(row.control)) +
         (row.property == CaptionProperty::kToolTip ? QStringLiteral(" tool tip") : QString());
}

bool IsAssembled(FormId id) {
  if (id == FormId::kMainForm) return true;
  for (FormId job : kJobForms) {
    if (job == id) return true;
  }
  return false;
}

QWidget* ControlOf(QWidget* form, const CaptionRow& row) {
  return row.control.empty() ? form : form->findChild<QWidget*>(Utf8(row.control));
}

QString ShownText(QWidget* form, QWidget* control, const CaptionRow& row) {
  if (row.property == CaptionProperty::kToolTip) return control->toolTip();
  if (control == form) return form->windowTitle();
  if (auto* frame = qobject_cast<QGroupBox*>(control)) return frame->title();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
  return control->property("text").toString();
}

// The text a window shows as it is loaded, before any language is applied.
QString InitialText(const CaptionRow& row) {
  const std::string_view control = row.control;
  switch (row.form) {
    case CaptionForm::kMainForm:
      if (control == "Command1") return QStringLiteral("I want to clean my romset");
      break;
    case CaptionForm::kForm1:
      if (control.empty()) return QStringLiteral("I want to clean my romset");
      if (control == "Test") {
        return QStringLiteral("Process will be done completely without deleting or moving files. Generate log file.");
      }
      break;
    case CaptionForm::kForm2:
      if (control == "Picture1") return QString();
      break;
    case CaptionForm::kForm3:
      if (control == "Picture1") return QString();
      if (control == "Label1") return QStringLiteral("Label1");
      break;
  }
  return QString::fromStdString(CaptionText(row, Language::kEnglish));
}

// Compares every row of the loaded windows in `forms` with `expected`; returns the mismatches, one a line.
template <typename Expected>
QString Mismatches(FormShell& shell, std::initializer_list<FormId> forms, Expected expected) {
  QString report;
  for (const CaptionRow& row : kCaptionRows) {
    if (std::find(forms.begin(), forms.end(), IdOf(row)) == forms.end() || !IsAssembled(IdOf(row))) continue;
    if (!shell.IsLoaded(IdOf(row))) {
      report += RowName(row) + QStringLiteral(": window not loaded\n");
      continue;
    }
    QWidget* form = shell.Form(IdOf(row));
    QWidget* control = ControlOf(form, row);
    if (control == nullptr) {
      report += RowName(row) + QStringLiteral(": no such control\n");
      continue;
    }
    const QString shown = ShownText(form, control, row);
    const QString wanted = expected(row);
    if (shown != wanted) report += RowName(row) + QStringLiteral(": \"%1\" instead of \"%2\"\n").arg(shown, wanted);
  }
  return report;
}

constexpr std::initializer_list<FormId> kAllForms = {FormId::kMainForm, FormId::kForm1, FormId::kForm2, FormId::kForm3};

QString LanguageMismatches(FormShell& shell, Language language) {
  return Mismatches(shell, kAllForms,
                    [language](const CaptionRow& row) { return QString::fromStdString(CaptionText(row, language)); });
}

// True when the whole caption of `control` is drawn inside it.
bool CaptionFits(QWidget* control) {
  const QFontMetrics metrics = control->fontMetrics();
  auto fits = [&](const QRect& room, int flags, const QString& text) {
    const QRect needed = metrics.boundingRect(room, flags, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
  };
  if (auto* button = qobject_cast<WrappingPushButton*>(control)) {
    return fits(button->CaptionRect(), WrappingPushButton::kCaptionFlags, button->text());
  }
  if (auto* option = qobject_cast<WrappingRadioButton*>(control)) {
    return fits(option->CaptionRect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, option->text());
  }
  if (auto* label = qobject_cast<QLabel*>(control)) {
    const int wrap = label->wordWrap() ? Qt::TextWordWrap : 0;
    return fits(label->contentsRect(), static_cast<int>(label->alignment()) | wrap, label->text());
  }
  if (auto* frame = qobject_cast<QGroupBox*>(control)) {
    return metrics.horizontalAdvance(frame->title()) + 16 <= frame->width();
  }
  if (auto* button = qobject_cast<QPushButton*>(control)) {
    return fits(button->contentsRect().adjusted(4, 0, -4, 0), Qt::AlignCenter, button->text());
  }
  if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    return fits(button->rect(), Qt::AlignLeft | Qt::AlignVCenter, button->text());
  }
  return false;
}

// A stand-in job window: every control the table names on it, and a load handler that writes a text the
// table must then replace.
QWidget* StandIn(CaptionForm which, std::vector<FormId>* loads) {
  loads->push_back(static_cast<FormId>(which));
  auto* form = new JobForm();
  form->setWindowTitle(QStringLiteral("as loaded"));
  for (const CaptionRow& row : kCaptionRows) {
    if (row.form != which || row.control.empty() || form->findChild<QWidget*>(Utf8(row.control))) continue;
    auto* control = new QLabel(QStringLiteral("as loaded"), form);
    control->setObjectName(Utf8(row.control));
  }
  return form;
}

void ProcessDeferredDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

template <typename T>
T* Find(QWidget* form, const char* name) {
  T* control = form->findChild<T*>(QString::fromLatin1(name));
  if (control == nullptr) qFatal("no control named %s", name);
  return control;
}

void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }

}  // namespace

class UiTest : public QObject {
  Q_OBJECT

 public:
  explicit UiTest(QString config_folder) : config_folder_(std::move(config_folder)) {}

 private:
  QString config_folder_;
  std::unique_ptr<ScriptedMessageBoxes> boxes_;
  std::unique_ptr<FormShell> shell_;

  QWidget* Menu() { return shell_->Form(FormId::kMainForm); }
  QWidget* Loaded(FormId id) { return shell_->IsLoaded(id) ? shell_->Form(id) : nullptr; }

 private slots:
  void init() {
    QFile::remove(config_folder_ + QStringLiteral("/varnel_config.txt"));
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    shell_ = std::make_unique<FormShell>();
    RegisterVarnelForms(*shell_);
  }
  void cleanup() {
    shell_.reset();
    boxes_.reset();
  }

  void startsInFrenchWithTheJobWindowsLoadedHidden() {
    QFile config(config_folder_ + QStringLiteral("/varnel_config.txt"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("(e),(u)\r\n[!]\r\n(beta)\r\n");
    config.close();

    QWidget* menu = Menu();
    QVERIFY(Find<QRadioButton>(menu, "Option1")->isChecked());
    QVERIFY(!Find<QRadioButton>(menu, "Option2")->isChecked());
    for (FormId id : kJobForms) {
      QVERIFY(Loaded(id) != nullptr);
      QVERIFY(!Loaded(id)->isVisible());
    }
    const QString wrong = LanguageMismatches(*shell_, Language::kFrench);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    // The cleaning window read the configuration file while it loaded, and its English legend was replaced.
    QCOMPARE(Find<QLineEdit>(Loaded(FormId::kForm1), "ListeZones")->text(), QStringLiteral("(e),(u)"));
    QVERIFY(Find<QLabel>(Loaded(FormId::kForm1), "Label1")->text().startsWith(QStringLiteral("(A) Australie\r\n")));
  }

  void loadsTheJobWindowsInOrderBeforeSettingTheirTexts() {
    std::vector<FormId> loads;
    FormShell shell;
    for (CaptionForm which : {CaptionForm::kForm3, CaptionForm::kForm2, CaptionForm::kForm1}) {
      shell.SetFactory(static_cast<FormId>(which), [which, &loads] { return StandIn(which, &loads); });
    }
    ApplyLanguage(0, shell);
    ApplyLanguage(3, shell);
    QVERIFY(loads.empty());
    ApplyLanguage(2, shell);
    QCOMPARE(loads, (std::vector<FormId>{FormId::kForm1, FormId::kForm2, FormId::kForm3}));
    const QString wrong =
        Mismatches(shell, {FormId::kForm1, FormId::kForm2, FormId::kForm3},
                   [](const CaptionRow& row) { return QString::fromStdString(CaptionText(row, Language::kEnglish)); });
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
  }

  void switchingLanguageReachesHiddenAndUnloadedWindows() {
    QWidget* menu = Menu();
    menu->show();
    for (FormId id : kJobForms) {
      Click(Find<QRadioButton>(menu, "Option2"));
      QVERIFY(Find<QRadioButton>(menu, "Option2")->isChecked());
      QString wrong = LanguageMismatches(*shell_, Language::kEnglish);
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));

      Loaded(id)->close();
      ProcessDeferredDeletes();
      QVERIFY(!shell_->IsLoaded(id));
      QVERIFY(menu->isVisible());

      Click(Find<QRadioButton>(menu, "Option1"));
      QVERIFY(Loaded(id) != nullptr);
      QVERIFY(!Loaded(id)->isVisible());
      wrong = LanguageMismatches(*shell_, Language::kFrench);
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
  }

  void jobWindowsAsLoadedShowTheEnglishColumnWithItsExceptions() {
    for (FormId id : kJobForms) {
      QVERIFY(shell_->Form(id) != nullptr);  // no menu: nothing applies a language
      const QString wrong = Mismatches(*shell_, {id}, InitialText);
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
  }

  void closedJobWindowComesBackWithItsInitialTexts() {
    struct Job {
      const char* button;
      FormId form;
    };
    const Job jobs[] = {{"Command1", FormId::kForm1}, {"Command2", FormId::kForm3}, {"Command3", FormId::kForm2}};
    QWidget* menu = Menu();
    menu->show();
    for (const Job& job : jobs) {
      if (!IsAssembled(job.form)) continue;
      Click(Find<QPushButton>(menu, job.button));
      QVERIFY(!menu->isVisible());
      QVERIFY(Loaded(job.form)->isVisible());
      // "Quit" keeps the window and its texts.
      Click(Find<QPushButton>(Loaded(job.form), "Command2"));
      QVERIFY(!Loaded(job.form)->isVisible());
      QVERIFY(menu->isVisible());
      QVERIFY(Mismatches(*shell_, {job.form}, [](const CaptionRow& row) {
                return QString::fromStdString(CaptionText(row, Language::kFrench));
              }).isEmpty());

      // The close box unloads it: shown again, it is back in English until a language is chosen.
      Click(Find<QPushButton>(menu, job.button));
      Loaded(job.form)->close();
      ProcessDeferredDeletes();
      QVERIFY(menu->isVisible());
      Click(Find<QPushButton>(menu, job.button));
      QVERIFY(Loaded(job.form)->isVisible());
      QString wrong = Mismatches(*shell_, {job.form}, InitialText);
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
      wrong = Mismatches(*shell_, {FormId::kMainForm}, [](const CaptionRow& row) {
        return QString::fromStdString(CaptionText(row, Language::kFrench));
      });
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
      Click(Find<QPushButton>(Loaded(job.form), "Command2"));
    }
  }

  void otherLanguageIdsChangeNothing() {
    Menu();
    ApplyLanguage(2, *shell_);
    for (int16_t id : {0, 3, -1, 32767}) {
      ApplyLanguage(id, *shell_);
      const QString wrong = LanguageMismatches(*shell_, Language::kEnglish);
      QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
    }
  }

  void quitAndCloseBoxEndTheProgramWhileJobWindowsAreLoaded() {
    QWidget* menu = Menu();
    menu->show();
    QSignalSpy ends(menu, SIGNAL(EndRequested()));
    Click(Find<QPushButton>(menu, "Command4"));
    QCOMPARE(ends.count(), 1);
    menu->close();
    QCOMPARE(ends.count(), 2);
    for (FormId id : kJobForms) QVERIFY(shell_->IsLoaded(id));
  }

  void captionsFitInBothLanguages() {
    Menu();
    for (int16_t id : {1, 2}) {
      ApplyLanguage(id, *shell_);
      for (const CaptionRow& row : kCaptionRows) {
        if (row.property != CaptionProperty::kCaption || row.control.empty() || !IsAssembled(IdOf(row))) continue;
        QWidget* control = ControlOf(shell_->Form(IdOf(row)), row);
        QVERIFY2(control != nullptr, qPrintable(RowName(row)));
        QVERIFY2(CaptionFits(control), qPrintable(RowName(row) + QStringLiteral(" in language %1").arg(id)));
      }
    }
  }

  void picturesAreOurOwn() {
    QCOMPARE(BannerPicture().size(), QSize(499, 73));
    const QImage french = FrenchFlag().toImage();
    const QImage british = UnitedKingdomFlag().toImage();
    QCOMPARE(french.size(), QSize(31, 24));
    QCOMPARE(british.size(), QSize(31, 24));
    QVERIFY(QColor(french.pixel(2, 12)).blue() > 120 && QColor(french.pixel(2, 12)).red() < 60);
    QCOMPARE(QColor(french.pixel(15, 12)), QColor(Qt::white));
    QVERIFY(QColor(french.pixel(28, 12)).red() > 200 && QColor(french.pixel(28, 12)).blue() < 80);
    // Blue field between the arms, red cross at the centre, white border beside it.
    QVERIFY(QColor(british.pixel(10, 1)).blue() > 80 && QColor(british.pixel(10, 1)).red() < 40);
    QVERIFY(QColor(british.pixel(15, 12)).red() > 180 && QColor(british.pixel(15, 12)).green() < 60);
    QCOMPARE(QColor(british.pixel(2, 8)), QColor(Qt::white));
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  // The cleaning window reads the user's configuration file when it loads: give it a folder of its own.
  QTemporaryDir config_home;
  qputenv("XDG_CONFIG_HOME", config_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::UiTest test(config_home.path());
  return QTest::qExec(&test, argc, argv);
}
#include "ui_tests.moc"
