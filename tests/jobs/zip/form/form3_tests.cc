#include <QDir>
#include <QFile>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "jobs/zip/form3.h"
#include "tests/support/processes.h"
#include "tests/support/qt_files.h"
#include "tests/support/recording_hosts.h"
#include "ui/kit/archiver_message.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/message_box.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

QPushButton* Find(QWidget* form, const char* name) { return form->findChild<QPushButton*>(name); }

}  // namespace

class Form3Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> program_, roms_;  // the program folder holds the fake archiver
  std::unique_ptr<ScriptedMessageBoxes> boxes_;

  // Never the machine's archiver.
  Form3Options Options() const { return {roms_->path(), program_->path().toStdString(), std::string()}; }
  QByteArray Program(const char* name) const { return program_->filePath(QString::fromLatin1(name)).toUtf8(); }
  QString Rom(const char* name) const { return roms_->filePath(QString::fromUtf8(name)); }
  // Each box shown since the last call, as "[icon] text".
  QStringList TakeShown() const {
    QStringList shown;
    for (const ShownMessageBox& box : boxes_->shown())
      shown << QString::fromStdString(IconTag(box.icon)) + QLatin1Char(' ') + box.text;
    boxes_->ClearShown();
    return shown;
  }
  // Shows a new window and lets it check for the archiver: whether it stayed visible, how often it asked for the
  // menu, the titles of the boxes it showed, then the boxes.
  QStringList Activate() {
    Form3 form(Options());
    QSignalSpy menu_requests(&form, &JobForm::MenuRequested);
    form.show();
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form)) return {QStringLiteral("never active")};
    QTest::qWait(20);  // the check runs once the activation is over
    QStringList seen{QStringLiteral("visible %1, menu %2").arg(form.isVisible()).arg(menu_requests.count())};
    for (const ShownMessageBox& box : boxes_->shown()) seen << box.title;
    return seen + TakeShown();
  }

  // A fake archiver that runs `prelude`, then writes "zip of <source>" as the archive; and the roms `names`.
  void WriteArchiver(const QByteArray& prelude = {}, std::initializer_list<const char*> names = {}) {
#ifdef _WIN32
    QSKIP("the fake archiver is a shell script");
#endif
    WriteBytes(Program("7z"), "#!/bin/sh\n" + prelude + "printf 'zip of %s' \"$7\" > \"$2\"\n");
    QFile::setPermissions(Program("7z"), QFile::ReadOwner | QFile::ExeOwner);
    for (const char* name : names) WriteBytes(Rom(name), "rom");
  }
  // Two roms and an archiver that starts a child of its own, writes part of its archive and its process id to
  // "pid", then waits for a file "go"; `step` runs once, while the job processes its events, when the first run
  // is waiting.
  void WhileTheArchiverWaits(std::function<void()> step) {
    WriteArchiver("sleep 300 & echo $! > '" + Program("child") + "'\nprintf part > \"$2\"\necho $$ > '" +
                      Program("pid") + "'\nwhile [ ! -e '" + Program("go") + "' ]; do sleep 0.01; done\n",
                  {"a.nes", "b.nes"});
    auto* timer = new QTimer(this);
    QObject::connect(timer, &QTimer::timeout, [this, timer, step] {
      if (!QFile::exists(Program("pid"))) return;
      timer->stop();
      step();
    });
    timer->start(5);
  }

 private slots:
  void init() {
    program_ = std::make_unique<QTemporaryDir>();
    roms_ = std::make_unique<QTemporaryDir>();
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
  }

  void activationChecksForTheArchiver() {
    // A missing archiver is said, then the window does exactly what "Quit" does.
    QCOMPARE(Activate(), (QStringList{"visible 0, menu 1", kProgramTitle,
                                      "[stop] 7z not found in \"" + program_->path() +
                                          "\" folder nor on PATH: install the p7zip-full package."}));
    // The message of the language applied, under the caption of the loaded main menu.
    SetMessage7zAbsent(FrenchMessage7zAbsent(QStringLiteral("/opt/%1 v")));
    QWidget menu;
    menu.setObjectName(QStringLiteral("MainForm"));
    menu.setWindowTitle(QStringLiteral("Varnel par Tollimer v3"));
    const QString french = QString::fromUtf8(
        "[stop] 7z non pr\xc3\xa9sent dans le r\xc3\xa9pertoire \"/opt/%1 v\" ni dans le PATH : installez le paquet "
        "p7zip-full.");
    QCOMPARE(Activate(), (QStringList{"visible 0, menu 1", "Varnel par Tollimer v3", french}));
    WriteArchiver();
    QCOMPARE(Activate(), QStringList{QStringLiteral("visible 1, menu 0")});
  }

  void goZipsEveryFileThenFindsAnEmptyDirectory() {
    WriteArchiver({}, {"Game (E).nes", "b.smc", "noext", ".hidden"});
    QDir(roms_->path()).mkpath(QStringLiteral("empty/sub"));
    Form3 form(Options());
    Find(&form, "Command1")->click();
    QCOMPARE(TakeShown(), QStringList{"[none] 3 files zipped"});
    for (const char* zip : {"Game (E).zip", "b.zip", "noext.zip"}) QVERIFY(QFile::exists(Rom("ZippedRoms/") + zip));
    auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
    QCOMPARE(bar->value(), bar->maximum());  // full once the job has ended
    // "Go" is enabled again once the job has ended.
    form.findChild<FolderTree*>("Dir1")->SetPath(Rom("empty"));
    Find(&form, "Command1")->click();
    QCOMPARE(TakeShown(), QStringList{"[exclamation] Empty directory"});
    QVERIFY(!QFileInfo::exists(Rom("empty/ZippedRoms")));
  }

  // True once the process whose id a fake archiver wrote to `file` has ended (and was reaped, or is a zombie
  // nobody reaps), waiting a little for one that was just killed.
  bool Ended(const char* file) const {
    const long process = ProcessIdIn(Program(file).toStdString());
    return process > 0 && ProcessEnded(process);
  }
  QStringList ArchiveFolder() const {
    return QDir(Rom("ZippedRoms")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  // While the archiver waits "Go" reads "Stop". The close box only hides the window: the job goes on to its end
  // message and the window is gone once the job has ended. The end of the program stops the job and kills its
  // archiver first (last: the Quit event leaves the application marked as quitting).
  void aJobUnderWay() {
    for (bool program_ends : {false, true}) {
      init();
      QPointer<Form3> form = new Form3(Options());
      QSignalSpy menu_requests(form.data(), &JobForm::MenuRequested);
      form->show();
      QString caption;
      bool visible = true;
      WhileTheArchiverWaits([&] {
        caption = Find(form, "Command1")->text();
        QCOMPARE(form->RunningJobFolder(), roms_->path());
        QEvent quit(QEvent::Quit);
        program_ends ? QCoreApplication::sendEvent(QCoreApplication::instance(), &quit) : form->close();
        visible = form->isVisible();
        WriteBytes(Program("go"), "");  // lets on a job that was not stopped
      });
      Find(form, "Command1")->click();
      QCOMPARE(caption, QStringLiteral("Stop"));
      QVERIFY(program_ends || (!visible && menu_requests.count() == 1));
      QCOMPARE(TakeShown(), program_ends ? QStringList() : QStringList{"[none] 2 files zipped"});
      QTest::qWait(10);
      if (!program_ends) QVERIFY(form.isNull());
      QVERIFY(Ended("pid") && Ended("child"));
      QCOMPARE(ArchiveFolder(), program_ends ? QStringList() : QStringList({"a.zip", "b.zip"}));
    }
  }

  // "Stop" ends the archiver and what it started; the file it was zipping gets no archive, and the window says
  // what was zipped. "Go" is back afterwards.
  void stopEndsTheJobAndSaysWhatWasZipped() {
    Form3 form(Options());
    form.show();
    WhileTheArchiverWaits([&] { Find(&form, "Command1")->click(); });
    Find(&form, "Command1")->click();
    QCOMPARE(TakeShown(), QStringList{"[none] Stopped: 0 files zipped."});
    QVERIFY(Ended("pid") && Ended("child"));
    QCOMPARE(ArchiveFolder(), QStringList());
    QCOMPARE(Find(&form, "Command1")->text(), QStringLiteral("Go"));
    QVERIFY(form.RunningJobFolder().isEmpty());
  }
};

}  // namespace varnel

// The program's own application object, so that escaped exceptions are handled as in the program.
int main(int argc, char** argv) {
  QTemporaryDir state_home;  // the folders the windows remember are not the user's
  qputenv("XDG_STATE_HOME", state_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form3Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form3_tests.moc"
