#ifndef VARNEL_UI_FOLDER_TREE_H_
#define VARNEL_UI_FOLDER_TREE_H_

#include <QString>
#include <QTreeView>

namespace varnel {

class FolderModel;

// The folder list of a job window (`Dir1`): the folder tree of one volume, folders only, hidden ones left
// out. The folder selected in the tree is the folder the job works on; its full path is the tree's header,
// so the user always sees which folder "Go" will use. A click selects a folder and opens it.
class FolderTree : public QTreeView {
  Q_OBJECT

 public:
  explicit FolderTree(QWidget* parent = nullptr);

  // The selected folder with the system's separators, unchanged otherwise ("C:\" or "/home/me").
  QString Path() const { return path_; }
  // Shows the tree of the volume whose root is `root` and selects that root.
  void SetRoot(const QString& root);
  // Selects and opens `path`, opening its parents too.
  void SetPath(const QString& path);

 signals:
  void PathChanged(const QString& path);

 protected:
  void showEvent(QShowEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void TakePath(const QString& path);

  FolderModel* model_;
  QString path_;
  bool setting_path_ = false;
  bool scroll_pending_ = false;
};

}  // namespace varnel

#endif  // VARNEL_UI_FOLDER_TREE_H_
