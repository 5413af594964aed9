#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <functional>
#include <memory>

#ifndef _WIN32
#include <signal.h>
#endif

#include "jobs/zip/form3.h"
#include "ui/archiver_message.h"
#include "ui/folder_tree.h"
#include "ui/message_box.h"
#include "ui/varnel_application.h"

namespace varnel {
namespace {

template <typename T = QWidget>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// Runs `step` every few milliseconds, while the job processes its events, until it returns true.
void Repeat(QTimer* timer, std::function<bool()> step) {
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    if (step()) timer->stop();
  });
  timer->start(5);
}

}  // namespace

class Form3Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> program_, roms_;  // the program folder holds the fake archiver
  std::unique_ptr<ScriptedMessageBoxes> boxes_;
  QTimer timer_;

  Form3Options Options() const {
    Form3Options options;
    options.start_folder = roms_->path();
    options.program_folder = program_->path().toStdString();
    options.search_path = std::string();  // never the machine's archiver
    return options;
  }
  QByteArray Program(const char* name) const { return program_->filePath(QString::fromLatin1(name)).toUtf8(); }
  QString Rom(const char* name) const { return roms_->filePath(QString::fromUtf8(name)); }
  QStringList Shown() const {
    QStringList shown;
    for (const ShownMessageBox& box : boxes_->shown()) shown << QStringLiteral("[%1] %2").arg(box.icon).arg(box.text);
    return shown;
  }

  // A fake archiver: runs `prelude`, then writes "zip of <source>" as the archive.
  void WriteArchiver(const QByteArray& prelude = QByteArray()) {
#ifdef _WIN32
    QSKIP("the fake archiver is a shell script");
#endif
    WriteBytes(Program("7z"), "#!/bin/sh\n" + prelude + "printf 'zip of %s' \"$4\" > \"$2\"\n");
    QFile::setPermissions(Program("7z"), QFile::ReadOwner | QFile::ExeOwner);
  }
  void WriteRoms(std::initializer_list<const char*> names) {
    for (const char* name : names) WriteBytes(Rom(name), "rom");
  }

 private slots:
  void init() {
    program_ = std::make_unique<QTemporaryDir>();
    roms_ = std::make_unique<QTemporaryDir>();
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    SetMessage7zAbsent(QString());
    timer_.disconnect();
  }

  void controlsHaveTheirNamesAndInitialTexts() {
    Form3 form(Options());
    QCOMPARE(form.windowTitle(), QStringLiteral("I want to zip my roms"));
    QCOMPARE(Find<QPushButton>(&form, "Command1")->text(), QStringLiteral("Go"));
    QCOMPARE(Find<QPushButton>(&form, "Command2")->text(), QStringLiteral("Quit"));
    QVERIFY(Find<QLabel>(&form, "Picture1")->toolTip().isEmpty() && Find<QLabel>(&form, "Picture2") != nullptr);
    QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), roms_->path());
    QVERIFY(Find(&form, "Drive1") != nullptr && Find<QProgressBar>(&form, "ProgressBar1")->value() == 0);
    auto* note = Find<QLabel>(&form, "Label1");
    QCOMPARE(note->text(), QStringLiteral("Label1"));
    note->setText(QString::fromUtf8("Peut prendre du temps, en fonction du nombre de fichiers."));  // the longest
    QVERIFY(note->fontMetrics().horizontalAdvance(note->text()) <= note->contentsRect().width());
  }

  void activationChecksForTheArchiver_data() {
    QTest::addColumn<bool>("archiver");
    QTest::addColumn<QString>("applied");  // the message of the language applied; empty before any
    QTest::addColumn<QString>("menu");     // the caption of a loaded main menu; empty when none is loaded
    QTest::newRow("present") << true << QString() << QString();
    QTest::newRow("missing") << false << QString() << QString();
    QTest::newRow("missing, French applied, menu loaded")
        << false << FrenchMessage7zAbsent(QStringLiteral("/opt/%1 v")) << QStringLiteral("Varnel par Tollimer v3");
  }
  void activationChecksForTheArchiver() {
    QFETCH(bool, archiver);
    QFETCH(QString, applied);
    QFETCH(QString, menu);
    if (archiver) WriteArchiver();
    SetMessage7zAbsent(applied);
    QWidget main_form;
    main_form.setObjectName(menu.isEmpty() ? QString() : QStringLiteral("MainForm"));
    main_form.setWindowTitle(menu);
    Form3 form(Options());
    QSignalSpy menu_requests(&form, &JobForm::MenuRequested);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::qWait(20);  // the check runs once the activation is over
    QCOMPARE(boxes_->shown().size(), std::size_t{archiver ? 0u : 1u});
    QCOMPARE(form.isVisible(), archiver);  // a missing archiver: then exactly what "Quit" does
    QCOMPARE(menu_requests.count(), archiver ? 0 : 1);
    if (archiver) return;
    const ShownMessageBox& box = boxes_->shown().front();
    QCOMPARE(box.text,
             applied.isEmpty() ? QStringLiteral("7z not found in \"%1\" folder").arg(program_->path()) : applied);
    QCOMPARE(box.icon, 16);
    QCOMPARE(box.title, menu.isEmpty() ? QString::fromUtf8(kProgramTitle) : menu);
    if (!applied.isEmpty()) {
      QCOMPARE(applied, QString::fromUtf8("7z non pr\xc3\xa9sent dans le r\xc3\xa9pertoire \"/opt/%1 v\""));
    }
  }

  void goZipsEveryFileThenFindsAnEmptyDirectory() {
    WriteArchiver();
    WriteRoms({"Game (E).nes", "b.smc", "noext", ".hidden"});
    QDir(roms_->path()).mkpath(QStringLiteral("empty/sub"));
    Form3 form(Options());
    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[0] 3 files zipped")});
    QFile archive(Rom("ZippedRoms/Game (E).zip"));
    QVERIFY(archive.open(QIODevice::ReadOnly));
    QCOMPARE(archive.readAll(), "zip of " + Rom("Game (E).nes").toUtf8());
    QVERIFY(QFile::exists(Rom("ZippedRoms/noext.zip")) && QFile::exists(Rom("ZippedRoms/b.zip")));
    auto* bar = Find<QProgressBar>(&form, "ProgressBar1");
    const int three_of_five = static_cast<int>(std::floor(3.0 / 5.0 * bar->maximum()));  // N of N + 2
    QCOMPARE(bar->value(), three_of_five);

    boxes_->ClearShown();
    Find<FolderTree>(&form, "Dir1")->SetPath(Rom("empty"));
    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(Shown(), QStringList{QStringLiteral("[48] Empty directory")});
    QVERIFY(!QFileInfo::exists(Rom("empty/ZippedRoms")));
    QCOMPARE(bar->value(), three_of_five);
  }

  // While the archiver waits "Go" is disabled; "Quit" or the close box hides the window and the job goes on to
  // its end message; a closed window is gone once the job has ended, one left with "Quit" stays loaded.
  void theJobOutlivesItsHiddenWindow_data() {
    QTest::addColumn<bool>("close_box");
    QTest::newRow("Quit") << false;
    QTest::newRow("close box") << true;
  }
  void theJobOutlivesItsHiddenWindow() {
    QFETCH(bool, close_box);
    WriteArchiver("touch '" + Program("started") + "'\nwhile [ ! -e '" + Program("go") + "' ]; do sleep 0.01; done\n");
    WriteRoms({"a.nes", "b.nes"});
    QPointer<Form3> form = new Form3(Options());
    QSignalSpy menu_requests(form.data(), &JobForm::MenuRequested);
    form->show();
    auto* go = Find<QPushButton>(form, "Command1");
    bool go_enabled = true, visible = true;
    Repeat(&timer_, [&] {
      if (!QFile::exists(Program("started"))) return false;
      go_enabled = go->isEnabled();
      close_box ? static_cast<void>(form->close()) : Find<QPushButton>(form, "Command2")->click();
      visible = form->isVisible();
      WriteBytes(Program("go"), "");
      return true;
    });
    go->click();
    QVERIFY(!go_enabled && !visible);
    QCOMPARE(menu_requests.count(), 1);
    QCOMPARE(Shown(), QStringList{QStringLiteral("[0] 2 files zipped")});
    QTest::qWait(10);
    QCOMPARE(form.isNull(), close_box);
    if (!close_box) QVERIFY(go->isEnabled());
    delete form.data();
  }

  // Last: the Quit event leaves the application marked as quitting.
  void endingTheProgramStopsTheArchiverFirst() {
    WriteArchiver("echo $$ > '" + Program("pid") + "'\nexec sleep 30\n");
    WriteRoms({"a.nes", "b.nes"});
    Form3 form(Options());
    Repeat(&timer_, [&] {
      if (!QFile::exists(Program("pid"))) return false;
      QEvent quit(QEvent::Quit);
      QCoreApplication::sendEvent(QCoreApplication::instance(), &quit);
      return true;
    });
    Find<QPushButton>(&form, "Command1")->click();
    QVERIFY(boxes_->shown().empty());  // stopped: no end message
#ifndef _WIN32
    QFile pid(Program("pid"));
    QVERIFY(pid.open(QIODevice::ReadOnly));
    const pid_t archiver = pid.readAll().trimmed().toInt();
    QVERIFY(archiver > 0 && ::kill(archiver, 0) == -1 && errno == ESRCH);  // killed and reaped
#endif
    QVERIFY(!QFile::exists(Rom("ZippedRoms/b.zip")));
  }
};

}  // namespace varnel

// The program's own application object, so that escaped exceptions are handled as in the program.
int main(int argc, char** argv) {
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form3Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form3_tests.moc"
