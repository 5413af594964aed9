// The History window over a real history and real temporary folders.

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "history/history_form.h"
#include "history/history_text.h"
#include "jobs/alpha/alpha_job.h"
#include "tests/support/recording_hosts.h"
#include "ui/kit/message_box.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

void Touch(const QString& path, const QByteArray& bytes = "rom") {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The texts of the rows of `list`, columns separated by "|".
QStringList Rows(const QTreeWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QStringList columns;
    for (int c = 0; c < list->columnCount(); ++c) columns << list->topLevelItem(i)->text(c);
    rows << columns.join('|');
  }
  return rows;
}

QStringList FilesOf(const QString& folder) {
  QStringList files = QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
  return files;
}

}  // namespace

class HistoryFormTest : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;
  QString history() const { return temp_.filePath("history"); }
  HistoryPlace Place() const { return HistoryPlace::In(history().toStdString()); }
  // A folder of `names`, sorted by the alphabetical job; returns the run's start as the list shows it.
  QString SortedFolder(const QString& folder, const QStringList& names) {
    QDir().mkpath(folder);
    for (const QString& name : names) Touch(folder + '/' + name);
    RecordingAlphaHost host;
    RunAlphaFolders(folder.toStdString(), host, Place());
    RecordedRun run;
    std::vector<std::string> ids;
    // A history that cannot be read gives no time, and the comparisons with it fail.
    if (!ListRuns(history().toStdString(), &ids).ok() || ids.empty() ||
        !ReadRun(history().toStdString(), ids.front(), &run).ok()) {
      return QString();
    }
    return QString::fromStdString(std::string(LocalTimeOf(run.summary.started)));
  }

 private slots:
  void listsTheRunsAndUndoesTheSelectedOne() {
    const QString first = temp_.filePath("first"), second = temp_.filePath("second");
    const QString first_time = SortedFolder(first, {"Zelda (E).nes", "Mario (U).nes", "-dash.nes"});
    const QString second_time = SortedFolder(second, {"Tetris (J).nes", "Contra (U).nes"});
    HistoryForm form({Place()});
    form.show();
    auto* runs = form.findChild<QTreeWidget*>("List1");
    auto* files = form.findChild<QTreeWidget*>("List2");
    QCOMPARE(Rows(runs),
             QStringList({second_time + "|alpha|" + second + "|2|0", first_time + "|alpha|" + first + "|3|0"}));
    QCOMPARE(Rows(files), QStringList({"Contra (U).nes|move|done", "Tetris (J).nes|move|done"}));
    runs->setCurrentItem(runs->topLevelItem(1));
    QCOMPARE(Rows(files), QStringList({"-dash.nes|move|done", "Mario (U).nes|move|done", "Zelda (E).nes|move|done"}));

    // The question comes first, No the default, no icon: No changes nothing.
    ScriptedMessageBoxes boxes;
    form.findChild<QPushButton*>("Command1")->click();
    QCOMPARE(boxes.shown().size(), 1u);
    const ShownMessageBox question = boxes.shown()[0];
    QCOMPARE(question.text, "Undo the alpha run of " + first_time + " in " + first + ": 3 files go back. Continue ?");
    QVERIFY(question.icon == MessageIcon::kNone && question.buttons == MessageButtons::kYesNo &&
            question.default_answer == MessageAnswer::kNo);
    QCOMPARE(FilesOf(first), QStringList{"AlphaFolders"});

    // Yes: every file comes back, and the undo is the newest run, selected.
    boxes.QueueAnswer(MessageAnswer::kYes);
    form.findChild<QPushButton*>("Command1")->click();
    QCOMPARE(boxes.shown().size(), 3u);
    QCOMPARE(boxes.shown()[2].text, QStringLiteral("3 files came back."));
    QVERIFY(boxes.shown()[2].icon == MessageIcon::kInformation);
    QCOMPARE(FilesOf(first), QStringList({"-dash.nes", "Mario (U).nes", "Zelda (E).nes"}));
    QCOMPARE(runs->topLevelItemCount(), 3);
    QVERIFY(runs->currentItem() == runs->topLevelItem(0) && runs->topLevelItem(0)->text(1) == "undo");
    QCOMPARE(Rows(files).size(), 3);
    QVERIFY(Rows(files)[0].endsWith("|move|done"));
  }

  // Files that cannot come back are named in the end message, as the alphabetical job names the files it did
  // not move.
  void namesTheFilesThatCouldNotComeBack() {
    const QString folder = temp_.filePath("blocked");
    SortedFolder(folder, {"Zelda (E).nes", "Mario (U).nes"});
    Touch(folder + "/Mario (U).nes", "another");
    HistoryForm form({Place()});
    form.show();
    ScriptedMessageBoxes boxes;
    boxes.QueueAnswer(MessageAnswer::kYes);
    form.findChild<QPushButton*>("Command1")->click();
    QCOMPARE(boxes.shown()[0].text.section(": ", -1), QStringLiteral("1 files go back. Continue ?"));
    QCOMPARE(boxes.shown()[1].text,
             QStringLiteral("1 files came back.\n1 files could not come back: Mario (U).nes (its place is taken)"));
  }

  void anEmptyHistoryHasNothingToUndo() {
    QTemporaryDir empty;
    HistoryForm form({HistoryPlace::In(empty.filePath("none").toStdString())});
    form.show();
    QCOMPARE(form.findChild<QTreeWidget*>("List1")->topLevelItemCount(), 0);
    QVERIFY(!form.findChild<QPushButton*>("Command1")->isEnabled());
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::HistoryFormTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "history_form_tests.moc"
