#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "engine/cleaning_run.h"
#include "settings/form1.h"
#include "settings/form1_values.h"
#include "settings/preview_form.h"
#include "settings/preview_model.h"
#include "settings/preview_text.h"
#include "tests/support/qt_files.h"
#include "tests/support/recording_hosts.h"
#include "tests/support/shown_boxes.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/message_box.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

template <typename T = QWidget>
T* Find(QWidget* form, const char* name) {
  T* found = form->findChild<T*>(QString::fromLatin1(name));
  if (found == nullptr) qFatal("no control named %s", name);
  return found;
}

// A folder of empty files named after the sample romset's real names.
void FillWithSampleNames(const QString& folder) {
  for (const QByteArray& name : FileBytes(QStringLiteral(VARNEL_TEST_DATA "/sample_romset_names.txt")).split('\n')) {
    if (!name.isEmpty()) WriteBytes(folder + QLatin1Char('/') + QString::fromUtf8(name));
  }
}

// A folder's files and those of its "moved" folder, for one comparison.
QString Snapshot(const QString& folder) {
  return FilesOf(folder).join(QLatin1Char('\n')) + QStringLiteral("\n--- moved\n") +
         FilesOf(folder + QStringLiteral("/moved")).join(QLatin1Char('\n'));
}

// A row's texts, "|" between its columns.
QString RowText(const QAbstractItemModel* model, const QModelIndex& index) {
  QStringList columns;
  for (int column = 0; column < model->columnCount(); ++column)
    columns << model->index(index.row(), column, index.parent()).data().toString();
  return columns.join(QLatin1Char('|'));
}

PreviewModel* ModelOf(QTreeView* list) { return qobject_cast<PreviewModel*>(list->model()); }

// Every file row of the list, as RowText.
QStringList FileRows(QTreeView* list) {
  QStringList rows;
  PreviewModel* model = ModelOf(list);
  for (int row = 0; row < model->rowCount(); ++row) {
    if (!model->IsGameRow(model->index(row, 0))) rows << RowText(model, model->index(row, 0));
  }
  return rows;
}

QStringList GameTitles(QTreeView* list) {
  QStringList titles;
  PreviewModel* model = ModelOf(list);
  for (int row = 0; row < model->rowCount(); ++row) {
    if (model->IsGameRow(model->index(row, 0))) titles << model->index(row, 0).data().toString();
  }
  return titles;
}

}  // namespace

class PreviewFormTest : public QObject {
  Q_OBJECT

 private:
  std::optional<QTemporaryDir> temp_;
  std::optional<ScriptedMessageBoxes> boxes_;
  QString folder_;

  Form1Options Options() {
    return {temp_->filePath(QStringLiteral("config.txt")).toStdString(), folder_, [](const std::string&) {},
            temp_->filePath(QStringLiteral("state.ini")).toStdString()};
  }

  QStringList Shown() { return TakeShown(*boxes_); }

  // Clicks "Preview" and gives the preview it opened.
  static PreviewForm* OpenPreview(Form1& form) {
    Find<QAbstractButton>(&form, "Command5")->click();
    return form.findChild<PreviewForm*>(QStringLiteral("PreviewForm"));
  }

  static bool OutOfDate(PreviewForm* preview) { return Find(preview, "Label3")->isVisible(); }

 private slots:
  void init() {
    temp_.emplace();
    boxes_.emplace();
    folder_ = temp_->filePath(QStringLiteral("roms"));
    FillWithSampleNames(folder_);
  }

