#include "ui/folder_tree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

namespace varnel {

// A file-system model whose only header is the selected folder's path.
class FolderModel : public QFileSystemModel {
 public:
  explicit FolderModel(QObject* parent) : QFileSystemModel(parent) {}

  void SetHeaderText(const QString& text) {
    header_text_ = text;
    emit headerDataChanged(Qt::Horizontal, 0, 0);
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (section == 0 && orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
      return header_text_;
    }
    return QFileSystemModel::headerData(section, orientation, role);
  }

 private:
  QString header_text_;
};

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent), model_(new FolderModel(this)) {
  model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
  model_->setReadOnly(true);
  setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) hideColumn(column);
  header()->setStretchLastSection(true);
  header()->setSectionsClickable(false);
  header()->setTextElideMode(Qt::ElideLeft);
  setTextElideMode(Qt::ElideRight);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setUniformRowHeights(true);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (setting_path_ || !current.isValid()) return;
    expand(current);
    TakePath(model_->filePath(current));
  });
  connect(this, &QTreeView::clicked, this, [this](const QModelIndex& index) { expand(index); });
}

void FolderTree::SetRoot(const QString& root) {
  const QString path = QDir::fromNativeSeparators(root);
  model_->setRootPath(path);
  setRootIndex(model_->index(path));
  SetPath(root);
}

void FolderTree::SetPath(const QString& path) {
  const QModelIndex index = model_->index(QDir::fromNativeSeparators(path));
  setting_path_ = true;
  if (index.isValid() && index != rootIndex()) {
    setCurrentIndex(index);
    scrollTo(index);
    expand(index);
  } else {
    setCurrentIndex(QModelIndex());
  }
  setting_path_ = false;
  TakePath(path);
}

void FolderTree::TakePath(const QString& path) {
  path_ = QDir::toNativeSeparators(path);
  model_->SetHeaderText(path_);
  emit PathChanged(path_);
}

}  // namespace varnel
