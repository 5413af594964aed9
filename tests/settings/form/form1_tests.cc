#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "settings/form1.h"
#include "settings/form1_values.h"
#include "settings/log_opener.h"
#include "tests/support/qt_files.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/shown_boxes.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_shell.h"
#include "ui/kit/message_box.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

const QString kDefaultZones = QStringLiteral("(f),(e),(ue),(jue),(u),(ju),(j)");

// A folder of empty files named after the real names of the test data.
void FillWithRomNames(const QString& folder) {
  for (const QByteArray& name : FileBytes(QStringLiteral(VARNEL_FORM_TEST_DATA "/romnames.txt")).split('\n')) {
    if (!name.isEmpty()) WriteBytes(folder + QLatin1Char('/') + QString::fromUtf8(name), QByteArray());
  }
}

// A folder's file names and its log, for one comparison.
QString Snapshot(const QString& folder) {
  return FilesOf(folder).join(QLatin1Char('\n')) + QStringLiteral("\n---\n") +
         QString::fromUtf8(FileBytes(folder + QStringLiteral("/logfile.txt")));
}

template <typename T = QWidget>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

QString Text(QWidget* form, const char* name) { return QString::fromStdString(BoxText(Find(form, name))); }

// The four configuration boxes and the translation switch, joined for one comparison. The switch reads "on"
// or "off" only when the translation box's state and background agree with it.
QString Boxes(QWidget* form) {
  const bool on = Find<QAbstractButton>(form, "TradsYN")->isChecked();
  QWidget* trads = Find(form, "ListeTrads");
  const bool agree = trads->isEnabled() == on && trads->palette().color(QPalette::Base) ==
                                                     form->palette().color(on ? QPalette::Base : QPalette::Button);
  return Text(form, "ListeZones") + '|' + Text(form, "Conservees") + '|' + Text(form, "Exclues") + '|' +
         (agree ? (on ? "on|" : "off|") : "mixed|") + Text(form, "ListeTrads");
}

