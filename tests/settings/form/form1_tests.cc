#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "settings/form1.h"
#include "settings/form1_values.h"
#include "ui/drive_list.h"
#include "ui/folder_tree.h"
#include "ui/form_shell.h"
#include "ui/message_box.h"
#include "ui/twips.h"
#include "ui/varnel_application.h"
#include "ui/wrapping_radio_button.h"

namespace varnel {
namespace {

const char kDefaultExclusions[] =
    "(pd),(beta,(prototype),hack),(pal),[corrupt],beta),-in-1,[k-file],(cpm),[hm,[hf,(hacker),(unl)";

QByteArray FileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
}

// Empty files named after the real names of the test data.
void FillWithRomNames(const QString& folder) {
  const QList<QByteArray> names = FileBytes(QStringLiteral(VARNEL_FORM_TEST_DATA "/romnames.txt")).split('\n');
  for (const QByteArray& name : names) {
    if (!name.isEmpty()) WriteBytes(folder + QLatin1Char('/') + QString::fromUtf8(name), QByteArray());
  }
}

QStringList FilesOf(const QString& folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }

class RecordingHost : public CleaningHost {
 public:
  explicit RecordingHost(bool answer) : answer_(answer) {}
  bool Confirm(const std::string&) override { return answer_; }
  void ShowMessage(const std::string&, int) override {}
  void SetProgress(double, double, double) override {}
  void SetResultText(const std::string&) override {}
  void OpenLog(const std::string&) override {}

 private:
  bool answer_;
};

template <typename T>
T* Find(QWidget* form, const char* name) {
  return form->findChild<T*>(QString::fromLatin1(name));
}

QString Text(QWidget* form, const char* name) { return QString::fromStdString(BoxText(Find<QWidget>(form, name))); }

// True when every line of the control's caption is drawn inside it.
bool CaptionFits(QWidget* control) {
  if (auto* option = qobject_cast<WrappingRadioButton*>(control)) {
    const QRect room = option->CaptionRect();
    const QRect needed =
        option->fontMetrics().boundingRect(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, option->text());
    return needed.width() <= room.width() && needed.height() <= room.height();
  }
  auto* label = qobject_cast<QLabel*>(control);
  const QRect room = label->contentsRect();
  const QRect needed = label->fontMetrics().boundingRect(room, label->alignment(), label->text());
  return needed.width() <= room.width() && needed.height() <= room.height();
}

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> temp_;
  std::unique_ptr<ScriptedMessageBoxes> boxes_;
  std::vector<std::string> opened_logs_;

  QString TempPath(const QString& name) const { return temp_->filePath(name); }
  QString ConfigPath() const { return TempPath(QStringLiteral("config/varnel_config.txt")); }

  Form1Options Options(const QString& start_folder = QString()) {
    Form1Options options;
    options.config_path = ConfigPath().toStdString();
    options.start_folder = start_folder.isEmpty() ? temp_->path() : start_folder;
    options.open_log = [this](const std::string& path) { opened_logs_.push_back(path); };
    return options;
  }

