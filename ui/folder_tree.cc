#include "ui/folder_tree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QScrollBar>

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
  // The model reads and sorts folders in the background: keep the folder chosen by SetPath() in sight until
  // the user takes the tree in hand.
  const auto keep_in_sight = [this] {
    if (scroll_pending_ && currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
  };
  connect(model_, &QFileSystemModel::directoryLoaded, this, keep_in_sight);
  connect(model_, &QAbstractItemModel::layoutChanged, this, keep_in_sight);
  connect(model_, &QAbstractItemModel::rowsInserted, this, keep_in_sight);
  connect(verticalScrollBar(), &QScrollBar::sliderPressed, this, [this] { scroll_pending_ = false; });
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
    scroll_pending_ = true;
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

namespace varnel {

void FolderTree::showEvent(QShowEvent* event) {
  QTreeView::showEvent(event);
  if (scroll_pending_ && currentIndex().isValid()) scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
}

void FolderTree::mousePressEvent(QMouseEvent* event) {
  scroll_pending_ = false;
  QTreeView::mousePressEvent(event);
}

void FolderTree::wheelEvent(QWheelEvent* event) {
  scroll_pending_ = false;
  QTreeView::wheelEvent(event);
}

void FolderTree::keyPressEvent(QKeyEvent* event) {
  scroll_pending_ = false;
  QTreeView::keyPressEvent(event);
}

}  // namespace varnel
