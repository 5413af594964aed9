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
#include <memory>

#include "jobs/alpha/form2.h"
#include "ui/drive_list.h"
#include "ui/folder_tree.h"
#include "ui/form_shell.h"
#include "ui/message_box.h"
#include "ui/varnel_application.h"

namespace varnel {
namespace {

template <typename T>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

void Touch(const QString& path, const QByteArray& bytes = QByteArray()) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
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

 private:
  std::unique_ptr<QTemporaryDir> temp_;
  std::unique_ptr<ScriptedMessageBoxes> boxes_;

  Form2Options Options(const QString& start_folder = QString()) const {
    return Form2Options{start_folder.isEmpty() ? temp_->path() : start_folder};
  }
  QString MakeFolder(const QString& name) const {
    const QString folder = temp_->filePath(name);
    QDir().mkpath(folder);
    return folder;
  }

 private slots:
  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
  }
  void cleanup() {
    boxes_.reset();
    temp_.reset();
  }

  void controlsAndInitialTexts() {
    Form2 form(Options());
    QCOMPARE(form.objectName(), QStringLiteral("Form2"));
    QCOMPARE(form.windowTitle(), QStringLiteral("I want to move my roms in alphabetical folders"));
    QVERIFY(Find<DriveList>(&form, "Drive1"));
    QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), QDir::toNativeSeparators(temp_->path()));
    auto* picture = Find<QLabel>(&form, "Picture1");
    QVERIFY(!picture->pixmap().isNull());
    QVERIFY(picture->toolTip().isEmpty());
    auto* bar = Find<QProgressBar>(&form, "ProgressBar1");
    QCOMPARE(bar->value(), 0);
    auto* go = Find<QPushButton>(&form, "Command1");
    auto* quit = Find<QPushButton>(&form, "Command2");
    QCOMPARE(go->text(), QStringLiteral("Go"));
    QCOMPARE(quit->text(), QStringLiteral("Quit"));
    for (QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      QVERIFY2(form.rect().contains(control->geometry()), qPrintable(control->objectName()));
    }
    // The longest caption either language gives a button fits it with the style's margins.
    const int needed = quit->fontMetrics().horizontalAdvance(QStringLiteral("Quitter")) + 12;
    QVERIFY(needed <= quit->width() && needed <= go->width());
  }

  void goSortsTheFolder() {
    const QString folder = MakeFolder(QStringLiteral("roms"));
    const QStringList names = {
        QStringLiteral("After Burner (JUEB) [!].sms"),
        QStringLiteral("Alex Kidd in Miracle World (UE) (V1.1) [T+Fre1.0_Floflo].sms"),
        QStringLiteral("007 James Bond (J) (MV) (V2.6).mv"),
        QStringLiteral("#gscept Intro by blindio (PD).sms"),
        QStringLiteral("Zillion (U) (V1.1) [T+Bra_CBT][o1].sms"),
        QStringLiteral("zillion (lower case).sms"),
        QStringLiteral("logfile.txt"),
    };
    for (const QString& name : names) Touch(folder + QLatin1Char('/') + name);
    Touch(folder + QStringLiteral("/.hidden"));
    Form2 form(Options(folder));
    form.show();
    auto* bar = Find<QProgressBar>(&form, "ProgressBar1");
    bar->resize(3, bar->height());  // narrower than the count: the last value still reaches the bar

    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("6 files moved."));
    QCOMPARE(boxes_->shown()[0].icon, 64);
    QCOMPARE(boxes_->shown()[0].title, QStringLiteral("Varnel by Tollimer"));
    QCOMPARE(FilesOf(folder), QStringList({".hidden", "logfile.txt"}));
    const QString alpha = folder + QStringLiteral("/AlphaFolders/");
    QCOMPARE(FilesOf(alpha + QStringLiteral("A")), QStringList({names[0], names[1]}));
    QCOMPARE(FilesOf(alpha + QStringLiteral("#")), QStringList({names[3], names[2]}));
    QCOMPARE(FilesOf(alpha + QStringLiteral("Z")), QStringList({names[4], names[5]}));
    QCOMPARE(QDir(alpha).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 27);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 9);
    QCOMPARE(bar->value(), 7);

    // A second file of the same name stays where it is; the one already sorted is not overwritten.
    boxes_->ClearShown();
    Touch(folder + QLatin1Char('/') + names[0], "second");
    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QVERIFY(boxes_->shown()[0].text.startsWith(QStringLiteral("0 files moved.\n1 files not moved: ") + names[0] +
                                               QStringLiteral(" (")));
    QCOMPARE(FilesOf(folder), QStringList({".hidden", names[0], "logfile.txt"}));
    QCOMPARE(QFileInfo(alpha + QStringLiteral("A/") + names[0]).size(), 0);
    QCOMPARE(bar->maximum(), 4);
    QCOMPARE(bar->value(), 2);
  }

  void emptyDirectory() {
    const QString folder = MakeFolder(QStringLiteral("empty/only-a-subfolder"));
    Touch(temp_->filePath(QStringLiteral("empty/.hidden")));
    Form2 form(Options(temp_->filePath(QStringLiteral("empty"))));
    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("Empty directory"));
    QCOMPARE(boxes_->shown()[0].icon, 48);
    QVERIFY(!QFile::exists(temp_->filePath(QStringLiteral("empty/AlphaFolders"))));
    QCOMPARE(Find<QProgressBar>(&form, "ProgressBar1")->value(), 0);
  }

  void quitKeepsTheFolderCloseBoxResets() {
    const QString chosen = MakeFolder(QStringLiteral("chosen"));
    FormShell shell;
    int menu_requests = 0;
    shell.SetNoMenuAction([&menu_requests] { ++menu_requests; });
    shell.SetFactory(FormId::kForm2, [this] { return new Form2(Options()); });
    QPointer<QWidget> form = shell.Form(FormId::kForm2);
    QVERIFY(form && !form->isVisible());
    shell.Show(FormId::kForm2);
    Find<FolderTree>(form, "Dir1")->SetPath(chosen);

    Find<QPushButton>(form, "Command2")->click();
    QCOMPARE(menu_requests, 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(shell.Form(FormId::kForm2), form.data());
    QCOMPARE(Find<FolderTree>(form, "Dir1")->Path(), QDir::toNativeSeparators(chosen));

    shell.Show(FormId::kForm2);
    form->close();
    QCOMPARE(menu_requests, 2);
    QTRY_VERIFY(form.isNull());
    QVERIFY(!shell.IsLoaded(FormId::kForm2));
    QCOMPARE(Find<FolderTree>(shell.Form(FormId::kForm2), "Dir1")->Path(), QDir::toNativeSeparators(temp_->path()));
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
