// The folder list of the job windows (path line, folder tree, drive list) over real temporary folders.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/private_mounts.h"
#include "tests/support/qt_files.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/varnel_application.h"

namespace varnel {
namespace {

bool g_private_mounts = false;

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

void MakeFolders(const QString& root, const QStringList& folders) {
  for (const QString& folder : folders) QVERIFY(QDir().mkpath(root + '/' + folder));
}

// A window holding a drive list and a folder list that follow each other, as the job windows have them.
struct FolderList {
  QWidget window;
  DriveList* drives = new DriveList(&window);
  FolderTree* tree = new FolderTree(&window);
  QLineEdit* line = tree->findChild<QLineEdit*>(QStringLiteral("PathLine"));
  QTreeView* view = tree->findChild<QTreeView*>(QStringLiteral("Folders"));

  explicit FolderList(const QString& start) {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(drives);
    layout->addWidget(tree);
    window.resize(400, 500);
    LinkDriveToFolder(drives, tree);
    tree->SetPath(start);
  }
  bool Activate() {
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
  }
  // The row of the folder `path`; invalid when it is not in sight.
  QModelIndex Row(const QString& path) const {
    for (QModelIndex row = view->model()->index(0, 0); row.isValid(); row = view->indexBelow(row)) {
      if (row.data(Qt::ToolTipRole).toString() == Native(path)) return row;
    }
    return {};
  }
  // The rows in sight below the folder `path`, each indented by one blank per level below it.
  QStringList RowsBelow(const QString& path) const {
    const QModelIndex top = Row(path);
    QStringList rows;
    for (QModelIndex row = view->indexBelow(top); row.isValid(); row = view->indexBelow(row)) {
      int depth = 0;
      QModelIndex up = row.parent();
      for (; up.isValid() && up != top; up = up.parent()) ++depth;
      if (!up.isValid()) break;
      rows << QString(depth, ' ') + row.data().toString();
    }
    return rows;
  }
  // The chosen folder as the tree shows it: its path when it is the current, selected row.
  QString Marked() const {
    const QModelIndex current = view->currentIndex();
    if (!current.isValid() || !view->selectionModel()->isSelected(current)) return {};
    return current.data(Qt::ToolTipRole).toString();
  }
  void Type(const QString& text) {
    line->setFocus();
    line->clear();
    QTest::keyClicks(line, text);
  }
  void Click(const QString& path, bool on_arrow = false) {
    const QRect rect = view->visualRect(Row(path));
    const QPoint at = on_arrow ? QPoint(rect.left() - view->indentation() / 2, rect.center().y()) : rect.center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
  }
};

}  // namespace

class FolderListTest : public QObject {
  Q_OBJECT

  QTemporaryDir temp_;
  QString Root() const { return temp_.filePath(QStringLiteral("roms")); }

 private slots:
  void init() {
    QDir(Root()).removeRecursively();
    QVERIFY(QDir().mkpath(Root()));
  }

  // What the line takes: a path typed or pasted, Return or leaving the line going there; one that names no
  // folder is not taken, the line keeps it and says why in its tip.
  void pathLineGoesWhereTypedAndKeepsWhatIsNoFolder() {
    MakeFolders(Root(), {"a/a1", "b", "c d"});
    WriteBytes(Root() + "/file.nes");
    FolderList list(Root());
    QVERIFY(list.Activate());
    QCOMPARE(list.line->text(), Native(Root()));
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", Root().toUtf8());
    struct Case {
      QString typed;
      QString chosen;  // empty: not taken
    };
    const Case cases[] = {
        {Root() + "/a/a1", Root() + "/a/a1"},
        {Root() + "/zzz", {}},
        {Root() + "/file.nes", {}},
        {"b", {}},  // relative
        {"", {}},
        {"  " + Native(Root() + "/b") + " \t", Root() + "/b"},
        {QUrl::fromLocalFile(Root() + "/c d").toString(), Root() + "/c d"},
        {Root() + "/a/./a1/../", Root() + "/a"},
        {"~/b", Root() + "/b"},
    };
    QString chosen = Root();
    for (const Case& test : cases) {
      list.Type(test.typed);
      QTest::keyClick(list.line, Qt::Key_Return);
      if (!test.chosen.isEmpty()) chosen = test.chosen;
      const QString line = test.chosen.isEmpty() ? test.typed : Native(chosen);
      const QString tip = test.chosen.isEmpty() ? QStringLiteral("No such folder.") : Native(chosen);
      QCOMPARE(list.tree->Path() + '|' + list.Marked() + '|' + list.line->text() + '|' + list.line->toolTip(),
               Native(chosen) + '|' + Native(chosen) + '|' + line + '|' + tip);
    }
    qputenv("HOME", home);

    list.Type(Root() + "/a/a1");  // leaving the line goes there too
    list.view->setFocus();
    QCOMPARE(list.tree->Path(), Native(Root() + "/a/a1"));
    list.Click(Root() + "/a");  // the tree leads the line
    QCOMPARE(list.line->text(), Native(Root() + "/a"));
  }

