// The alphabetical window over real temporary folders. The rom names but one lower-case name are real GoodSMS
// names (goodsms.txt of the project's romname lists, SnowflakePowered/opengood, CC0-1.0).

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "jobs/alpha/form2.h"
#include "tests/support/qt_files.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/message_box.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

QPushButton* Find(QWidget* form, const char* name) { return form->findChild<QPushButton*>(name); }
FolderTree* Dir1(QWidget* form) { return form->findChild<FolderTree*>("Dir1"); }

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;

 private slots:
  // Then a second run overwrites nothing, and a folder without files is an "Empty directory".
  void goSortsTheFolder() {
    const QString folder = temp_.path(), alpha = folder + QStringLiteral("/AlphaFolders/");
    const QStringList names = {
        QStringLiteral("After Burner (JUEB) [!].sms"), QStringLiteral("#gscept Intro by blindio (PD).sms"),
        QStringLiteral("007 James Bond (J) (MV) (V2.6).mv"), QStringLiteral("Zillion (U) (V1.1) [T+Bra_CBT][o1].sms"),
        QStringLiteral("zillion (lower case).sms")};
    for (const QString& name : names + QStringList{"logfile.txt", ".hidden"}) WriteBytes(folder + '/' + name);
    Form2 form({folder});
    form.show();
    auto* bar = form.findChild<QProgressBar*>("ProgressBar1");
    bar->resize(2, bar->height());  // narrower than the count: the last value must still reach the bar
    // The job keeps the window from answering: the wait cursor shows at each step, the arrow over its message.
    QList<int> cursors;
    connect(bar, &QProgressBar::valueChanged, this, [&cursors] {
      cursors << (QApplication::overrideCursor() == nullptr ? -1 : int(QApplication::overrideCursor()->shape()));
    });
    ScriptedMessageBoxes boxes;
    Find(&form, "Command1")->click();
    QVERIFY(boxes.shown().size() == 1 && boxes.shown()[0].icon == MessageIcon::kInformation);
    QVERIFY(!cursors.isEmpty() && cursors == QList<int>(cursors.size(), int(Qt::WaitCursor)));
    QCOMPARE(boxes.shown()[0].cursor, Qt::ArrowCursor);
    QVERIFY(QApplication::overrideCursor() == nullptr);
    QCOMPARE(boxes.shown()[0].text, QStringLiteral("5 files moved."));
    QCOMPARE(FilesOf(folder), QStringList({".hidden", "logfile.txt"}));
    QCOMPARE(FilesOf(alpha + 'A'), QStringList{names[0]});
    QCOMPARE(FilesOf(alpha + '#'), QStringList({names[1], names[2]}));
    QCOMPARE(FilesOf(alpha + 'Z'), QStringList({names[3], names[4]}));
    QCOMPARE(QDir(alpha).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 27);
    QCOMPARE(QList<int>({bar->minimum(), bar->value(), bar->maximum()}), QList<int>({0, 2, 2}));  // full

    WriteBytes(folder + '/' + names[0], "second");  // stays where it is: the sorted one is not overwritten
    Find(&form, "Command1")->click();
    QVERIFY(boxes.shown()[1].text.startsWith("0 files moved.\n1 files not moved: " + names[0] + " ("));
    QCOMPARE(QFileInfo(alpha + "A/" + names[0]).size(), 0);
    QCOMPARE(QList<int>({bar->value(), bar->maximum()}), QList<int>({2, 2}));  // ended, if without moving a file

    const QString empty = temp_.filePath(QStringLiteral("empty"));  // a subfolder and a hidden file only
    QDir().mkpath(empty + QStringLiteral("/only-a-subfolder"));
    WriteBytes(empty + QStringLiteral("/.hidden"));
    Dir1(&form)->SetPath(empty);
    Find(&form, "Command1")->click();
    QVERIFY(boxes.shown().size() == 3 && boxes.shown()[2].icon == MessageIcon::kExclamation);
    QCOMPARE(boxes.shown()[2].text, QStringLiteral("Empty directory"));
    QVERIFY(!QFile::exists(empty + QStringLiteral("/AlphaFolders")));
  }
};

}  // namespace varnel

// The program's own application object, as in the program.
int main(int argc, char** argv) {
  QTemporaryDir state_home;  // the folders the windows remember are not the user's
  qputenv("XDG_STATE_HOME", state_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form2Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form2_tests.moc"
