// The alphabetical window over real temporary folders. The rom names but one lower-case name are real GoodSMS
// names (goodsms.txt of the project's romname lists, SnowflakePowered/opengood, CC0-1.0).

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "jobs/alpha/form2.h"
#include "ui/folder_tree.h"
#include "ui/form_shell.h"
#include "ui/message_box.h"
#include "ui/varnel_application.h"

namespace varnel {
namespace {

template <typename T = QPushButton>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

void Touch(const QString& path, const QByteArray& bytes = {}) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The files of `folder`, hidden ones too, in code point order.
QStringList FilesOf(const QString& folder) {
  QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::NoSort);
  files.sort();
  return files;
}

}  // namespace

class Form2Test : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;
  Form2Options Home() const { return {temp_.path()}; }

 private slots:
  void controlsAndInitialTexts() {
    Form2 form(Home());
    QCOMPARE(form.windowTitle(), QStringLiteral("I want to move my roms in alphabetical folders"));
    QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), QDir::toNativeSeparators(temp_.path()));
    QVERIFY(Find<QWidget>(&form, "Drive1") && Find<QProgressBar>(&form, "ProgressBar1")->value() == 0);
    QVERIFY(!Find<QLabel>(&form, "Picture1")->pixmap().isNull() &&
            Find<QLabel>(&form, "Picture1")->toolTip().isEmpty());
    QCOMPARE(Find(&form, "Command1")->text(), QStringLiteral("Go"));
    QCOMPARE(Find(&form, "Command2")->text(), QStringLiteral("Quit"));
    for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QVERIFY2(form.rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
    // The longest caption either language gives a button ("Quitter") fits it with the style's margins.
    QVERIFY(Find(&form, "Command2")->fontMetrics().horizontalAdvance(QStringLiteral("Quitter")) + 12 <=
            Find(&form, "Command1")->width());
  }

  void goSortsTheFolderAndNeverOverwrites() {
    const QString folder = temp_.filePath(QStringLiteral("roms")), alpha = folder + QStringLiteral("/AlphaFolders/");
    const QStringList names = {
        QStringLiteral("After Burner (JUEB) [!].sms"), QStringLiteral("#gscept Intro by blindio (PD).sms"),
        QStringLiteral("007 James Bond (J) (MV) (V2.6).mv"), QStringLiteral("Zillion (U) (V1.1) [T+Bra_CBT][o1].sms"),
        QStringLiteral("zillion (lower case).sms")};
    QDir().mkpath(folder);
    for (const QString& name : names + QStringList{"logfile.txt", ".hidden"}) Touch(folder + '/' + name);
    Form2 form({folder});
    form.show();
    auto* bar = Find<QProgressBar>(&form, "ProgressBar1");
    bar->resize(2, bar->height());  // narrower than the count: the last value must still reach the bar
    ScriptedMessageBoxes boxes;
    Find(&form, "Command1")->click();
    QCOMPARE(boxes.shown().size(), 1u);
    QCOMPARE(boxes.shown()[0].text, QStringLiteral("5 files moved."));
    QCOMPARE(boxes.shown()[0].icon, 64);
    QCOMPARE(FilesOf(folder), QStringList({".hidden", "logfile.txt"}));
    QCOMPARE(FilesOf(alpha + 'A'), QStringList{names[0]});
    QCOMPARE(FilesOf(alpha + '#'), QStringList({names[1], names[2]}));
    QCOMPARE(FilesOf(alpha + 'Z'), QStringList({names[3], names[4]}));
    QCOMPARE(QDir(alpha).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 27);
    QCOMPARE(QList<int>({bar->minimum(), bar->value(), bar->maximum()}), QList<int>({0, 6, 8}));

    Touch(folder + '/' + names[0], "second");  // stays where it is: the sorted one is not overwritten
    Find(&form, "Command1")->click();
    QVERIFY(boxes.shown()[1].text.startsWith("0 files moved.\n1 files not moved: " + names[0] + " ("));
    QCOMPARE(QFileInfo(alpha + "A/" + names[0]).size(), 0);
    QCOMPARE(QList<int>({bar->value(), bar->maximum()}), QList<int>({2, 4}));
  }

  void emptyDirectory() {
    const QString folder = temp_.filePath(QStringLiteral("empty"));
    QDir().mkpath(folder + QStringLiteral("/only-a-subfolder"));
    Touch(folder + QStringLiteral("/.hidden"));
    Form2 form({folder});
    ScriptedMessageBoxes boxes;
    Find(&form, "Command1")->click();
    QCOMPARE(boxes.shown().size(), 1u);
    QCOMPARE(boxes.shown()[0].text, QStringLiteral("Empty directory"));
    QCOMPARE(boxes.shown()[0].icon, 48);
    QVERIFY(!QFile::exists(folder + QStringLiteral("/AlphaFolders")));
  }

  void quitKeepsTheFolderCloseBoxResets() {
    const QString chosen = temp_.filePath(QStringLiteral("chosen"));
    QDir().mkpath(chosen);
    FormShell shell;
    int menu_requests = 0;
    shell.SetNoMenuAction([&menu_requests] { ++menu_requests; });
    shell.SetFactory(FormId::kForm2, [this] { return new Form2(Home()); });
    shell.Show(FormId::kForm2);
    QPointer<QWidget> form = shell.Form(FormId::kForm2);
    Find<FolderTree>(form, "Dir1")->SetPath(chosen);
    Find(form, "Command2")->click();
    QVERIFY(menu_requests == 1 && !form->isVisible() && shell.Form(FormId::kForm2) == form.data());
    QCOMPARE(Find<FolderTree>(form, "Dir1")->Path(), QDir::toNativeSeparators(chosen));

    shell.Show(FormId::kForm2);
    form->close();
    QCOMPARE(menu_requests, 2);
    QTRY_VERIFY(form.isNull());
    QCOMPARE(Find<FolderTree>(shell.Form(FormId::kForm2), "Dir1")->Path(), QDir::toNativeSeparators(temp_.path()));
  }
};

}  // namespace varnel

// The program's own application object, as in the program.
int main(int argc, char** argv) {
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form2Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form2_tests.moc"
