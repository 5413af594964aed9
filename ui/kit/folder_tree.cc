#include "ui/kit/folder_tree.h"

#include <QDir>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStorageInfo>
#include <QTimer>
#include <QToolTip>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/file_ops.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_list_texts.h"
#include "ui/kit/folder_model.h"
#include "ui/kit/form_layout.h"

namespace varnel {

namespace {

// Changes in watched folders come in bursts: the tree reads them again once the burst is over.
constexpr int kRefreshDelayMs = 50;
// How often a shown folder list looks at its chosen folder, which may go without a watched folder changing
// (a folder above it renamed).
constexpr int kCheckIntervalMs = 1000;

QString Utf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// The root of the volume that holds `path`, when no drive list says it.
QString VolumeRootOf(const QString& path) {
  const QStorageInfo volume(path);
  return QDir::toNativeSeparators(volume.isValid() ? volume.rootPath() : QDir::rootPath());
}

// The folder that holds `folder`; empty for a root.
std::string ParentOf(const std::string& folder) {
  std::size_t end = folder.size();
  while (end > 0 && IsPathSeparator(folder[end - 1])) --end;
  while (end > 0 && !IsPathSeparator(folder[end - 1])) --end;
  return end == 0 ? std::string() : folder.substr(0, end);
}

}  // namespace

FolderTree::FolderTree(QWidget* parent)
    : QWidget(parent),
      model_(new FolderModel(this)),
      line_(new QLineEdit(this)),
      view_(new QTreeView(this)),
      watcher_(new QFileSystemWatcher(this)),
      refresh_timer_(new QTimer(this)),
      check_timer_(new QTimer(this)) {
  gone_text_ = Utf8(kEnglishFolderListTexts.gone);
  no_such_folder_ = Utf8(kEnglishFolderListTexts.no_such_folder);

  line_->setObjectName(QStringLiteral("PathLine"));
  view_->setObjectName(QStringLiteral("Folders"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(line_);
  layout->addWidget(view_, 1);

  view_->setModel(model_);
  view_->setHeaderHidden(true);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setUniformRowHeights(true);
  view_->setTextElideMode(Qt::ElideRight);
  view_->setExpandsOnDoubleClick(true);
  setFocusProxy(view_);
  // A row becomes current by the user's hand, or by the model when it removes the current row: only the user
  // chooses a folder.
  connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
    if (!syncing_ && !model_->changing() && current.isValid()) ChooseRow(current);
  });
  connect(view_, &QTreeView::expanded, this, &FolderTree::Watch);
  connect(line_, &QLineEdit::editingFinished, this, &FolderTree::GoToTypedPath);
  line_->installEventFilter(this);
  view_->installEventFilter(this);

  refresh_timer_->setSingleShot(true);
  refresh_timer_->setInterval(kRefreshDelayMs);
  connect(refresh_timer_, &QTimer::timeout, this, &FolderTree::RefreshChanged);
  connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this](const QString& path) {
    const auto known = watched_.find(path);
    changed_.insert(known != watched_.end() ? known->second : PathBytes(path));
    // A folder deleted, moved or unmounted is no longer watched: Watch() adds it again when it is wanted.
    if (known != watched_.end() && !watcher_->directories().contains(path)) watched_.erase(known);
    if (!refresh_timer_->isActive()) refresh_timer_->start();
  });
  check_timer_->setInterval(kCheckIntervalMs);
  connect(check_timer_, &QTimer::timeout, this, &FolderTree::CheckFolder);
}

FolderTree::~FolderTree() = default;

QString FolderTree::Path() const { return PathText(folder_); }

bool FolderTree::SetPath(const QString& path) {
  const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
  if (clean.isEmpty() || !QDir::isAbsolutePath(clean)) return false;
  return SetFolder(PathBytes(QDir::toNativeSeparators(clean)));
}

bool FolderTree::SetFolder(const std::string& folder) {
  FolderIdentity identity;
  if (folder.empty() || !IdentifyFolder(folder, &identity).ok()) return false;
  const QString shown = PathText(folder);
  const std::string root = PathBytes(drives_ != nullptr ? drives_->ShowVolumeOf(shown) : VolumeRootOf(shown));
  if (root != model_->root()) model_->SetRoot(root);
  Take(folder, identity);
  ShowInTree(true);
  Watch();
  emit PathChanged(Path());
  return true;
}

bool FolderTree::CheckFolder() {
  if (folder_.empty()) return false;
  FolderIdentity now;
  if (IdentifyFolder(folder_, &now).ok() && now == identity_) return true;
  // The tree may still show it: the folder that held it is read again.
  changed_.insert(ParentOf(folder_));
  if (!refresh_timer_->isActive()) refresh_timer_->start();
  Drop();
  return false;
}

void FolderTree::SetTexts(const QString& gone, const QString& no_such_folder) {
  const bool tip_was_no_such_folder = line_->toolTip() == no_such_folder_;
  gone_text_ = gone;
  no_such_folder_ = no_such_folder;
  if (!gone_path_.isEmpty()) ShowInLine();
  if (tip_was_no_such_folder) line_->setToolTip(no_such_folder_);
}