  // Every file of the folder once, under its game, with its decision and reason in words; nothing on disk changes.
  void previewShowsEveryFileUnderItsGameTouchingNothing() {
    const QString before = Snapshot(folder_);
    Form1 form(Options());
    form.show();
    PreviewForm* preview = OpenPreview(form);
    QVERIFY(preview != nullptr && preview->isVisible());
    QCOMPARE(Shown(), QStringList());
    QCOMPARE(Snapshot(folder_), before);  // not even a log
    const CleaningPlan& plan = preview->plan();
    QCOMPARE(preview->windowTitle(), QStringLiteral("Preview: ") + QDir::toNativeSeparators(folder_));
    QCOMPARE(Find<QLabel>(preview, "Label1")->text(),
             QString::fromStdString(PreviewCounts(plan, PreviewLanguage::kEnglish)));

    auto* list = Find<QTreeView>(preview, "List1");
    const QStringList rows = FileRows(list);
    QCOMPARE(rows.size(), 287);
    QStringList names;
    for (const QString& row : rows) names << row.section(QLatin1Char('|'), 0, 0);
    names.sort();
    QCOMPARE(names, FilesOf(folder_));
    QCOMPARE(GameTitles(list).size(), static_cast<int>(plan.groups.size()));

    // The keyboard moves through the open games from the first row.
    QVERIFY(QTest::qWaitForWindowActive(preview));
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentIndex(), list->model()->index(0, 0));
    QVERIFY(ModelOf(list)->IsGameRow(list->currentIndex()));
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(RowText(list->model(), list->currentIndex()), rows.first());
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(RowText(list->model(), list->currentIndex()), rows.last());
  }

  // The window's zone mode and lists reach the plan the preview shows: a row of each reading they give, with the
  // dump kept in its stead or the list item that matched.
  void rowsFollowTheWindowsZoneModeAndLists() {
    Form1 form(Options());
    Find<QAbstractButton>(&form, "Option3")->click();
    Find<QAbstractButton>(&form, "TradsYN")->click();
    SetBoxText(Find(&form, "ListeTrads"), "fre,ger");
    SetBoxText(Find(&form, "Conservees"), "duck tales (u)");
    SetBoxText(Find(&form, "ListeZones"), "(e),(u)");
    form.show();
    const QStringList rows = FileRows(Find<QTreeView>(OpenPreview(form), "List1"));
    for (const char* row : {"Castlevania (U) (PRG1) [o1].nes|going|worse zone than Castlevania (E) [!].nes",
                            "10-Yard Fight (J) (PRG0) [!].nes|going|zone not selected",
                            "Castlevania (E) [T+Pol].nes|going|translation not wanted",
                            "Castlevania (E) [T+Fre2_Generation IX].nes|going|translation replaced by Castlevania (U) "
                            "(PRG1) [T+Fre_Akira].nes",
                            "Castlevania (U) (PRG1) [T+Fre_Akira].nes|kept|best translation",
                            "Duck Tales (U) (Prototype).nes|kept|kept by 'duck tales (u)'"}) {
      QVERIFY2(rows.contains(QString::fromUtf8(row)), row);
    }
  }

  // The filter and "only what goes" narrow the rows, the header sorts them; the current file stays current.
  void filterOnlyGoingAndSort() {
    Form1 form(Options());
    form.show();
    PreviewForm* preview = OpenPreview(form);
    auto* list = Find<QTreeView>(preview, "List1");
    const CleaningPlan& plan = preview->plan();
    int castlevanias = 0, going = 0;
    for (std::size_t i = 0; i < plan.listing.size(); ++i) {
      if (QString::fromStdString(plan.listing[i]).contains(QStringLiteral("castlevania"), Qt::CaseInsensitive)) {
        ++castlevanias;
        going += plan.files[i].verdict == FileVerdict::kGoing ? 1 : 0;
      }
    }
    QVERIFY(castlevanias > 0 && going > 0 && going < castlevanias);

    QTest::keyClicks(Find(preview, "Text1"), QStringLiteral("CASTLEVANIA"));
    QStringList rows = FileRows(list);
    QCOMPARE(rows.size(), castlevanias);
    for (const QString& row : rows) QVERIFY(row.section(QLatin1Char('|'), 0, 0).contains(QStringLiteral("astlevania")));
    const QModelIndex first_going = ModelOf(list)->IndexOfListed(static_cast<std::uint32_t>(
        std::find_if(plan.files.begin(), plan.files.end(),
                     [&](const PlannedFile& file) {
                       return file.verdict == FileVerdict::kGoing &&
                              QString::fromStdString(plan.listing[&file - plan.files.data()])
                                  .contains(QStringLiteral("castlevania"), Qt::CaseInsensitive);
                     }) -
        plan.files.begin()));
    list->setCurrentIndex(first_going);
    const QString current = RowText(list->model(), list->currentIndex());
    Find<QCheckBox>(preview, "Check1")->click();
    rows = FileRows(list);
    QCOMPARE(rows.size(), going);
    for (const QString& row : rows) QCOMPARE(row.section(QLatin1Char('|'), 1, 1), QStringLiteral("going"));
    QCOMPARE(RowText(list->model(), list->currentIndex()), current);  // the current file stays current

    Find<QCheckBox>(preview, "Check1")->click();
    Find<QLineEdit>(preview, "Text1")->clear();
    QCOMPARE(FileRows(list).size(), 287);
    QHeaderView* header = list->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(0) + 5, header->height() / 2));
    QStringList titles = GameTitles(list), sorted = titles;
    std::sort(sorted.begin(), sorted.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QCOMPARE(titles, sorted);
    QVERIFY(ModelOf(list)->IsGameRow(list->model()->index(0, 0)) &&
            !ModelOf(list)->IsGameRow(list->model()->index(1, 0)));
  }

  // The plan's own inputs make the preview out of date (Apply disabled until Refresh); Test, Move, Trash and
  // Open logfile do not. Apply is enabled only while Test is unchecked.
  void outOfDateAfterWhatThePlanReads() {
    const QString other = temp_->filePath(QStringLiteral("other"));
    QDir().mkpath(other);
    struct Change {
      const char* what;
      std::function<void(Form1&)> make;
      bool out_of_date;
      bool apply;
    };
    const auto click = [](const char* name) {
      return [name](Form1& form) { Find<QAbstractButton>(&form, name)->click(); };
    };
    const auto type = [](const char* name) {
      return [name](Form1& form) { SetBoxText(Find(&form, name), BoxText(Find(&form, name)) + "x"); };
    };
    const Change changes[] = {
        {"Test", click("Test"), false, false},
        {"Move", click("Moved"), false, true},
        {"Trash", click("Trash"), false, true},
        {"Open logfile", click("LogFile"), false, true},
        {"folder", [&](Form1& form) { Find<FolderTree>(&form, "Dir1")->SetPath(other); }, true, false},
        {"zones", type("ListeZones"), true, false},
        {"kept", type("Conservees"), true, false},
        {"excluded", type("Exclues"), true, false},
        {"translations", type("ListeTrads"), true, false},
        {"translation box", click("TradsYN"), true, false},
        {"zone mode", click("Option4"), true, false},
        {"multi-extension", click("Multiext"), true, false},
    };
    for (const Change& change : changes) {
      Form1 form(Options());
      form.show();
      Find<QAbstractButton>(&form, "Test")->click();  // unchecked
      PreviewForm* preview = OpenPreview(form);
      auto* apply = Find<QAbstractButton>(preview, "Command2");
      QVERIFY(!OutOfDate(preview) && apply->isEnabled());
      change.make(form);
      QVERIFY2(OutOfDate(preview) == change.out_of_date, change.what);
      QVERIFY2(apply->isEnabled() == change.apply, change.what);
      if (!change.out_of_date) continue;
      QCOMPARE(Find<QLabel>(preview, "Label3")->text(),
               QStringLiteral("The settings or the folder changed: refresh the preview."));
      const QString before = Snapshot(folder_);
      apply->click();  // disabled: nothing happens
      QCOMPARE(Snapshot(folder_), before);
      Find<QAbstractButton>(preview, "Command1")->click();
      QVERIFY2(!OutOfDate(preview) && apply->isEnabled(), change.what);
    }
  }

  // Apply disposes of exactly the files the plan shown lets go, by the window's disposal (here Move, checked after
  // the preview), with the run's question, log and summary; then the preview shows the folder as it is.
  void applyCarriesOutTheShownPlan() {
    Form1 form(Options());
    form.show();
    PreviewForm* preview = OpenPreview(form);
    std::set<QString> going;
    for (const PlannedDisposal& disposal : preview->plan().disposals)
      going.insert(QString::fromStdString(std::string(preview->plan().ListedName(disposal))));
    QVERIFY(!going.empty());
    Find<QAbstractButton>(&form, "Test")->click();
    Find<QAbstractButton>(&form, "Moved")->click();
    boxes_->QueueAnswer(MessageAnswer::kYes);
    Find<QAbstractButton>(preview, "Command2")->click();
    const QStringList moved = FilesOf(folder_ + QStringLiteral("/moved"));
    QCOMPARE(std::set<QString>(moved.begin(), moved.end()), going);
    QCOMPARE(FilesOf(folder_).size(), 287 - static_cast<int>(going.size()) + 1);  // and the log
    QCOMPARE(Find<QLabel>(&form, "Label5")->text(), QStringLiteral("Moved files : %1").arg(going.size()));
    QVERIFY(!OutOfDate(preview));
    QVERIFY(preview->plan().listing.size() == static_cast<std::size_t>(FilesOf(folder_).size()));
  }

  // A folder whose names are no longer the plan's is not touched; the preview says it is out of date.
  void applyRefusesAfterTheFolderChanged() {
    Form1 form(Options());
    form.show();
    Find<QAbstractButton>(&form, "Test")->click();
    PreviewForm* preview = OpenPreview(form);
    for (const bool add : {true, false}) {
      const QString name = folder_ + QStringLiteral("/Castlevania (U) (PRG1) [!].nes");
      if (add) {
        WriteBytes(folder_ + QStringLiteral("/New Game (U) [!].nes"));
      } else {
        QVERIFY(QFile::remove(folder_ + QStringLiteral("/New Game (U) [!].nes")) && QFile::remove(name));
        Find<QAbstractButton>(preview, "Command1")->click();  // the plan has the new file: take it away
        WriteBytes(name);
        QVERIFY(QFile::remove(folder_ + QStringLiteral("/Castlevania (E) [!].nes")));
      }
      const QString before = Snapshot(folder_);
      boxes_->QueueAnswer(MessageAnswer::kYes);
      Find<QAbstractButton>(preview, "Command2")->click();
      QCOMPARE(Shown(),
               QStringList{QStringLiteral("[exclamation] The folder changed since the preview; preview it again.")});
      QCOMPARE(Snapshot(folder_), before);
      QVERIFY(OutOfDate(preview) && !Find<QAbstractButton>(preview, "Command2")->isEnabled());
      Find<QAbstractButton>(preview, "Command1")->click();
      QVERIFY(!OutOfDate(preview) && Find<QAbstractButton>(preview, "Command2")->isEnabled());
    }
  }

  // Hidden by Quit, the window closes its preview; a French menu gives a French preview.
  void previewClosesWithTheWindowAndSpeaksTheMenusLanguage() {
    Form1 form(Options());
    form.show();
    QPointer<PreviewForm> preview = OpenPreview(form);
    Find<QAbstractButton>(&form, "Command2")->click();
    QTRY_VERIFY(preview.isNull());

    QWidget menu;  // the menu with French chosen
    menu.setObjectName(QStringLiteral("MainForm"));
    (new QRadioButton(&menu))->setObjectName(QStringLiteral("Option2"));
    form.show();
    preview = OpenPreview(form);
    QCOMPARE(preview->windowTitle(), QString::fromUtf8("Aperçu : ") + QDir::toNativeSeparators(folder_));
    QCOMPARE(Find<QCheckBox>(preview, "Check1")->text(), QString::fromUtf8("N'afficher que les fichiers écartés"));
    QCOMPARE(Find<QTreeView>(preview, "List1")->model()->headerData(1, Qt::Horizontal).toString(),
             QString::fromUtf8("Décision"));
    QVERIFY(Find<QLabel>(preview, "Label1")->text().contains(QString::fromUtf8(" jeux : ")));
    QVERIFY(FileRows(Find<QTreeView>(preview, "List1"))
                .contains(QString::fromUtf8("Castlevania (E) [T+Pol].nes|écarté|traduit, traductions non gardées")));
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  QTemporaryDir state_home;
  qputenv("XDG_STATE_HOME", state_home.path().toLocal8Bit());
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::PreviewFormTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "preview_form_tests.moc"