  // Up and Down go from row to row in sight and never open a folder; Right, a double click and a click on the
  // arrow open one, and only a click on its name chooses it. The tree shows folders, never files.
  void keysAndClicks() {
    MakeFolders(Root(), {"a/a1/a11", "b/b1", "c/c1"});
    for (int i = 0; i < 300; ++i) WriteBytes(Root() + QStringLiteral("/a/game %1.nes").arg(i));
    FolderList list(Root());
    QVERIFY(list.Activate());
    list.view->setFocus();
    QTest::keyClick(list.view, Qt::Key_Right);
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", "b", "c"}));
    QTest::keyClick(list.view, Qt::Key_Down);
    QTest::keyClick(list.view, Qt::Key_Down);
    QTest::keyClick(list.view, Qt::Key_Down);
    QCOMPARE(list.tree->Path(), Native(Root() + "/c"));
    QTest::keyClick(list.view, Qt::Key_Plus);
    QTest::keyClick(list.view, Qt::Key_Asterisk);  // would open every folder below
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", "b", "c"}));
    QTest::keyClick(list.view, Qt::Key_Up);
    QTest::keyClick(list.view, Qt::Key_Up);
    QTest::keyClick(list.view, Qt::Key_Right);
    QCOMPARE(list.tree->Path(), Native(Root() + "/a"));
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", "c"}));  // none of the 300 files
    QTest::keyClick(list.view, Qt::Key_Down);
    QCOMPARE(list.tree->Path() + '|' + list.Marked(), Native(Root() + "/a/a1") + '|' + Native(Root() + "/a/a1"));
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", "c"}));

    list.Click(Root() + "/b");
    QCOMPARE(list.tree->Path(), Native(Root() + "/b"));
    QVERIFY(!list.view->isExpanded(list.Row(Root() + "/b")));
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", "c"}));
    const QPoint c = list.view->visualRect(list.Row(Root() + "/c")).center();
    QTest::mouseClick(list.view->viewport(), Qt::LeftButton, {}, c);  // a double click: a click, then the second
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", "c"}));
    QTest::mouseDClick(list.view->viewport(), Qt::LeftButton, {}, c);
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", "c", " c1"}));
    QCOMPARE(list.tree->Path(), Native(Root() + "/c"));
    list.Click(Root() + "/b", true);
    QCOMPARE(list.RowsBelow(Root()), QStringList({"a", " a1", "b", " b1", "c", " c1"}));
    QCOMPARE(list.tree->Path() + '|' + list.Marked(), Native(Root() + "/c") + '|' + Native(Root() + "/c"));
  }

  // Folders made or removed elsewhere show in the tree; the chosen folder stays chosen and marked.
  void treeFollowsFoldersChangedElsewhere() {
    MakeFolders(Root(), {"a", "b", "c"});
    FolderList list(Root() + "/b");
    QVERIFY(list.Activate());
    MakeFolders(Root(), {"new"});
    QTRY_VERIFY(list.Row(Root() + "/new").isValid());
    QVERIFY(QDir(Root()).rmdir(QStringLiteral("a")));
    QTRY_VERIFY(!list.Row(Root() + "/a").isValid());
    QCOMPARE(list.tree->Path() + '|' + list.Marked(), Native(Root() + "/b") + '|' + Native(Root() + "/b"));
  }

#ifndef _WIN32
  // A folder's name is bytes: one that is not UTF-8 is chosen, and given back, exactly.
  void aFolderNameThatIsNotUtf8() {
    const std::string folder = PathBytes(Root()) + "/\xff\xfe-roms";
    QCOMPARE(::mkdir(folder.c_str(), 0755), 0);
    {
      FolderList list(Root());
      list.view->setFocus();
      QTest::keyClick(list.view, Qt::Key_Right);
      QTest::keyClick(list.view, Qt::Key_Down);
      QCOMPARE(list.tree->Folder(), folder);
      QVERIFY(list.tree->SetPath(Root()) && list.tree->SetFolder(folder));
      QCOMPARE(list.tree->Folder(), folder);
    }
    QCOMPARE(::rmdir(folder.c_str()), 0);  // QDir cannot name it
  }
#endif

  // Each opening of the drive list reads the volumes again: one mounted since shows, one unmounted goes, and
  // an unmounted volume that was chosen is chosen no more.
  void driveListIsReadAgainWhenOpened() {
    if (!g_private_mounts) QSKIP("mounting needs root and a mount namespace of the test's own");
    QTemporaryDir source(QStringLiteral(VARNEL_TEST_BINARY_DIR "/volume-XXXXXX"));
    QTemporaryDir point(QStringLiteral(VARNEL_TEST_BINARY_DIR "/mount-point-XXXXXX"));
    DriveList drives;
    const auto listed = [&drives, &point] {
      drives.showPopup();
      drives.hidePopup();
      return drives.findData(Native(point.path())) >= 0;
    };
    QVERIFY(!listed());
    QVERIFY(MountBind(source.path(), point.path()));
    QVERIFY2(listed(), "a volume mounted while the window is open");
    drives.setCurrentIndex(drives.findData(Native(point.path())));
    QVERIFY(Unmount(point.path()));
    QVERIFY(!listed());
    QCOMPARE(drives.Drive(), QString());
  }
};

}  // namespace varnel

int main(int argc, char** argv) {
  varnel::g_private_mounts = varnel::EnterPrivateMountNamespace();  // before any thread starts
  varnel::VarnelApplication app(argc, argv);
  app.setAttribute(Qt::AA_Use96Dpi, true);
  varnel::FolderListTest test;
  return QTest::qExec(&test, argc, argv);
}
#include "folder_list_tests.moc"