// The names of the checked check boxes and options, the translation switch aside.
QString Checked(QWidget* form) {
  QStringList names;
  for (const char* name :
       {"Test", "LogFile", "Moved", "Multiext", "Trash", "Option1", "Option2", "Option3", "Option4"}) {
    if (Find<QAbstractButton>(form, name)->isChecked()) names << QString::fromLatin1(name);
  }
  return names.join(QLatin1Char(','));
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  std::optional<QTemporaryDir> temp_;
  std::optional<ScriptedMessageBoxes> boxes_;
  std::vector<std::string> opened_logs_;

  QString TempPath(const QString& name) const { return temp_->filePath(name); }
  QString ConfigPath() const { return TempPath(QStringLiteral("config/varnel_config.txt")); }

  QString StatePath() const { return TempPath(QStringLiteral("state/state.ini")); }

  // Each test has a state file of its own: what one leaves in its windows does not reach the next.
  Form1Options Options(const QString& start_folder = QString()) {
    return {ConfigPath().toStdString(), start_folder.isEmpty() ? temp_->path() : start_folder,
            [this](const std::string& path) { opened_logs_.push_back(path); }, StatePath().toStdString()};
  }

  QStringList Shown() { return TakeShown(*boxes_); }

 private slots:
  void init() {  // the old scripted boxes end before the new ones start
    temp_.emplace();
    boxes_.emplace();
    opened_logs_.clear();
  }

  // At start the file is read without any message; a file that does not give three lines leaves the defaults.
  void startReadsTheConfigurationFile() {
    const QString defaults = kDefaultZones +
                             "||(pd),(beta,(prototype),hack),(pal),[corrupt],beta),-in-1,[k-file],"
                             "(cpm),[hm,[hf,(hacker),(unl)|off|";
    const std::pair<const char*, QString> cases[] = {
        {nullptr, defaults},  // first start: no file at all
        {"(u)\r\n[!]\r\n(beta\r\nfre,eng\r\n", QStringLiteral("(u)|[!]|(beta|on|fre,eng")},
        {"(u)\r\n\r\nx\r\n", QStringLiteral("(u)||x|off|")},
        {"(u)\n(e)\n", defaults},  // two lines
    };
    for (const auto& [file, expected] : cases) {
      if (file != nullptr) WriteBytes(ConfigPath(), file);
      Form1 form(Options());
      QCOMPARE(Shown(), QStringList());
      QCOMPARE(Boxes(&form), expected);
      QCOMPARE(Checked(&form), QStringLiteral("Test,LogFile,Option2"));
      QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), QDir::toNativeSeparators(temp_->path()));
    }
  }

  // The load button says which file and why; boxes that received a line before the failure keep it.
  void loadButtonSaysWhy() {
    WriteBytes(ConfigPath(), "(u)\r\n\r\n(beta\r\nfre\r\n");
    Form1 form(Options());
    SetBoxText(Find(&form, "Exclues"), "mine");
    auto* load = Find<QAbstractButton>(&form, "Command3");
    const QString problem = QStringLiteral("[stop] Problem with config file\n") + ConfigPath() + QStringLiteral(": ");
    WriteBytes(ConfigPath(), "z\r\nk\r\n");
    load->click();
    QCOMPARE(boxes_->shown().at(0).title, QStringLiteral("Varnel by Tollimer"));
    QCOMPARE(Shown(), QStringList{problem + QStringLiteral("it has fewer than three lines")});
    QCOMPARE(Boxes(&form), QStringLiteral("z|k|mine|on|fre"));

    WriteBytes(ConfigPath(), "z2\nk2\nx2\n");  // three lines leave the translations alone
    load->click();
    QCOMPARE(Shown(), QStringList());
    QCOMPARE(Boxes(&form), QStringLiteral("z2|k2|x2|on|fre"));

    // Nothing saved yet is no problem: it is said as such, in the menu's language.
    QFile::remove(ConfigPath());
    load->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[information] No saved settings yet (%1).").arg(ConfigPath())});
    QWidget menu;
    menu.setObjectName(QStringLiteral("MainForm"));
    auto* english = new QRadioButton(&menu);
    english->setObjectName(QStringLiteral("Option2"));
    load->click();
    QCOMPARE(Shown(),
             QStringList{QString::fromUtf8("[information] Aucun r\xc3\xa9glage enregistr\xc3\xa9 pour l'instant (%1).")
                             .arg(ConfigPath())});
#ifndef _WIN32
    // A link to nothing is something the user made: its problem is said.
    QVERIFY(QFile::link(TempPath(QStringLiteral("nowhere")), ConfigPath()));
    load->click();
    QCOMPARE(Shown(), QStringList{problem + QString::fromLocal8Bit(std::strerror(ENOENT))});
    QVERIFY(QFile::remove(ConfigPath()));
#endif
    QVERIFY(QDir().mkdir(ConfigPath()));  // a folder where the file should be
    load->click();
#ifndef _WIN32
    QCOMPARE(Shown(), QStringList{problem + QString::fromLocal8Bit(std::strerror(EISDIR))});
#else
    QCOMPARE(Shown().size(), 1);
#endif
    QCOMPARE(Boxes(&form), QStringLiteral("z2|k2|x2|on|fre"));
    Form1 fresh(Options());  // at start, silent: the defaults
    QCOMPARE(Shown(), QStringList());
    QCOMPARE(Text(&fresh, "ListeZones"), kDefaultZones);

    // Nor does a save replace the folder.
    Find<QAbstractButton>(&form, "Command4")->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[stop] Cannot save ") + ConfigPath() +
                                  QStringLiteral(": not a regular file")});
    QVERIFY(QFileInfo(ConfigPath()).isDir());
  }

  // A line break typed in the Kept or Excluded box stands for a comma, in a run and in the file.
  void lineBreaksInListBoxesStandForCommas() {
    const QString folder = TempPath(QStringLiteral("roms"));
    for (const char* name :
         {"Castlevania (E).nes", "Castlevania (U).nes", "Legend of Zelda, The (E).nes", "Legend of Zelda, The (U).nes",
          "Metroid (E).nes", "Metroid (U).nes", "Metroid (U) [b1].nes"})
      WriteBytes(folder + QLatin1Char('/') + QLatin1String(name), QByteArray());
    Form1 form(Options(folder));
    form.show();
    auto* kept = Find(&form, "Conservees");
    SetBoxText(kept, "");
    kept->setFocus();
    QTest::keyClicks(kept, QStringLiteral("castlevania"));
    QTest::keyClick(kept, Qt::Key_Return);
    QTest::keyClicks(kept, QStringLiteral("legend of zelda"));
    QTest::keyClick(kept, Qt::Key_Return);
    SetBoxText(Find(&form, "Exclues"), "[b1]\r\n\r\n(pd),\n(beta");
    QCOMPARE(form.CurrentRunSettings().KeepText, std::string("castlevania,legend of zelda"));
    QCOMPARE(form.CurrentRunSettings().ExclusionText, std::string("[b1],(pd),(beta"));

    Find<QAbstractButton>(&form, "Command1")->click();  // a test run: only the log
    const QString log = QString::fromUtf8(FileBytes(folder + QStringLiteral("/logfile.txt")));
    QVERIFY2(log.contains(QStringLiteral("metroid (u) [b1].nes\t --> Excluded file\r\n")) &&
                 log.contains(QStringLiteral("metroid (u).nes\t --> ")) &&
                 !log.contains(QStringLiteral("castlevania")) && !log.contains(QStringLiteral("zelda")) &&
                 log.endsWith(QStringLiteral("Theoretically deleted files : 2\r\n")),
             qPrintable(log));

    Find<QAbstractButton>(&form, "Command4")->click();
    QCOMPARE(FileBytes(ConfigPath()),
             kDefaultZones.toUtf8() + "\r\ncastlevania,legend of zelda\r\n[b1],(pd),(beta\r\n");
    QCOMPARE(BoxText(kept), std::string("castlevania\nlegend of zelda\n"));  // the box keeps what was typed
  }

  // Also the translation switch, which greys its box out and back without touching the text, and a failed save.
  void saveAndLoadRoundTrip() {
    Form1 form(Options());  // its configuration folder does not exist yet
    SetBoxText(Find(&form, "ListeZones"), "(u),(\xc3\xa9)");
    SetBoxText(Find(&form, "Conservees"), "a,\nb");
    SetBoxText(Find(&form, "Exclues"), " (beta,,");
    Find<QAbstractButton>(&form, "TradsYN")->click();
    SetBoxText(Find(&form, "ListeTrads"), "fre,eng");
    Find<QAbstractButton>(&form, "Command4")->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[information] ") + ConfigPath() + QStringLiteral(" saved")});
    QCOMPARE(FileBytes(ConfigPath()), QByteArray("(u),(\xc3\xa9)\r\na,b\r\n (beta,,\r\nfre,eng\r\n"));

    Form1 again(Options());
    QCOMPARE(Boxes(&again), QString::fromUtf8("(u),(\xc3\xa9)|a,b| (beta,,|on|fre,eng"));
    Find<QAbstractButton>(&again, "TradsYN")->click();  // unchecked: the text stays but is not saved
    QCOMPARE(Boxes(&again), QString::fromUtf8("(u),(\xc3\xa9)|a,b| (beta,,|off|fre,eng"));
    Find<QAbstractButton>(&again, "Command4")->click();
    QCOMPARE(FileBytes(ConfigPath()), QByteArray("(u),(\xc3\xa9)\r\na,b\r\n (beta,,\r\n"));

    QVERIFY(QDir(TempPath(QStringLiteral("config"))).removeRecursively());
    WriteBytes(TempPath(QStringLiteral("config")), "a file where the folder should be");
    Find<QAbstractButton>(&again, "Command4")->click();
    const QStringList shown = Shown();  // the second save's message, then the failure's with its reason
    const QString prefix = QStringLiteral("[stop] Cannot save ") + ConfigPath() + QStringLiteral(": ");
    QVERIFY(shown.size() == 2 && shown[1].startsWith(prefix) && shown[1].size() > prefix.size());
  }

  void zoneOptions() {
    Form1 form(Options());
    QWidget* zones = Find(&form, "ListeZones");
    QWidget* title = Find(&form, "Label8");
    Find<QAbstractButton>(&form, "Option4")->click();
    QVERIFY(!zones->isEnabled() && !title->isEnabled());
    // A click on the wrapped caption's right half selects the option too.
    QWidget* option3 = Find(&form, "Option3");
    QTest::mouseClick(option3, Qt::LeftButton, {}, QPoint(option3->width() - 20, option3->height() - 5));
    QCOMPARE(Checked(&form), QStringLiteral("Test,LogFile,Option3"));
    QVERIFY(zones->isEnabled() && title->isEnabled());
    QCOMPARE(Text(&form, "ListeZones"), kDefaultZones);
    QCOMPARE(form.CurrentRunSettings().ZoneMode, ZoneMode::kFirstSelectedZone);
  }

  void goRunsTheCleaningLikeTheEngine() {
    const QString folder = TempPath(QStringLiteral("roms")), twin = TempPath(QStringLiteral("twin"));
    for (const QString& copy : {folder, twin}) FillWithRomNames(copy);
    Form1 form(Options(folder));
    form.show();
    auto* go = Find<QAbstractButton>(&form, "Command1");

    // Test mode: no question, nothing touched, the log opened and the same as the engine's own.
    go->click();
    QCOMPARE(Shown(), QStringList());
    QCOMPARE(opened_logs_, std::vector<std::string>{(folder + QStringLiteral("/logfile.txt")).toStdString()});
    RunSettings settings = form.CurrentRunSettings();
    settings.RomFolder = twin.toStdString();
    RecordingCleaningHost yes;  // answers the delete question Yes
    const RunResult expected = RunCleaning(settings, yes);
    QVERIFY(expected.DisposedCount > 0);
    QCOMPARE(Snapshot(folder), Snapshot(twin));
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QString::fromStdString(expected.summary));

    // Delete mode answered No: nothing changes, not even the log.
    Find<QAbstractButton>(&form, "Test")->setChecked(false);
    Find<QAbstractButton>(&form, "LogFile")->setChecked(false);
    boxes_->QueueAnswer(MessageAnswer::kNo);
    go->click();
    QVERIFY(!boxes_->shown().empty() && boxes_->shown()[0].buttons == MessageButtons::kYesNo);
    QVERIFY(boxes_->shown()[0].default_answer == MessageAnswer::kNo);
    QCOMPARE(Shown(), QStringList{QStringLiteral("[none] You will delete files. Continue ?\n%1 files will be deleted "
                                                 "from %2.")
                                      .arg(expected.DisposedCount)
                                      .arg(folder)});
    QCOMPARE(Snapshot(folder), Snapshot(twin));

    // Answered Yes: the same files go as in a run of the engine itself.
    boxes_->QueueAnswer(MessageAnswer::kYes);
    go->click();
    settings.TestMode = settings.OpenLog = false;
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QString::fromStdString(RunCleaning(settings, yes).summary));
    QCOMPARE(FilesOf(folder).size(), 60 + 1 - expected.DisposedCount);
    QCOMPARE(Snapshot(folder), Snapshot(twin));
    QCOMPARE(opened_logs_.size(), 1u);
  }

  // The delete question as the user sees it: Return alone presses No, and nothing on disk changes.
  void returnOnTheDeleteQuestionChangesNothing() {
    const QString folder = TempPath(QStringLiteral("roms")), twin = TempPath(QStringLiteral("twin"));
    for (const QString& copy : {folder, twin}) FillWithRomNames(copy);
    Form1 form(Options(folder));
    form.show();
    Find<QAbstractButton>(&form, "Test")->setChecked(false);
    boxes_.reset();  // real message boxes
    QString asked;
    QTimer waiter;
    connect(&waiter, &QTimer::timeout, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        waiter.stop();
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Return);
      }
    });
    waiter.start(10);
    Find<QAbstractButton>(&form, "Command1")->click();
    QVERIFY(asked.startsWith(QStringLiteral("You will delete files. Continue ?\n")));
    QCOMPARE(Snapshot(folder), Snapshot(twin));
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QString());
  }

  void driveChoiceMovesTheFolderListUnlessUnreadableAndGoOnItsEmptyFolder() {
    Form1 form(Options());
    auto* drives = Find<DriveList>(&form, "Drive1");
    const QString volume = QDir::toNativeSeparators(TempPath(QStringLiteral("volume")));
    const QString gone = QDir::toNativeSeparators(TempPath(QStringLiteral("gone")));
    QDir().mkpath(volume + QStringLiteral("/only-a-subfolder"));
    drives->AddVolume(volume, QStringLiteral("USB"));
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(Shown(), QStringList());
    QCOMPARE(form.CurrentRunSettings().RomFolder, PathBytes(volume));
    const int before = drives->currentIndex();
    drives->AddVolume(gone, QString());
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(Shown(), QStringList{QStringLiteral("[exclamation] Cannot read %1: No such file or directory").arg(gone)});
    QCOMPARE(drives->currentIndex(), before);
    QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), volume);

    // "Go" on a folder without files: the engine's message in a box, and no log.
    Find<QAbstractButton>(&form, "Command1")->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[exclamation] Empty directory")});
    QVERIFY(!QFile::exists(volume + QStringLiteral("/logfile.txt")));
  }

  void escapedExceptionIsShownAndTheProgramGoesOn() {
    QMetaObject::invokeMethod(
        qApp, [] { throw std::runtime_error("disk on fire"); }, Qt::QueuedConnection);
    QCoreApplication::sendPostedEvents();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[stop] Unexpected error: disk on fire")});
  }

  // The zone mode and the Open logfile, Move and multi-extension boxes come back at the next start, however the
  // window was left; Test always starts checked and the translation box follows the configuration file alone. A
  // value that is none of a control's leaves its default.
  void optionsComeBackButTestDoesNot() {
    enum Leave { kQuit, kCloseBox, kGo };
    for (const Leave leave : {kQuit, kCloseBox, kGo}) {
      init();
      const QString folder = TempPath(QStringLiteral("roms"));
      WriteBytes(folder + QStringLiteral("/Game (E).nes"), QByteArray());
      {
        FormShell shell;
        shell.SetNoMenuAction([] {});
        shell.SetFactory(FormId::kForm1, [&] { return new Form1(Options(folder)); });
        shell.Show(FormId::kForm1);
        QWidget* form = shell.Form(FormId::kForm1);
        for (const char* name : {"Option4", "Test", "LogFile", "Moved", "Multiext", "TradsYN"})
          Find<QAbstractButton>(form, name)->click();
        QCOMPARE(Checked(form), QStringLiteral("Moved,Multiext,Option4"));
        if (leave == kQuit) Find<QAbstractButton>(form, "Command2")->click();
        if (leave == kCloseBox) form->close();
        if (leave == kGo) {
          Find<QAbstractButton>(form, "Command1")->click();  // keeps nothing but its one game
          QVERIFY(QFile::copy(StatePath(), TempPath(QStringLiteral("after-go.ini"))));  // what a kill would leave
        }
      }
      if (leave == kGo) {
        QVERIFY(QFile::remove(StatePath()) && QFile::rename(TempPath(QStringLiteral("after-go.ini")), StatePath()));
      }
      Form1 again(Options(folder));
      QCOMPARE(Checked(&again), QStringLiteral("Test,Moved,Multiext,Option4"));
      QVERIFY(!Find(&again, "ListeZones")->isEnabled());
      QCOMPARE(Boxes(&again).section('|', 3, 3), QStringLiteral("off"));
    }
    // Values written by hand that are none of the controls' own.
    WriteBytes(StatePath(), "Form1.zone_mode=7\nForm1.move=yes\nForm1.open_logfile=0\nForm1.multi_extension=\n");
    Form1 odd(Options());
    QCOMPARE(Checked(&odd), QStringLiteral("Test,Option2"));
    // Each option is kept under its own name, once the window is left.
    odd.show();
    Find<QAbstractButton>(&odd, "Option3")->click();
    odd.hide();
    QCOMPARE(FileBytes(StatePath()),
             "Form1.move=0\nForm1.multi_extension=0\nForm1.open_logfile=0\nForm1.trash=0\nForm1.zone_mode=3\n");
  }

  // Move and Trash clear each other, whether a box or its label is clicked. A trash run asks nothing, puts the
  // files in the trash and says so; the box comes back at the next start, and of a state file that keeps both
  // boxes checked only one is.
  void trashRunsWithoutAQuestionAndClearsMove() {
    const QString folder = TempPath(QStringLiteral("roms"));
    FillWithRomNames(folder);
    const std::optional<QByteArray> data_home =
        qEnvironmentVariableIsSet("XDG_DATA_HOME") ? std::optional(qgetenv("XDG_DATA_HOME")) : std::nullopt;
    qputenv("XDG_DATA_HOME", QFile::encodeName(TempPath(QStringLiteral("data"))));
    {
      Form1 form(Options(folder));
      form.show();
      const std::pair<const char*, const char*> clicks[] = {
          {"Label9", "Test,LogFile,Moved,Option2"}, {"Label12", "Test,LogFile,Trash,Option2"},
          {"Moved", "Test,LogFile,Moved,Option2"},  {"Trash", "Test,LogFile,Trash,Option2"},
          {"Trash", "Test,LogFile,Option2"},        {"Trash", "Test,LogFile,Trash,Option2"}};
      for (const auto& [control, checked] : clicks) {
        QTest::mouseClick(Find(&form, control), Qt::LeftButton, {}, Find(&form, control)->rect().center());
        QCOMPARE(Checked(&form), QString::fromLatin1(checked));
      }
      auto* go = Find<QAbstractButton>(&form, "Command1");
      go->click();
      const QString theoretical = Find<QLabel>(&form, "Label5")->text();
      QVERIFY2(theoretical.startsWith(QStringLiteral("Theoretically trashed files : ")), qPrintable(theoretical));
      const int count = theoretical.section(QLatin1Char(' '), -1).toInt();
      QVERIFY(count > 0);
      Find<QAbstractButton>(&form, "Test")->setChecked(false);
      go->click();
      QCOMPARE(Shown(), QStringList());  // no question
      QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QStringLiteral("Trashed files : %1").arg(count));
      QCOMPARE(FilesOf(TempPath(QStringLiteral("data/Trash/files"))).size(), count);
      QCOMPARE(FilesOf(folder).size(), 60 + 1 - count);
    }
    data_home ? qputenv("XDG_DATA_HOME", *data_home) : qunsetenv("XDG_DATA_HOME");
    Form1 again(Options(folder));
    QCOMPARE(Checked(&again), QStringLiteral("Test,LogFile,Trash,Option2"));
    WriteBytes(StatePath(), "Form1.move=1\nForm1.trash=1\n");
    Form1 both(Options(folder));
    QCOMPARE(Checked(&both), QStringLiteral("Test,LogFile,Trash,Option2"));
  }

  // A click on the label beside a box toggles the box and gives it the focus; the translation box's label also
  // enables the translation list.
  void labelsToggleTheirBoxes() {
    Form1 form(Options());
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    for (const auto& [box, label] :
         {std::pair{"TradsYN", "Label11"}, std::pair{"Test", "Label3"}, std::pair{"LogFile", "Label4"},
          std::pair{"Moved", "Label9"}, std::pair{"Multiext", "Label10"}}) {
      auto* check = Find<QAbstractButton>(&form, box);
      auto* caption = Find<QLabel>(&form, label);
      QCOMPARE(caption->buddy(), check);
      const bool before = check->isChecked();
      QTest::mouseClick(caption, Qt::LeftButton, {}, caption->rect().center());
      QVERIFY2(check->isChecked() != before && check->hasFocus(), box);
      QTest::mouseClick(caption, Qt::LeftButton, {}, caption->rect().center());
      QVERIFY2(check->isChecked() == before, box);
    }
    QTest::mouseClick(Find(&form, "Label11"), Qt::LeftButton);
    QVERIFY(Find(&form, "ListeTrads")->isEnabled());
  }

  // A run that got to its end leaves its bar full until the next run empties it; the wait cursor shows while it
  // runs, but not over the question it asks.
  void aRunEndsOnAFullBarUnderTheWaitCursor() {
    const QString folder = TempPath(QStringLiteral("roms"));
    FillWithRomNames(folder);
    Form1 form(Options(folder));
    form.show();
    auto* bar = Find<QProgressBar>(&form, "ProgressBar1");
    QList<int> values;
    QList<int> cursors;  // the override cursor at each step, -1 for none
    connect(bar, &QProgressBar::valueChanged, this, [&](int value) {
      values << value;
      cursors << (QApplication::overrideCursor() == nullptr ? -1 : int(QApplication::overrideCursor()->shape()));
    });
    for (const bool test_run : {true, false}) {
      values.clear(), cursors.clear();
      Find<QAbstractButton>(&form, "Test")->setChecked(test_run);
      boxes_->QueueAnswer(MessageAnswer::kYes);
      Find<QAbstractButton>(&form, "Command1")->click();
      QVERIFY(!values.isEmpty());
      if (!test_run) QCOMPARE(values.first(), 0);  // the test run's full bar emptied as the next run starts
      QCOMPARE(values.last(), bar->maximum());
      QCOMPARE(bar->value(), bar->maximum());
      QCOMPARE(cursors, QList<int>(cursors.size(), int(Qt::WaitCursor)));
      QVERIFY(QApplication::overrideCursor() == nullptr);
    }
    QCOMPARE(boxes_->shown().size(), 1u);  // the delete question, under the arrow
    QCOMPARE(boxes_->shown()[0].cursor, Qt::ArrowCursor);
  }

  // The log is opened by the desktop's opener, not waited for; when the opener ends with a failure the window
  // says why. The opener gets the log as a URL that keeps every byte of its name.
  void theLogOpenerSaysWhyItFailed() {
#ifdef _WIN32
    QSKIP("the openers are shell scripts; Windows opens the log in notepad");
#else
    // The opener is not asked to find the file: a name is all it needs here.
    const std::string log = QFile::encodeName(temp_->path()).toStdString() + "/roms 100% \xff/logfile.txt";
    const QString cannot = QStringLiteral("[exclamation] Cannot open ") + PathText(log) + QStringLiteral(": ");
    const QString url_file = TempPath(QStringLiteral("url"));
    const std::pair<const char*, QString> kOpeners[] = {
        {"exit 3", cannot + "no program to open it was found"},
        {"exit 4", cannot + "the program that opens it failed"},
        {"exit 1", cannot + "xdg-open ended with code 1"},
        {"exit 0", QString()},
        {"kill -9 $$", QString()},  // ended by someone else: nothing to say
        {nullptr, cannot + "xdg-open could not be started (install the xdg-utils package)"},
    };
    for (const auto& [ending, said] : kOpeners) {
      QFile::remove(url_file);
      const QString opener = TempPath(QStringLiteral("opener"));
      QFile::remove(opener);
      if (ending != nullptr) {
        WriteBytes(opener, "#!/bin/sh\nprintf '%s' \"$1\" > '" + url_file.toUtf8() + "'\n" + ending + "\n");
        QVERIFY(QFile::setPermissions(opener, QFile::ReadOwner | QFile::ExeOwner));
      }
      const QPointer<QProcess> process = OpenLogInEditor(log, nullptr, opener.toStdString());
      QTRY_VERIFY(process.isNull());  // it deletes itself once it has ended or failed to start
      QCOMPARE(Shown(), said.isEmpty() ? QStringList() : QStringList{said});
      if (ending != nullptr) {
        QCOMPARE(FileBytes(url_file), QByteArray("file://") + QFile::encodeName(temp_->path()).replace(' ', "%20") +
                                          "/roms%20100%25%20%FF/logfile.txt");
      }
    }
    // The window's own opener, at the end of a run.
    const QString roms = TempPath(QStringLiteral("plain"));
    WriteBytes(roms + QStringLiteral("/Game (E).nes"), QByteArray());
    WriteBytes(TempPath(QStringLiteral("opener")), "#!/bin/sh\nexit 3\n");
    QVERIFY(QFile::setPermissions(TempPath(QStringLiteral("opener")), QFile::ReadOwner | QFile::ExeOwner));
    Form1Options options = Options(roms);
    options.open_log = nullptr;
    options.log_opener = TempPath(QStringLiteral("opener")).toStdString();
    Form1 form(options);
    form.show();
    Find<QAbstractButton>(&form, "Command1")->click();
    QTRY_VERIFY(!boxes_->shown().empty());
    QCOMPARE(Shown(), QStringList{QStringLiteral("[exclamation] Cannot open ") + roms +
                                  QStringLiteral("/logfile.txt: no program to open it was found")});
#endif
  }
};

}  // namespace varnel

// The program's own application object, so that escaped exceptions are handled as in the program.
int main(int argc, char** argv) {
  QTemporaryDir state_home;  // the folders the windows remember are not the user's
  qputenv("XDG_STATE_HOME", state_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form1Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form1_tests.moc"
