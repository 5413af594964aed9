#include "ui/kit/folder_model.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>
#include <algorithm>

#include "platform/listing.h"
#include "platform/sub_folders.h"
#include "ui/kit/form_layout.h"

namespace varnel {

struct FolderModel::Node {
  std::string name;  // the top row: the root's path
  Node* parent = nullptr;
  int row = 0;
  bool read = false;  // its sub-folders were listed
  std::vector<std::unique_ptr<Node>> children;

  void Renumber(std::size_t from) {
    for (std::size_t i = from; i < children.size(); ++i) children[i]->row = static_cast<int>(i);
  }
  std::string Path() const {
    if (parent == nullptr) return name;
    std::vector<std::string> names;
    const Node* node = this;
    for (; node->parent != nullptr; node = node->parent) names.push_back(node->name);
    std::reverse(names.begin(), names.end());
    return PathBelow(node->name, names);
  }
  // Where the sub-folder `name` is, or would be, among the children.
  std::vector<std::unique_ptr<Node>>::iterator PlaceOf(const std::string& name) {
    return std::lower_bound(children.begin(), children.end(), name,
                            [](const auto& child, const std::string& n) { return ListedNameLess(child->name, n); });
  }
  Node* Child(const std::string& name) {
    const auto found = PlaceOf(name);
    return found != children.end() && (*found)->name == name ? found->get() : nullptr;
  }
};

FolderModel::FolderModel(QObject* parent) : QAbstractItemModel(parent) {}

FolderModel::~FolderModel() = default;

void FolderModel::SetRoot(const std::string& root) {
  beginResetModel();
  root_ = std::make_unique<Node>();
  root_->name = root;
  endResetModel();
}

const std::string& FolderModel::root() const {
  static const std::string kNone;
  return root_ ? root_->name : kNone;
}

FolderModel::Node* FolderModel::NodeOf(const QModelIndex& index) const {
  return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex FolderModel::IndexOfNode(Node* node) const {
  return node == nullptr ? QModelIndex() : createIndex(node->row, 0, node);
}

std::string FolderModel::PathOf(const QModelIndex& index) const {
  const Node* node = NodeOf(index);
  return node == nullptr ? std::string() : node->Path();
}

FolderModel::Node* FolderModel::FindNode(const std::string& path) const {
  if (!root_) return nullptr;
  const std::optional<std::vector<std::string>> names = PathPartsBelow(root_->name, path);
  if (!names) return nullptr;
  Node* node = root_.get();
  for (const std::string& name : *names) {
    node = node->Child(name);
    if (node == nullptr) return nullptr;
  }
  return node;
}

QModelIndex FolderModel::IndexOf(const std::string& path) {
  if (!root_) return {};
  const std::optional<std::vector<std::string>> names = PathPartsBelow(root_->name, path);
  if (!names) return {};
  Node* node = root_.get();
  for (const std::string& name : *names) {
    if (!node->read) Read(node);
    node = node->Child(name);
    if (node == nullptr) return {};
  }
  return IndexOfNode(node);
}

void FolderModel::Read(Node* node) {
  std::vector<std::string> names;
  ListSubFolders(node->Path(), &names).IgnoreError();  // an unreadable folder shows no sub-folder
  node->read = true;
  if (names.empty()) {
    // The view asked whether it has sub-folders before they were read: its arrow goes.
    const QModelIndex index = IndexOfNode(node);
    emit dataChanged(index, index);
    return;
  }
  changing_ = true;
  beginInsertRows(IndexOfNode(node), 0, static_cast<int>(names.size()) - 1);
  node->children.reserve(names.size());
  for (std::string& name : names) {
    auto child = std::make_unique<Node>();
    child->name = std::move(name);
    child->parent = node;
    node->children.push_back(std::move(child));
  }
  node->Renumber(0);
  endInsertRows();
  changing_ = false;
}

void FolderModel::Refresh(const std::string& path) {
  Node* node = FindNode(path);
  if (node == nullptr || !node->read) return;
  std::vector<std::string> names;
  ListSubFolders(node->Path(), &names).IgnoreError();  // a folder no longer readable loses its sub-folders
  const QModelIndex parent = IndexOfNode(node);
  changing_ = true;
  // Rows whose folder is gone go, last first.
  for (std::size_t i = node->children.size(); i-- > 0;) {
    if (std::binary_search(names.begin(), names.end(), node->children[i]->name, ListedNameLess)) continue;
    beginRemoveRows(parent, static_cast<int>(i), static_cast<int>(i));
    node->children.erase(node->children.begin() + static_cast<std::ptrdiff_t>(i));
    node->Renumber(i);
    endRemoveRows();
  }
  // New folders come in at their place.
  for (std::string& name : names) {
    if (node->Child(name) != nullptr) continue;
    const auto place = node->PlaceOf(name);
    const auto row = static_cast<int>(place - node->children.begin());
    beginInsertRows(parent, row, row);
    auto child = std::make_unique<Node>();
    child->name = std::move(name);
    child->parent = node;
    node->children.insert(place, std::move(child));
    node->Renumber(static_cast<std::size_t>(row));
    endInsertRows();
  }
  changing_ = false;
}

std::vector<std::string> FolderModel::ReadFolders() const {
  std::vector<std::string> folders;
  std::vector<const Node*> pending;
  if (root_) pending.push_back(root_.get());
  while (!pending.empty()) {
    const Node* node = pending.back();
    pending.pop_back();
    if (!node->read) continue;
    folders.push_back(node->Path());
    for (const auto& child : node->children) pending.push_back(child.get());
  }
  return folders;
}

QModelIndex FolderModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0) return {};
  if (!parent.isValid()) return row == 0 && root_ ? IndexOfNode(root_.get()) : QModelIndex();
  const Node* node = NodeOf(parent);
  if (static_cast<std::size_t>(row) >= node->children.size()) return {};
  return IndexOfNode(node->children[static_cast<std::size_t>(row)].get());
}

QModelIndex FolderModel::parent(const QModelIndex& index) const {
  const Node* node = NodeOf(index);
  return node == nullptr ? QModelIndex() : IndexOfNode(node->parent);
}

int FolderModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return root_ ? 1 : 0;
  if (parent.column() != 0) return 0;
  return static_cast<int>(NodeOf(parent)->children.size());
}

int FolderModel::columnCount(const QModelIndex&) const { return 1; }

bool FolderModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid()) return root_ != nullptr;
  const Node* node = NodeOf(parent);
  return !node->read || !node->children.empty();
}

bool FolderModel::canFetchMore(const QModelIndex& parent) const {
  const Node* node = NodeOf(parent);
  return node != nullptr && !node->read;
}

void FolderModel::fetchMore(const QModelIndex& parent) {
  if (Node* node = NodeOf(parent); node != nullptr && !node->read) Read(node);
}

QVariant FolderModel::data(const QModelIndex& index, int role) const {
  const Node* node = NodeOf(index);
  if (node == nullptr) return {};
  switch (role) {
    case Qt::DisplayRole:
      return PathText(node->name);
    case Qt::ToolTipRole:
      return PathText(node->Path());
    case Qt::DecorationRole:
      return QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    default:
      return {};
  }
}

Qt::ItemFlags FolderModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace varnel