  void WriteConfig(const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(ConfigPath()).absolutePath());
    WriteBytes(ConfigPath(), bytes);
  }

 private slots:
  void init() {
    temp_ = std::make_unique<QTemporaryDir>();
    boxes_ = std::make_unique<ScriptedMessageBoxes>();
    opened_logs_.clear();
  }
  void cleanup() {
    boxes_.reset();
    temp_.reset();
  }

  void everyControlHasItsNameAndPlace() {
    struct Place {
      const char* name;
      int left, top, width, height;
    };
    const Place places[] = {
        {"Drive1", 120, 120, 2295, 315},      {"Dir1", 120, 600, 4335, 2340},
        {"ListeZones", 120, 3480, 5295, 495}, {"Conservees", 120, 4320, 5295, 495},
        {"Exclues", 120, 5160, 5295, 495},    {"TradsYN", 120, 5760, 255, 195},
        {"ListeTrads", 120, 6000, 5295, 495}, {"Test", 1320, 6960, 495, 255},
        {"LogFile", 1320, 7320, 255, 195},    {"Moved", 7200, 6000, 255, 255},
        {"Multiext", 7200, 6360, 255, 255},   {"Option2", 7200, 3720, 2775, 255},
        {"Option3", 7200, 4080, 2775, 495},   {"Option1", 7200, 4560, 2775, 495},
        {"Option4", 7200, 5160, 2415, 255},   {"Command1", 6600, 7440, 1695, 495},
        {"Command2", 8520, 7440, 1575, 495},  {"Command3", 6000, 3960, 735, 735},
        {"Command4", 6000, 5160, 735, 735},   {"Frame1", 6960, 3240, 3135, 2655},
        {"Label8", 120, 3240, 5055, 255},     {"Label6", 120, 4080, 1455, 255},
        {"Label2", 120, 4920, 2175, 255},     {"Label11", 360, 5760, 1455, 255},
        {"Label3", 240, 6960, 495, 255},      {"Label4", 240, 7320, 975, 255},
        {"Label9", 7440, 6000, 2895, 255},    {"Label10", 7440, 6360, 2775, 255},
        {"Label1", 5520, 480, 2055, 2175},    {"Label7", 7920, 480, 2055, 2175},
        {"Label5", 1920, 7320, 4335, 255},    {"ProgressBar1", 1920, 6960, 8175, 255},
    };
    Form1 form(Options());
    QCOMPARE(form.size(), QSize(688, 540));
    for (const Place& place : places) {
      QWidget* control = Find<QWidget>(&form, place.name);
      QVERIFY2(control != nullptr, place.name);
      const QRect twips = TwipsRect(place.left, place.top, place.width, place.height);
      if (qobject_cast<QCheckBox*>(control) != nullptr) {  // may be grown to hold the check mark
        QCOMPARE(control->geometry().center().y(), twips.center().y());
        QVERIFY(control->height() >= twips.height());
      } else {
        QCOMPARE(control->geometry(), twips);
      }
    }
    for (const char* line : {"Line1", "Line2", "Line3", "Line4", "Line5"}) QVERIFY(Find<QWidget>(&form, line));
    QVERIFY(Find<QPushButton>(&form, "Command3")->text().isEmpty());
    QVERIFY(Find<QPushButton>(&form, "Command3")->toolTip().isEmpty());
    QVERIFY(!Find<QPushButton>(&form, "Command4")->icon().isNull());
  }

  void firstStartWithoutFile() {
    Form1 form(Options());
    QCOMPARE(boxes_->shown().size(), 0u);
    QCOMPARE(Text(&form, "ListeZones"), QStringLiteral("(f),(e),(ue),(jue),(u),(ju),(j)"));
    QCOMPARE(Text(&form, "Conservees"), QString());
    QCOMPARE(Text(&form, "Exclues"), QString::fromLatin1(kDefaultExclusions));
    QVERIFY(Find<QCheckBox>(&form, "Test")->isChecked());
    QVERIFY(Find<QCheckBox>(&form, "LogFile")->isChecked());
    QVERIFY(!Find<QCheckBox>(&form, "Moved")->isChecked());
    QVERIFY(!Find<QCheckBox>(&form, "Multiext")->isChecked());
    QVERIFY(Find<QRadioButton>(&form, "Option2")->isChecked());
    QVERIFY(!Find<QCheckBox>(&form, "TradsYN")->isChecked());
    auto* trads = Find<QLineEdit>(&form, "ListeTrads");
    QVERIFY(trads->text().isEmpty() && !trads->isEnabled());
    QCOMPARE(trads->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    QVERIFY(Find<QLineEdit>(&form, "ListeZones")->isEnabled());
    QCOMPARE(form.windowTitle(), QStringLiteral("I want to clean my romset"));
    QCOMPARE(Find<QCheckBox>(&form, "Test")->toolTip(),
             QStringLiteral("Process will be done completely without deleting or moving files. Generate log file."));
    QVERIFY(Find<QLabel>(&form, "Label5")->text().isEmpty());
    QVERIFY(Find<QLabel>(&form, "Label5")->font().bold());
    const QString left = Find<QLabel>(&form, "Label1")->text();
    QVERIFY(left.startsWith(QStringLiteral("(A) Australia\r\n(E) Europe\r\n")));
    QVERIFY(left.endsWith(QStringLiteral("(H) Holland\r\n(HK) Hong Kong\r\n")));
    QCOMPARE(left.count(QStringLiteral("\r\n")), 9);
    QVERIFY(
        Find<QLabel>(&form, "Label7")->text().endsWith(QStringLiteral("(UK) England\r\n(Unk) Unknown Country\r\n")));
    QCOMPARE(Find<FolderTree>(&form, "Dir1")->Path(), QDir::toNativeSeparators(temp_->path()));
  }

  void loadAtStart_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("zones");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("excluded");
    QTest::addColumn<bool>("trads_checked");
    QTest::addColumn<QString>("trads");
    const QString zones = QStringLiteral("(f),(e),(ue),(jue),(u),(ju),(j)");
    const QString excluded = QString::fromLatin1(kDefaultExclusions);
    QTest::newRow("four lines") << QByteArray("(u)\r\n[!]\r\n(beta\r\nfre,eng\r\n") << "(u)"
                                << "[!]"
                                << "(beta" << true << "fre,eng";
    QTest::newRow("three lines and an empty fourth") << QByteArray("(u)\r\n\r\nx\r\n\r\n") << "(u)"
                                                     << ""
                                                     << "x" << true << "";
    QTest::newRow("three lines") << QByteArray("(u)\r\n\r\nx\r\n") << "(u)"
                                 << ""
                                 << "x" << false << "";
    QTest::newRow("CR only") << QByteArray("(u)\r(e)\rx\r") << "(u)"
                             << "(e)"
                             << "x" << false << "";
    QTest::newRow("LF only: defaults") << QByteArray("(u)\n(e)\nx\n") << zones << "" << excluded << false << "";
    QTest::newRow("two lines: defaults") << QByteArray("(u)\r\nk\r\n") << zones << "" << excluded << false << "";
    QTest::newRow("empty file: defaults") << QByteArray() << zones << "" << excluded << false << "";
  }

  void loadAtStart() {
    QFETCH(QByteArray, file);
    WriteConfig(file);
    Form1 form(Options());
    QCOMPARE(boxes_->shown().size(), 0u);
    QTEST(Text(&form, "ListeZones"), "zones");
    QTEST(Text(&form, "Conservees"), "kept");
    QTEST(Text(&form, "Exclues"), "excluded");
    QTEST(Find<QCheckBox>(&form, "TradsYN")->isChecked(), "trads_checked");
    QTEST(Text(&form, "ListeTrads"), "trads");
    QFETCH(bool, trads_checked);
    auto* trads = Find<QLineEdit>(&form, "ListeTrads");
    QCOMPARE(trads->isEnabled(), trads_checked);
    QCOMPARE(trads->palette().color(QPalette::Base),
             form.palette().color(trads_checked ? QPalette::Base : QPalette::Button));
  }

  void loadButtonWithShortFile() {
    WriteConfig("(u)\r\n\r\n(beta\r\nfre\r\n");
    Form1 form(Options());
    SetBoxText(Find<QWidget>(&form, "Exclues"), "mine");
    WriteConfig("z\r\nk\r\n");
    Find<QPushButton>(&form, "Command3")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("Problem with config file"));
    QCOMPARE(boxes_->shown()[0].icon, 16);
    QCOMPARE(boxes_->shown()[0].title, QStringLiteral("Varnel by Tollimer"));
    QCOMPARE(Text(&form, "ListeZones"), QStringLiteral("z"));
    QCOMPARE(Text(&form, "Conservees"), QStringLiteral("k"));
    QCOMPARE(Text(&form, "Exclues"), QStringLiteral("mine"));
    QVERIFY(Find<QCheckBox>(&form, "TradsYN")->isChecked());
    QCOMPARE(Text(&form, "ListeTrads"), QStringLiteral("fre"));

    boxes_->ClearShown();
    WriteConfig("z2\r\nk2\r\nx2\r\n");
    Find<QPushButton>(&form, "Command3")->click();
    QCOMPARE(boxes_->shown().size(), 0u);
    QCOMPARE(Text(&form, "Exclues"), QStringLiteral("x2"));
    QVERIFY(Find<QCheckBox>(&form, "TradsYN")->isChecked());
    QCOMPARE(Text(&form, "ListeTrads"), QStringLiteral("fre"));

    QFile::remove(ConfigPath());
    Find<QPushButton>(&form, "Command3")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(Text(&form, "Exclues"), QStringLiteral("x2"));
  }

  void saveAndLoadRoundTrip() {
    Form1 form(Options());  // its configuration folder does not exist yet
    SetBoxText(Find<QWidget>(&form, "ListeZones"), "(u),(\xc3\xa9)");
    SetBoxText(Find<QWidget>(&form, "Conservees"), "a,\nb");
    SetBoxText(Find<QWidget>(&form, "Exclues"), " (beta,,");
    Find<QCheckBox>(&form, "TradsYN")->click();
    SetBoxText(Find<QWidget>(&form, "ListeTrads"), "fre,eng");
    Find<QPushButton>(&form, "Command4")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, ConfigPath() + QStringLiteral(" saved"));
    QCOMPARE(boxes_->shown()[0].icon, 64);
    QCOMPARE(FileBytes(ConfigPath()), QByteArray("(u),(\xc3\xa9)\r\na,b\r\n (beta,,\r\nfre,eng\r\n"));

    Form1 again(Options());
    QCOMPARE(Text(&again, "ListeZones"), QString::fromUtf8("(u),(\xc3\xa9)"));
    QCOMPARE(Text(&again, "Conservees"), QStringLiteral("a,b"));
    QCOMPARE(Text(&again, "Exclues"), QStringLiteral(" (beta,,"));
    QVERIFY(Find<QCheckBox>(&again, "TradsYN")->isChecked());
    QCOMPARE(Text(&again, "ListeTrads"), QStringLiteral("fre,eng"));

    Find<QCheckBox>(&again, "TradsYN")->click();  // unchecked: the text stays but is not saved
    Find<QPushButton>(&again, "Command4")->click();
    QCOMPARE(FileBytes(ConfigPath()), QByteArray("(u),(\xc3\xa9)\r\na,b\r\n (beta,,\r\n"));
  }

  void saveFailureIsReported() {
    WriteBytes(TempPath(QStringLiteral("config")), "a file where the folder should be");
    Form1 form(Options());
    Find<QPushButton>(&form, "Command4")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QVERIFY(boxes_->shown()[0].text.startsWith(QStringLiteral("Cannot save ") + ConfigPath() + QStringLiteral(": ")));
    QVERIFY(boxes_->shown()[0].text.size() > ConfigPath().size() + 14);
    QCOMPARE(boxes_->shown()[0].icon, 16);
  }

  void translationToggleKeepsTheText() {
    WriteConfig("(u)\r\n\r\nx\r\nfre\r\n");
    Form1 form(Options());
    auto* trads = Find<QLineEdit>(&form, "ListeTrads");
    Find<QCheckBox>(&form, "TradsYN")->click();
    QVERIFY(!trads->isEnabled());
    QCOMPARE(trads->palette().color(QPalette::Base), form.palette().color(QPalette::Button));
    QCOMPARE(trads->text(), QStringLiteral("fre"));
    Find<QCheckBox>(&form, "TradsYN")->click();
    QVERIFY(trads->isEnabled());
    QCOMPARE(trads->palette().color(QPalette::Base), form.palette().color(QPalette::Base));
    QCOMPARE(trads->text(), QStringLiteral("fre"));
  }

  void zoneOptions() {
    Form1 form(Options());
    auto* zones = Find<QLineEdit>(&form, "ListeZones");
    auto* title = Find<QLabel>(&form, "Label8");
    Find<QRadioButton>(&form, "Option4")->click();
    QVERIFY(!zones->isEnabled() && !title->isEnabled());
    // A click on the wrapped caption's right half selects the option too.
    auto* option3 = Find<QRadioButton>(&form, "Option3");
    QTest::mouseClick(option3, Qt::LeftButton, {}, QPoint(option3->width() - 20, option3->height() - 5));
    QVERIFY(option3->isChecked());
    QVERIFY(zones->isEnabled() && title->isEnabled());
    QCOMPARE(zones->text(), QStringLiteral("(f),(e),(ue),(jue),(u),(ju),(j)"));
    QVERIFY(!Find<QRadioButton>(&form, "Option2")->isChecked());
    QCOMPARE(RunSettingsFromForm(form).ZoneMode, ZoneMode::kFirstSelectedZone);
  }

  void quitKeepsStateCloseBoxResets() {
    FormShell shell;
    int menu_requests = 0;
    shell.SetNoMenuAction([&menu_requests] { ++menu_requests; });
    shell.SetFactory(FormId::kForm1, [this] { return new Form1(Options()); });
    QVERIFY(!shell.IsLoaded(FormId::kForm1));
    QPointer<QWidget> form = shell.Form(FormId::kForm1);
    QVERIFY(form && !form->isVisible());
    shell.Show(FormId::kForm1);
    SetBoxText(Find<QWidget>(form, "ListeZones"), "(j)");
    Find<QCheckBox>(form, "Test")->setChecked(false);

    Find<QPushButton>(form, "Command2")->click();
    QCOMPARE(menu_requests, 1);
    QVERIFY(!form->isVisible());
    QCOMPARE(shell.Form(FormId::kForm1), form.data());
    QCOMPARE(Text(form, "ListeZones"), QStringLiteral("(j)"));

    shell.Show(FormId::kForm1);
    form->close();
    QCOMPARE(menu_requests, 2);
    QTRY_VERIFY(form.isNull());
    QVERIFY(!shell.IsLoaded(FormId::kForm1));
    QWidget* fresh = shell.Form(FormId::kForm1);
    QCOMPARE(Text(fresh, "ListeZones"), QStringLiteral("(f),(e),(ue),(jue),(u),(ju),(j)"));
    QVERIFY(Find<QCheckBox>(fresh, "Test")->isChecked());
  }

  void goRunsTheCleaningLikeTheEngine() {
    const QString folder = TempPath(QStringLiteral("roms"));
    const QString twin = TempPath(QStringLiteral("twin"));
    QDir().mkpath(folder);
    QDir().mkpath(twin);
    FillWithRomNames(folder);
    FillWithRomNames(twin);
    Form1 form(Options(folder));
    form.show();
    auto* go = Find<QPushButton>(&form, "Command1");
    const QString log = folder + QStringLiteral("/logfile.txt");

    // Test mode: no question, nothing touched, the log opened.
    go->click();
    QCOMPARE(boxes_->shown().size(), 0u);
    QCOMPARE(opened_logs_, std::vector<std::string>{log.toStdString()});
    RunSettings settings = RunSettingsFromForm(form);
    settings.RomFolder = twin.toStdString();
    RecordingHost yes(true);
    const RunResult expected = RunCleaning(settings, yes);
    QVERIFY(expected.DisposedCount > 0);
    QCOMPARE(FileBytes(log), FileBytes(twin + QStringLiteral("/logfile.txt")));
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QString::fromStdString(expected.summary));
    QCOMPARE(Find<QProgressBar>(&form, "ProgressBar1")->value(), 0);
    QCOMPARE(FilesOf(folder), FilesOf(twin));

    // Delete mode answered No: nothing changes, not even the log.
    Find<QCheckBox>(&form, "Test")->setChecked(false);
    Find<QCheckBox>(&form, "LogFile")->setChecked(false);
    const QByteArray test_log = FileBytes(log);
    boxes_->QueueAnswer(MessageAnswer::kNo);
    go->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("You will delete files. Continue ?"));
    QVERIFY(boxes_->shown()[0].buttons == MessageButtons::kYesNo);
    QCOMPARE(boxes_->shown()[0].icon, 0);
    QCOMPARE(FileBytes(log), test_log);
    QCOMPARE(FilesOf(folder), FilesOf(twin));

    // Answered Yes: the same files go as in a run of the engine itself.
    boxes_->QueueAnswer(MessageAnswer::kYes);
    go->click();
    settings.TestMode = false;
    settings.OpenLog = false;
    const RunResult deleted = RunCleaning(settings, yes);
    QCOMPARE(deleted.DisposedCount, expected.DisposedCount);
    QCOMPARE(FilesOf(folder).size(), 60 + 1 - expected.DisposedCount);
    QCOMPARE(FileBytes(log), FileBytes(twin + QStringLiteral("/logfile.txt")));
    QCOMPARE(FilesOf(folder), FilesOf(twin));
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QString::fromStdString(deleted.summary));
    QCOMPARE(opened_logs_.size(), 1u);
  }

  void goOnAnEmptyFolder() {
    const QString folder = TempPath(QStringLiteral("empty"));
    QDir().mkpath(folder + QStringLiteral("/only-a-subfolder"));
    Form1 form(Options(folder));
    Find<QPushButton>(&form, "Command1")->click();
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("Empty directory"));
    QCOMPARE(boxes_->shown()[0].icon, 48);
    QVERIFY(!QFile::exists(folder + QStringLiteral("/logfile.txt")));
  }

  void driveChoiceMovesTheFolderListUnlessUnreadable() {
    Form1 form(Options());
    auto* drives = Find<DriveList>(&form, "Drive1");
    auto* folders = Find<FolderTree>(&form, "Dir1");
    const QString volume = TempPath(QStringLiteral("volume"));
    QDir().mkpath(volume);
    drives->AddVolume(volume, QStringLiteral("USB"));
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(boxes_->shown().size(), 0u);
    QCOMPARE(folders->Path(), QDir::toNativeSeparators(volume));
    QCOMPARE(RunSettingsFromForm(form).RomFolder, PathBytes(QDir::toNativeSeparators(volume)));

    const int before = drives->currentIndex();
    const QString path = folders->Path();
    const QString gone = TempPath(QStringLiteral("gone"));
    drives->AddVolume(gone, QString());
    drives->setCurrentIndex(drives->count() - 1);
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text,
             QStringLiteral("Cannot read %1: No such file or directory").arg(QDir::toNativeSeparators(gone)));
    QCOMPARE(boxes_->shown()[0].icon, 48);
    QCOMPARE(drives->currentIndex(), before);
    QCOMPARE(folders->Path(), path);
  }

  void escapedExceptionIsShownAndTheProgramGoesOn() {
    class Thrower : public QObject {
     public:
      bool event(QEvent* event) override {
        if (event->type() == QEvent::User) throw std::runtime_error("disk on fire");
        return QObject::event(event);
      }
    };
    Thrower thrower;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&thrower, &event);
    QCOMPARE(boxes_->shown().size(), 1u);
    QCOMPARE(boxes_->shown()[0].text, QStringLiteral("Unexpected error: disk on fire"));
    QCOMPARE(boxes_->shown()[0].icon, 16);
  }

  void captionsFitInBothLanguages() {
    Form1 form(Options());
    const char* const controls[] = {"Label1", "Label2",  "Label3",  "Label4",  "Label6",  "Label7",  "Label8",
                                    "Label9", "Label10", "Label11", "Option1", "Option2", "Option3", "Option4"};
    for (const char* name : controls) QVERIFY2(CaptionFits(Find<QWidget>(&form, name)), name);
    // The French captions are the longest the window shows.
    const std::pair<const char*, const char*> french[] = {
        {"Option2", "Priorit\xc3\xa9 au [!] au lieu des zones"},
        {"Option1", "Conserver toutes les zones choisies"},
        {"Option3",
         "Conserver la 1\xc3\xa8re zone choisie rencontr\xc3\xa9"
         "e"},
        {"Option4", "Conserver toutes les zones"},
        {"Label2", "Exclues :"},
        {"Label4", "Ouvrir le log :"},
        {"Label6",
         "Conserv\xc3\xa9"
         "es :"},
        {"Label8",
         "Zones (tri\xc3\xa9"
         "es par priorit\xc3\xa9, peuvent \xc3\xaatre combin\xc3\xa9"
         "es : (ju), (jue), etc.) :"},
        {"Label9", "D\xc3\xa9placer au lieu de supprimer"},
        {"Label10", "Multi extentions non diff\xc3\xa9rentes"},
        {"Label11", "Traduction :"},
        {"Label1",
         "(A) Australie\r\n(E) Europe\r\n(F) France\r\n(FC) Canada fran\xc3\xa7"
         "ais\r\n(FN) Finlande\r\n"
         "(G) Allemagne\r\n(GR) Gr\xc3\xa8"
         "ce\r\n(H) Pays-Bas\r\n(HK) Hong Kong\r\n"},
        {"Label7",
         "(I) Italie\r\n(J) Japon\r\n(K) Cor\xc3\xa9"
         "e\r\n(NL) Pays-Bas\r\n(S) Espagne\r\n(SW) Su\xc3\xa8"
         "de\r\n"
         "(U) USA\r\n(UK) Royaume Uni\r\n(Unk) Pays inconnu\r\n"},
    };
    for (const auto& [name, text] : french) {
      QWidget* control = Find<QWidget>(&form, name);
      if (auto* label = qobject_cast<QLabel*>(control)) label->setText(QString::fromUtf8(text));
      if (auto* option = qobject_cast<QRadioButton*>(control)) option->setText(QString::fromUtf8(text));
      QVERIFY2(CaptionFits(control), name);
    }
  }
};

}  // namespace varnel

// The program's own application object, so that escaped exceptions are handled as in the program.
int main(int argc, char** argv) {
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::Form1Test test;
  return QTest::qExec(&test, argc, argv);
}
#include "form1_tests.moc"