void FolderTree::ChooseRow(const QModelIndex& index) {
  const std::string folder = model_->PathOf(index);
  FolderIdentity identity;
  if (IdentifyFolder(folder, &identity).ok()) {
    Take(folder, identity);
    Watch();
    emit PathChanged(Path());
    return;
  }
  // The row is out of date: the folder the user chose is gone already.
  folder_ = folder;
  CheckFolder();
}

void FolderTree::Take(const std::string& folder, const FolderIdentity& identity) {
  folder_ = folder;
  identity_ = identity;
  gone_path_.clear();
  ShowInLine();
}

void FolderTree::Drop() {
  gone_path_ = Path();
  folder_.clear();
  identity_ = FolderIdentity();
  ShowInTree(false);
  ShowInLine();
  Watch();
  emit PathChanged(QString());
}

void FolderTree::ShowInTree(bool scroll) {
  syncing_ = true;
  const QModelIndex index = folder_.empty() ? QModelIndex() : model_->IndexOf(folder_);
  view_->expand(model_->index(0, 0));
  for (QModelIndex above = index.parent(); above.isValid(); above = above.parent()) view_->expand(above);
  if (index.isValid()) {
    view_->setCurrentIndex(index);
    if (scroll) view_->scrollTo(index);
  } else {
    view_->selectionModel()->clear();  // a folder that is not chosen is never shown as chosen
  }
  syncing_ = false;
}

void FolderTree::ShowInLine() {
  const QString text = gone_path_.isEmpty() ? Path() : gone_text_.arg(gone_path_);
  line_->setToolTip(text);
  if (line_->hasFocus() && line_->isModified()) return;  // the user is typing there
  line_->setText(text);
}

void FolderTree::GoToTypedPath() {
  const QString typed = line_->text();
  if (!gone_path_.isEmpty() && typed == gone_text_.arg(gone_path_)) return;
  if (!folder_.empty() && typed == Path()) {
    line_->setToolTip(typed);
    return;
  }
  line_->setModified(false);  // the line shows the folder taken
  for (const QString& candidate : TypedPathCandidates(typed)) {
    if (SetPath(candidate)) return;
  }
  line_->setToolTip(no_such_folder_);
  if (line_->isVisible()) QToolTip::showText(line_->mapToGlobal(QPoint(0, line_->height())), no_such_folder_, line_);
}

void FolderTree::Watch() {
  std::map<QString, std::string> wanted;
  for (std::string& folder : model_->ReadFolders()) wanted.emplace(PathText(folder), std::move(folder));
  if (!folder_.empty()) wanted.emplace(Path(), folder_);
  QStringList gone, added;
  for (const auto& [path, _] : watched_) {
    if (!wanted.contains(path)) gone << path;
  }
  for (const auto& [path, _] : wanted) {
    if (!watched_.contains(path)) added << path;
  }
  if (!gone.isEmpty()) watcher_->removePaths(gone);
  if (!added.isEmpty()) watcher_->addPaths(added);  // a folder that cannot be watched is still looked at
  watched_ = std::move(wanted);
}

void FolderTree::RefreshChanged() {
  const std::set<std::string> changed = std::move(changed_);
  changed_.clear();
  for (const std::string& folder : changed) model_->Refresh(folder);
  // Rows removed around the chosen folder may have moved the current row.
  if (CheckFolder()) ShowInTree(false);
  Watch();
}

void FolderTree::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  check_timer_->start();
  if (CheckFolder() && view_->currentIndex().isValid()) {
    view_->scrollTo(view_->currentIndex(), QAbstractItemView::PositionAtCenter);
  }
}

void FolderTree::hideEvent(QHideEvent* event) {
  check_timer_->stop();
  QWidget::hideEvent(event);
}

void FolderTree::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) CheckFolder();
  QWidget::changeEvent(event);
}

bool FolderTree::eventFilter(QObject* watched, QEvent* event) {
  // Typing over the gone message replaces it.
  if (watched == line_ && event->type() == QEvent::FocusIn && !gone_path_.isEmpty()) {
    QTimer::singleShot(0, line_, &QLineEdit::selectAll);
  }
  // A tree view opens the current folder on "+" and every folder below it on "*", which from a volume's root
  // would read the whole volume: here both only look for a row, as other characters do.
  if (watched == view_ && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Plus || key->key() == Qt::Key_Asterisk) {
      view_->keyboardSearch(key->text());
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

QStringList TypedPathCandidates(const QString& typed) {
  QStringList candidates;
  for (QString path : {typed, typed.trimmed()}) {
    if (path.startsWith(QLatin1String("file:"))) {
      const QUrl url(path);
      if (url.isLocalFile()) path = url.toLocalFile();
    }
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")) || path.startsWith(QLatin1String("~\\"))) {
      path = QDir::homePath() + path.mid(1);
    }
    if (QDir::isAbsolutePath(QDir::fromNativeSeparators(path)) && !candidates.contains(path)) candidates << path;
  }
  return candidates;
}

}  // namespace varnel
