#ifndef VARNEL_UI_KIT_FOLDER_TREE_H_
#define VARNEL_UI_KIT_FOLDER_TREE_H_

#include <QString>
#include <QStringList>
#include <QWidget>
#include <map>
#include <set>
#include <string>

#include "platform/sub_folders.h"

class QFileSystemWatcher;
class QLineEdit;
class QModelIndex;
class QTimer;
class QTreeView;

namespace varnel {

class DriveList;
class FolderModel;

// The folder list of a job window (`Dir1`): a path line, where a path can be typed or pasted, above the folder
// tree of one volume (folders only, hidden ones left out). The folder chosen in either is the folder the job
// works on, and the line and the tree show it. It stays chosen until the user chooses another: when it
// disappears (deleted, renamed, unmounted, or another folder took its name) none is chosen and the line says
// so. The tree opens a folder on Right, a double click or a click on its arrow, never on selection (nor on
// "+" or "*"); Up and Down move among the rows in sight. Its children are found by their object names: `PathLine` and
// `Folders`.
class FolderTree : public QWidget {
  Q_OBJECT

 public:
  explicit FolderTree(QWidget* parent = nullptr);
  ~FolderTree() override;

  // The chosen folder as the system names it (bytes; UTF-8 on Windows); empty when none is chosen.
  const std::string& Folder() const { return folder_; }
  // The chosen folder with the system's separators, for the user to read; empty when none is chosen.
  QString Path() const;
  // Chooses the folder at the absolute path `path` and shows it; false, and nothing changes, when no folder is
  // there.
  bool SetPath(const QString& path);
  // The same with the folder's bytes.
  bool SetFolder(const std::string& folder);
  // Looks again at the chosen folder, which is dropped when it is gone or another folder now has its path.
  // True while a folder is chosen.
  bool CheckFolder();

  // Makes the drive list show the volume of each chosen folder; the tree shows that volume's folders.
  void SetDriveList(DriveList* drives) { drives_ = drives; }
  // The texts of the interface language: what the line reads when the chosen folder is gone ("%1" stands for
  // its path), and the line's tip when the path typed names no folder.
  void SetTexts(const QString& gone, const QString& no_such_folder);

 signals:
  // The chosen folder changed; `path` is empty when it was dropped.
  void PathChanged(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ChooseRow(const QModelIndex& index);
  void Take(const std::string& folder, const FolderIdentity& identity);
  void Drop();
  void GoToTypedPath();
  // Makes the chosen folder the tree's current row, its parents open; no row when none is chosen.
  void ShowInTree(bool scroll);
  void ShowInLine();
  void Watch();
  void RefreshChanged();

  FolderModel* model_;
  QLineEdit* line_;  // before the tree, in the order Tab goes
  QTreeView* view_;
  QFileSystemWatcher* watcher_;
  QTimer* refresh_timer_;
  QTimer* check_timer_;
  DriveList* drives_ = nullptr;
  std::map<QString, std::string> watched_;  // the folders watched, by the names the watcher knows them by
  std::set<std::string> changed_;           // folders that changed since the last refresh
  std::string folder_;
  FolderIdentity identity_;
  QString gone_path_;  // the folder dropped last, while the line says it is gone
  QString gone_text_;
  QString no_such_folder_;
  bool syncing_ = false;  // the tree's current row is being set to the chosen folder
};

// The absolute paths a text typed in a path line may mean, in the order they are tried: the text as it is,
// then without the blanks around it; "~" at the start stands for the home folder and a "file:" URL for its
// local path. Relative paths are left out.
QStringList TypedPathCandidates(const QString& typed);

}  // namespace varnel

#endif  // VARNEL_UI_KIT_FOLDER_TREE_H_
