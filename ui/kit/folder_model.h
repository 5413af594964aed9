#ifndef VARNEL_UI_KIT_FOLDER_MODEL_H_
#define VARNEL_UI_KIT_FOLDER_MODEL_H_

#include <QAbstractItemModel>
#include <memory>
#include <string>
#include <vector>

namespace varnel {

// The folders of one volume for a folder list: a single top row, the volume's root, and below each folder its
// sub-folders as ListSubFolders gives them, read when the folder is first opened. Nothing is kept of a folder's
// files. Folders are named by their bytes (UTF-8 on Windows); rows show the names decoded.
class FolderModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit FolderModel(QObject* parent = nullptr);
  ~FolderModel() override;

  // Shows the folders of the volume whose root is `root`.
  void SetRoot(const std::string& root);
  const std::string& root() const;

  // The folder of a row.
  std::string PathOf(const QModelIndex& index) const;
  // The row of the folder `path`, reading the folders above it as needed; invalid when `path` is not below the
  // root or one of the folders on the way is not listed (a hidden folder).
  QModelIndex IndexOf(const std::string& path);
  // Reads again the sub-folders of `path` when they were read: rows of folders that are gone are removed, new
  // ones inserted, the others kept as they are (and their own sub-folders with them).
  void Refresh(const std::string& path);
  // The folders whose sub-folders were read, which a folder list watches for changes.
  std::vector<std::string> ReadFolders() const;

  // True while rows are being inserted or removed by the model itself; a view's current row that moves then
  // was not moved by the user.
  bool changing() const { return changing_; }

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  bool canFetchMore(const QModelIndex& parent) const override;
  void fetchMore(const QModelIndex& parent) override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  struct Node;

  Node* NodeOf(const QModelIndex& index) const;
  QModelIndex IndexOfNode(Node* node) const;
  Node* FindNode(const std::string& path) const;
  void Read(Node* node);

  std::unique_ptr<Node> root_;
  bool changing_ = false;
};

}  // namespace varnel

#endif  // VARNEL_UI_KIT_FOLDER_MODEL_H_
