#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QTreeWidget>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "app/run_varnel.h"
#include "jobs/alpha/form2.h"
#include "jobs/zip/form3.h"
#include "platform/file_ops.h"
#include "platform/program_folder.h"
#include "platform/text_file.h"
#include "settings/form1.h"
#include "settings/state_file.h"
#include "tests/support/private_mounts.h"
#include "tests/support/processes.h"
#include "tests/support/qt_files.h"
#include "tests/support/recording_hosts.h"
#include "ui/apply_language.h"
#include "ui/caption_table.h"
#include "ui/kit/archiver_message.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/form_shell.h"
#include "ui/kit/message_box.h"
#include "ui/kit/stop_signal_notifier.h"
#include "ui/kit/varnel_application.h"
#include "ui/kit/wrapping_push_button.h"
#include "ui/kit/wrapping_radio_button.h"

namespace varnel {
namespace {

bool g_private_mounts = false;

// Each job window with the menu button that opens it; and with them the History window.
constexpr std::pair<const char*, FormId> kJobs[] = {
    {"Command1", FormId::kForm1}, {"Command3", FormId::kForm2}, {"Command2", FormId::kForm3}};
constexpr std::pair<const char*, FormId> kMenuWindows[] = {{"Command1", FormId::kForm1},
                                                           {"Command3", FormId::kForm2},
                                                           {"Command2", FormId::kForm3},
                                                           {"Command5", FormId::kHistoryForm}};
const std::vector<FormId> kAllForms = {FormId::kMainForm, FormId::kForm1, FormId::kForm2, FormId::kForm3,
                                       FormId::kHistoryForm};
using Expected = std::function<QString(const CaptionRow&)>;

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
FormId IdOf(const CaptionRow& row) { return static_cast<FormId>(row.form); }
Expected In(Language language) {
  return [language](const CaptionRow& row) { return QString::fromStdString(CaptionText(row, language)); };
}

// True when the whole caption `text` of `control` is drawn inside it.
bool CaptionFits(QWidget* control, const QString& text) {
  QRect room = control->contentsRect();
  int flags = Qt::AlignLeft | Qt::AlignVCenter;
  if (auto* button = qobject_cast<WrappingPushButton*>(control)) {
    room = button->CaptionRect();
    flags = WrappingPushButton::kCaptionFlags;
  } else if (auto* option = qobject_cast<WrappingRadioButton*>(control)) {
    room = option->CaptionRect();
    flags |= Qt::TextWordWrap;
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    flags = static_cast<int>(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0);
  } else if (qobject_cast<QGroupBox*>(control) != nullptr) {
    room.adjust(8, 0, -8, 0);
  } else if (qobject_cast<QAbstractButton*>(control) != nullptr) {
    room.adjust(4, 0, -4, 0);
    flags = Qt::AlignCenter;
  }
  const QRect needed = control->fontMetrics().boundingRect(room, flags, text);
  return needed.width() <= room.width() && needed.height() <= room.height();
}

// Every row of the windows `forms` that is missing, does not show `expected` or whose caption does not fit, one
// a line.
QString Mismatches(FormShell& shell, const std::vector<FormId>& forms, const Expected& expected) {
  QString report;
  for (const CaptionRow& row : kCaptionRows) {
    if (std::ranges::find(forms, IdOf(row)) == forms.end()) continue;
    const QString where = QStringLiteral("form %1, %2: ").arg(static_cast<int>(row.form)).arg(Utf8(row.control));
    QWidget* form = shell.IsLoaded(IdOf(row)) ? shell.Form(IdOf(row)) : nullptr;
    QWidget* control = form == nullptr || row.control.empty() ? form : form->findChild<QWidget*>(Utf8(row.control));
    if (control == nullptr) {
      report += where + "missing\n";
      continue;
    }
    QString shown = control->property(row.control.empty() ? "windowTitle" : "text").toString();
    if (auto* frame = qobject_cast<QGroupBox*>(control)) shown = frame->title();
    if (row.property == CaptionProperty::kToolTip) shown = control->toolTip();
    if (auto* list = qobject_cast<QTreeWidget*>(control); list != nullptr && row.property == CaptionProperty::kColumn) {
      shown = list->headerItem()->text(row.column);
    }
    QString want = expected(row);
    if (row.control.empty()) want.replace('\n', ' ');  // a title bar shows a line break as a blank
    if (shown != want) report += where + shown + QStringLiteral(" instead of ") + want + '\n';
    if (row.property == CaptionProperty::kCaption && !CaptionFits(control, shown)) report += where + "does not fit\n";
  }
  return report;
}
// The same over every window, and the archiver message, in `language`.
QString NotIn(FormShell& shell, Language language) {
  const QString dir = QString::fromStdString(ProgramFolder());
  const QString message = language == Language::kFrench ? FrenchMessage7zAbsent(dir) : EnglishMessage7zAbsent(dir);
  const QString report = Mismatches(shell, kAllForms, In(language));
  return Message7zAbsent() == message ? report : report + QStringLiteral("Message7zAbsent: ") + Message7zAbsent();
}

template <typename T = QAbstractButton>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(name);
}
void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center()); }
void CloseBox(QWidget* form) {
  form->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

FolderTree* Dir1(QWidget* form) { return form->findChild<FolderTree*>(QStringLiteral("Dir1")); }
QLineEdit* PathLine(QWidget* form) { return form->findChild<QLineEdit*>(QStringLiteral("PathLine")); }
// The folder the tree shows chosen: its current row when that is selected; empty when none.
QString Marked(QWidget* form) {
  const auto* view = form->findChild<QTreeView*>(QStringLiteral("Folders"));
  const QModelIndex current = view->currentIndex();
  if (!current.isValid() || !view->selectionModel()->isSelected(current)) return {};
  return current.data(Qt::ToolTipRole).toString();
}
void GoTo(QWidget* form, const QString& path) {
  QLineEdit* line = PathLine(form);
  line->setText(path);
  QTest::keyClick(line, Qt::Key_Return);
}

// Each job window, made to start on a given folder, with what its "Go" leaves in a folder.
struct JobWindow {
  const char* name;
  std::function<QWidget*(const QString& start, const QString& temp)> make;
  const char* made_by_go;
};
const JobWindow kJobWindows[] = {
    {"Form1",
     [](const QString& start, const QString& temp) {
       return new Form1({(temp + "/varnel_config.txt").toStdString(), start, [](const std::string&) {},
                         (temp + "/state.ini").toStdString()});
     },
     "logfile.txt"},
    {"Form2",
     [](const QString& start, const QString& temp) {
       return new Form2({start, (temp + "/state.ini").toStdString()});
     },
     "AlphaFolders"},
    {"Form3",
     [](const QString& start, const QString& temp) {
       QFile archiver(temp + "/7z");  // an archiver that zips nothing
       if (archiver.open(QIODevice::WriteOnly) && archiver.write("#!/bin/sh\nexit 0\n") > 0) {
         archiver.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
       }
       Form3Options options{start, temp.toStdString(), std::string()};
       options.state_path = (temp + "/state.ini").toStdString();
       return new Form3(options);
     },
     "ZippedRoms"},
};

}  // namespace

class UiTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScriptedMessageBoxes> boxes_;  // outlives the shell
  std::unique_ptr<FormShell> shell_;
  QWidget* Form(FormId id) { return shell_->IsLoaded(id) || id == FormId::kMainForm ? shell_->Form(id) : nullptr; }
  // The program ends and starts again, with the same state file.
  void Restart() {
    shell_.reset();
    shell_ = std::make_unique<FormShell>();
    RegisterVarnelForms(*shell_);
  }

 private slots:
  void init() {
    shell_.reset();                                          // before the boxes it may still use
    QFile::remove(QString::fromStdString(StateFilePath()));  // each test starts as the program's first start
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    shell_ = std::make_unique<FormShell>();
    RegisterVarnelForms(*shell_);
  }

  // Other language numbers change nothing, loaded or not; the program starts in French. Then each job window and
  // the History window: its button opens it; closed with its close box it comes back in the language of the others,
  // "Quit" keeps it loaded; languages reach it hidden, and unloaded.
  void startsInFrenchThenLanguagesReachEveryJobWindow() {
    SetMessage7zAbsent(QStringLiteral("as before"));
    for (int16_t id : {0, 3, -1, 32767}) ApplyLanguage(id, *shell_);
    for (FormId id : kAllForms) QVERIFY(!shell_->IsLoaded(id));
    QCOMPARE(Message7zAbsent(), QStringLiteral("as before"));
    QWidget* menu = Form(FormId::kMainForm);
    QVERIFY(Find(menu, "Option1")->isChecked() && !Find(menu, "Option2")->isChecked());
    for (const auto& [_, id] : kMenuWindows) QVERIFY(Form(id) != nullptr && !Form(id)->isVisible());
    for (int16_t id : {0, 3, -1, 32767}) ApplyLanguage(id, *shell_);
    QCOMPARE(NotIn(*shell_, Language::kFrench), QString());  // also: every row reaches the control it names
    // The cleaning window read the configuration file as it loaded; the French legend replaced its own.
    QCOMPARE(Form(FormId::kForm1)->findChild<QWidget*>("ListeZones")->property("text"), QVariant("(e),(u)"));
    menu->show();
    for (const auto& [button, id] : kMenuWindows) {
      Click(Find(menu, button));
      QVERIFY(!menu->isVisible() && Form(id)->isVisible());
      CloseBox(Form(id));
      QVERIFY(!shell_->IsLoaded(id) && menu->isVisible());
      Click(Find(menu, button));  // loaded again, in French like the others
      QCOMPARE(NotIn(*shell_, Language::kFrench), QString());
      Click(Find(Form(id), "Command2"));
      QVERIFY(menu->isVisible() && shell_->IsLoaded(id) && !Form(id)->isVisible());
      Click(Find(menu, "Option2"));
      QCOMPARE(NotIn(*shell_, Language::kEnglish), QString());
      CloseBox(Form(id));
      Click(Find(menu, button));
      QCOMPARE(NotIn(*shell_, Language::kEnglish), QString());
      CloseBox(Form(id));
      Click(Find(menu, "Option1"));
      QVERIFY(Form(id) != nullptr && !Form(id)->isVisible());
      QCOMPARE(NotIn(*shell_, Language::kFrench), QString());
    }
  }

  // The folder chosen in a job window disappears under the live window: removed, renamed, renamed with another
  // made under its name (which only "Go" sees in time), or unmounted. The window drops it instead of taking
  // a neighbour, says so in its path line, and "Go" refuses until a folder is chosen again.
  void aChosenFolderThatGoesIsDroppedInEachWindow() {
    enum Loss { kRemoved, kRenamed, kReplaced, kUnmounted };
    for (const JobWindow& window : kJobWindows) {
      for (const Loss loss : {kRemoved, kRenamed, kReplaced, kUnmounted}) {
        const QString what = QStringLiteral("%1, loss %2").arg(window.name).arg(loss);
        if (loss == kUnmounted && !g_private_mounts) {
          qInfo("%s: skipped, mounting needs root and a mount namespace of the test's own", qPrintable(what));
          continue;
        }
        QTemporaryDir temp;
        const QString roms = temp.filePath(QStringLiteral("roms")), chosen = roms + "/b", renamed = roms + "/b2";
        for (const char* folder : {"a", "b", "c"}) QVERIFY(QDir(roms).mkpath(QString::fromLatin1(folder)));
        if (loss == kUnmounted) QVERIFY2(MountTmpfs(chosen), qPrintable(what));
        QFile rom(chosen + "/game (E).nes");
        QVERIFY(rom.open(QIODevice::WriteOnly));
        rom.close();
        std::unique_ptr<QWidget> form(window.make(chosen, temp.path()));
        form->show();
        QCOMPARE(Dir1(form.get())->Path(), QDir::toNativeSeparators(chosen));
        switch (loss) {
          case kRemoved:
            QVERIFY(QDir(chosen).removeRecursively());
            break;
          case kRenamed:
          case kReplaced:
            QVERIFY(QDir().rename(chosen, renamed));
            if (loss == kReplaced) QVERIFY(QDir().mkdir(chosen));
            break;
          case kUnmounted:
            QVERIFY2(Unmount(chosen), qPrintable(what));
            break;
        }
        const QString gone = QStringLiteral("%1 is gone: choose a folder.").arg(QDir::toNativeSeparators(chosen));
        if (loss != kReplaced) QTRY_COMPARE(PathLine(form.get())->text(), gone);
        Click(Find(form.get(), "Command1"));
        QCOMPARE(boxes_->shown().size(), 1u);
        QCOMPARE(QString::fromStdString(IconTag(boxes_->shown()[0].icon)) + QLatin1Char(' ') + boxes_->shown()[0].text,
                 QStringLiteral("[exclamation] Choose a folder first."));
        boxes_->ClearShown();
        QCOMPARE(PathLine(form.get())->text() + '|' + Dir1(form.get())->Path() + '|' + Marked(form.get()), gone + "||");
        for (const QString& folder : {chosen, renamed})
          QVERIFY2(!QFile::exists(folder + '/' + window.made_by_go), qPrintable(what));
        // Chosen again, the window goes on.
        GoTo(form.get(), roms + "/a");
        QCOMPARE(Marked(form.get()), QDir::toNativeSeparators(roms + "/a"));
        Click(Find(form.get(), "Command1"));
        QVERIFY2(!boxes_->shown().empty() && boxes_->shown()[0].text != "Choose a folder first.", qPrintable(what));
        boxes_->ClearShown();
      }
    }
  }

  // The language chosen last comes back at the next start, chosen with its option or its flag; the window titles
  // are on one line.
  void theLanguageComesBackAtTheNextStart() {
    for (const auto& [clicked, language, title] :
         {std::tuple{"Picture2", Language::kEnglish, "I want to clean my romset"},
          std::tuple{"Option1", Language::kFrench, "Je veux nettoyer mon romset"},
          std::tuple{"Option2", Language::kEnglish, "I want to clean my romset"}}) {
      Click(Find<QWidget>(Form(FormId::kMainForm), clicked));
      Restart();
      QWidget* menu = Form(FormId::kMainForm);
      QCOMPARE(Find(menu, "Option2")->isChecked(), language == Language::kEnglish);
      QCOMPARE(Find(menu, "Option1")->isChecked(), language == Language::kFrench);
      QCOMPARE(NotIn(*shell_, language), QString());
      QCOMPARE(Form(FormId::kForm1)->windowTitle(), QString::fromLatin1(title));
    }
  }

  // Return presses the focused button, in the menu and in each job window; in a text box it starts nothing.
  // Ctrl+Return (or Ctrl+Enter on the keypad) presses Go wherever the focus is; Escape does what Quit does.
  void keysOfEveryWindow() {
    QWidget* menu = Form(FormId::kMainForm);
    menu->show();
    QVERIFY(QTest::qWaitForWindowActive(menu));
    Find(menu, "Command1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QVERIFY(!menu->isVisible() && Form(FormId::kForm1)->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(Form(FormId::kForm1)));
    QTest::keyClick(Form(FormId::kForm1), Qt::Key_Escape);
    QVERIFY(menu->isVisible() && !Form(FormId::kForm1)->isVisible());

    for (const JobWindow& window : kJobWindows) {
      QTemporaryDir temp;
      const QString roms = temp.filePath(QStringLiteral("roms"));
      QVERIFY(QDir().mkpath(roms));
      QFile rom(roms + "/Game (E).nes");
      QVERIFY(rom.open(QIODevice::WriteOnly));
      rom.close();
      QPointer<QWidget> form(window.make(roms, temp.path()));
      const std::unique_ptr<QWidget> owner(form.data());
      QSignalSpy go(Find(form, "Command1"), &QAbstractButton::clicked);
      QSignalSpy menu_requests(qobject_cast<JobForm*>(form.data()), &JobForm::MenuRequested);
      const auto show = [&form] {
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form);
      };
      QVERIFY(show());
      int boxes = 0;
      for (QWidget* box : form->findChildren<QWidget*>()) {
        if ((!qobject_cast<QLineEdit*>(box) && !qobject_cast<QPlainTextEdit*>(box)) || !box->isEnabled()) continue;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::KeypadModifier);
        ++boxes;
      }
      QVERIFY2(boxes >= 1 && go.count() == 0 && !QFile::exists(roms + '/' + window.made_by_go), window.name);
      PathLine(form)->setFocus();
      QTest::keyClick(PathLine(form), Qt::Key_Return, Qt::ControlModifier);
      QVERIFY2(go.count() == 1 && QFile::exists(roms + '/' + window.made_by_go), window.name);
      Dir1(form)->setFocus();
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
      QCOMPARE(go.count(), 2);
      Find(form, "Command1")->setFocus();
      QTest::keyClick(Find(form, "Command1"), Qt::Key_Return);
      QCOMPARE(go.count(), 3);
      QVERIFY(form->isVisible() && menu_requests.count() == 0);
      Find(form, "Command2")->setFocus();
      QTest::keyClick(Find(form, "Command2"), Qt::Key_Return);
      QVERIFY2(!form->isVisible() && menu_requests.count() == 1, window.name);
      QVERIFY(show());
      QTest::keyClick(Find(form, "Command1"), Qt::Key_Escape);
      QVERIFY2(!form.isNull() && !form->isVisible() && menu_requests.count() == 2, window.name);
      QCOMPARE(Dir1(form)->Path(), QDir::toNativeSeparators(roms));  // its values kept
      boxes_->ClearShown();
    }
  }

  // Every window shows Varnel's own icon.
  void everyWindowHasTheProgramsIcon() {
    for (const FormId id : kAllForms) {
      const QImage icon = shell_->Form(id)->windowIcon().pixmap(32, 32).toImage();
      QVERIFY(!icon.isNull() && icon.hasAlphaChannel());
      // Drawn, not blank: transparent in its corner, opaque in its middle.
      QVERIFY(qAlpha(icon.pixel(0, 0)) == 0 && qAlpha(icon.pixel(8, 16)) == 255);
    }
  }

  // Hovered, the menu's banner names the version that runs, in either language.
  void theBannerNamesTheVersion() {
    const QString expected = QStringLiteral("Varnel " VARNEL_VERSION);
    QWidget* menu = Form(FormId::kMainForm);
    menu->show();
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QWidget* banner = Find<QWidget>(menu, "Banner");
    for (const char* language : {"Option2", "Option1"}) {
      Click(Find(menu, language));
      QHelpEvent hover(QEvent::ToolTip, QPoint(20, 20), banner->mapToGlobal(QPoint(20, 20)));
      QApplication::sendEvent(banner, &hover);
      QTRY_VERIFY(QToolTip::isVisible());
      QCOMPARE(QToolTip::text(), expected);
      QToolTip::hideText();
    }
  }

  // A message box is wide enough for its title, however short its text.
  void messageBoxesAreWideEnoughForTheirTitle() {
    boxes_.reset();  // real message boxes
    for (const QString& title : {QString(), QStringLiteral("Varnel par Tollimer v3")}) {
      int width = 0;
      QString shown_title;
      QTimer waiter;
      connect(&waiter, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
          waiter.stop();
          width = box->width();
          shown_title = box->windowTitle();
          QTest::keyClick(box, Qt::Key_Return);
        }
      });
      waiter.start(10);
      ShowMessageBox(nullptr, QStringLiteral("Empty directory"), MessageIcon::kExclamation, MessageButtons::kOk, title);
      QCOMPARE(shown_title, title.isEmpty() ? QString::fromLatin1(kProgramTitle) : title);
      QVERIFY2(width >= TitleBarWidth(shown_title), qPrintable(QString::number(width)));
    }
    QVERIFY(TitleBarWidth(kProgramTitle) > QFontMetrics(QApplication::font()).horizontalAdvance(kProgramTitle));
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
  }

  // The folder lists' own texts follow the language of the menu.
  void folderListTextsFollowTheLanguage() {
    QTemporaryDir temp;
    const QString gone = temp.filePath(QStringLiteral("gone"));
    ApplyLanguage(1, *shell_);
    for (const auto& [_, id] : kJobs) {
      QWidget* form = Form(id);
      QVERIFY(QDir().mkpath(gone) && Dir1(form)->SetPath(gone) && QDir().rmdir(gone) && !Dir1(form)->CheckFolder());
      const QString path = QDir::toNativeSeparators(gone);
      QCOMPARE(PathLine(form)->text(), path + QString::fromUtf8(" n'existe plus : choisissez un dossier."));
      ApplyLanguage(2, *shell_);
      QCOMPARE(PathLine(form)->text(), path + " is gone: choose a folder.");
      GoTo(form, gone);
      QCOMPARE(PathLine(form)->toolTip(), QStringLiteral("No such folder."));
      ApplyLanguage(1, *shell_);
      QCOMPARE(PathLine(form)->toolTip(), QStringLiteral("Dossier introuvable."));
    }
  }

  // Each window starts on the folder of its last Go, else on the last folder chosen in it, while that still
  // exists, else on the home folder; each window has its own. Names that are not UTF-8 come back exactly.
  void eachWindowStartsOnItsLastGoElseItsLastChoice() {
    QFile::remove(QString::fromStdString(StateFilePath()));
    QTemporaryDir temp;
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", temp.path().toUtf8());
    const std::string root = PathBytes(temp.path());
#ifdef _WIN32
    const std::string go = root + "\go", chosen = root + "\chosen", later = root + "\later";
#else
    const std::string go = root + "/go \xff", chosen = root + "/chosen", later = root + "/later";
#endif
    // Where the window starts once closed and loaded again.
    const auto start_of = [this](FormId id) {
      CloseBox(Form(id));
      return Dir1(shell_->Form(id))->Folder();
    };
    for (const auto& [_, id] : kJobs) {
      for (const std::string& folder : {go, chosen, later}) QVERIFY(MakeFolder(folder).ok());
      QWidget* form = shell_->Form(id);
      QCOMPARE(Dir1(form)->Folder(), root);  // the home folder: what the other windows remember is theirs
      QVERIFY(Dir1(form)->SetFolder(chosen));
      QCOMPARE(start_of(id), chosen);
      QVERIFY(Dir1(Form(id))->SetFolder(go));
      Find(Form(id), "Command1")->click();
      QVERIFY(Dir1(Form(id))->SetFolder(later));
      QCOMPARE(start_of(id), go);
      QVERIFY(std::filesystem::remove(go));
      QCOMPARE(start_of(id), later);
      QVERIFY(std::filesystem::remove(later) && std::filesystem::remove(chosen));
      QCOMPARE(start_of(id), root);
      CloseBox(Form(id));
    }
    qputenv("HOME", home);
    StateFile state;
    QVERIFY(LoadStateFile(StateFilePath(), &state).ok());
    QCOMPARE(state.Get("Form2.go_folder").value_or(""), go);
#ifndef _WIN32
    std::string text;
    QVERIFY(ReadWholeFile(StateFilePath(), &text).ok());
    QVERIFY2(text.find("go \\xFF\n") != std::string::npos, text.c_str());  // escaped
#endif
    boxes_->ClearShown();
  }

  void quitAndCloseBoxEndTheProgramWhileJobWindowsAreLoadedHidden() {
    for (bool close_box : {false, true}) {
      QWidget* menu = Form(FormId::kMainForm);
      menu->show();
      QTimer::singleShot(0, menu,
                         [menu, close_box] { close_box ? void(menu->close()) : Click(Find(menu, "Command4")); });
      // Ends a loop that the program failed to end, so that the test fails instead of hanging.
      QTimer::singleShot(10000, menu, [] { QCoreApplication::exit(1); });
      QCOMPARE(QCoreApplication::exec(), 0);
      for (const auto& [_, id] : kJobs) QVERIFY(!menu->isVisible() && shell_->IsLoaded(id) && !Form(id)->isVisible());
    }
  }

  // While a zip job runs its window's "Go" reads "Stop" in the menu's language, and the menu's "Quit" and close
  // box ask first (No, the default, keeps everything going); SIGTERM and SIGHUP end the program without asking. Either
  // way the archiver ends with what it started and leaves no part of an archive.
  void endingTheProgramDuringAZipJob() {
#ifdef _WIN32
    QSKIP("the fake archiver is a shell script");
#else
    QTemporaryDir program, roms;
    const auto path = [](const QTemporaryDir& dir, const char* name) {
      return dir.filePath(QString::fromLatin1(name));
    };
    QFile archiver(path(program, "7z"));
    QVERIFY(archiver.open(QIODevice::WriteOnly));
    archiver.write(("#!/bin/sh\nsleep 300 & echo $! > '" + path(program, "child") + "'\nprintf part > \"$2\"\n" +
                    "echo $$ > '" + path(program, "pid") + "'\nwait\n")
                       .toUtf8());
    archiver.close();
    archiver.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    for (const char* rom : {"a.nes", "b.nes"}) WriteBytes(path(roms, rom), "rom");
    shell_->SetFactory(FormId::kForm3, [&] {
      return new Form3({roms.path(), program.path().toStdString(), std::string()});
    });
    const std::unique_ptr<StopSignalNotifier> stop_signals = EndProgramOnStopSignals(*shell_);
    for (int number : {0, SIGTERM, SIGHUP}) {  // 0: the menu's "Quit", answered No then Yes
      QFile::remove(path(program, "pid"));
      QWidget* menu = Form(FormId::kMainForm);
      menu->show();
      QTimer::singleShot(0, menu, [this, menu] {
        Click(Find(menu, "Command2"));
        Click(Find(Form(FormId::kForm3), "Command1"));  // the job runs here until it ends
      });
      QString folder, stop_caption;
      bool asked_and_kept = false;
      auto* poll = new QTimer(menu);
      QObject::connect(poll, &QTimer::timeout, menu, [&, this, menu, number, poll] {
        if (!QFile::exists(path(program, "pid"))) return;
        poll->stop();
        folder = static_cast<JobForm*>(Form(FormId::kForm3))->RunningJobFolder();
        stop_caption = Find(Form(FormId::kForm3), "Command1")->text();
        Click(Find(Form(FormId::kForm3), "Command2"));  // hides the job window: the menu is back
        if (number != 0) {
          std::raise(number);
          return;
        }
        boxes_->QueueAnswer(MessageAnswer::kNo);
        Click(Find(menu, "Command4"));
        asked_and_kept =
            menu->isVisible() && !static_cast<JobForm*>(Form(FormId::kForm3))->RunningJobFolder().isEmpty();
        boxes_->QueueAnswer(MessageAnswer::kYes);
        Click(Find(menu, "Command4"));
      });
      poll->start(5);
      // Ends a loop that the program failed to end, so that the test fails instead of hanging.
      QTimer give_up;
      give_up.setSingleShot(true);
      QObject::connect(&give_up, &QTimer::timeout, [] { QCoreApplication::exit(1); });
      give_up.start(20000);
      QCOMPARE(QCoreApplication::exec(), 0);
      delete poll;
      QVERIFY(!folder.isEmpty());
      QCOMPARE(stop_caption, QString::fromUtf8("Arr\xc3\xaater"));  // the menu is in French
      const QString question = QStringLiteral("A zip job is running in %1. Stop it and quit?").arg(folder);
      QStringList asked;
      for (const ShownMessageBox& box : boxes_->shown()) {
        asked << QStringLiteral("[%1 %2 %3] %4")
                     .arg(QString::fromStdString(IconName(box.icon)))
                     .arg(box.buttons == MessageButtons::kYesNo ? "yes/no" : "ok")
                     .arg(box.default_answer == MessageAnswer::kNo ? "no" : "yes")
                     .arg(box.text);
      }
      boxes_->ClearShown();
      const QString expected = QStringLiteral("[exclamation yes/no no] ") + question;
      QCOMPARE(asked, number == 0 ? QStringList({expected, expected}) : QStringList());
      QVERIFY(number != 0 || asked_and_kept);
      for (const char* process : {"pid", "child"}) {
        const long id = ProcessIdIn(path(program, process).toStdString());
        QVERIFY2(id > 0 && ProcessEnded(id), process);
      }
      QCOMPARE(QDir(roms.filePath(QStringLiteral("ZippedRoms"))).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
#endif
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  varnel::g_private_mounts = varnel::EnterPrivateMountNamespace();  // before any thread starts
  // The cleaning window reads the user's configuration file as it loads, and every job window the state file:
  // give them folders and files of their own.
  QTemporaryDir config_home, state_home;
  qputenv("XDG_CONFIG_HOME", config_home.path().toLocal8Bit());
  qputenv("XDG_STATE_HOME", state_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  QFile config(config_home.filePath(QStringLiteral("varnel_config.txt")));
  if (!config.open(QIODevice::WriteOnly) || config.write("(e),(u)\r\n[!]\r\n(beta)\r\n") < 0 || !config.flush())
    return 1;
  varnel::UiTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "ui_tests.moc"
