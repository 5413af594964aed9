#include "settings/preview_model.h"

#include <algorithm>

namespace varnel {

namespace {

QString Utf8(std::string_view bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

}  // namespace

PreviewModel::PreviewModel(QObject* parent) : QAbstractItemModel(parent) {}

void PreviewModel::SetPlan(const CleaningPlan* plan, PreviewLanguage language) {
  plan_ = plan;
  const bool relabel = language != language_;
  language_ = language;
  Arrange();
  if (relabel) emit headerDataChanged(Qt::Horizontal, 0, kPreviewColumnCount - 1);
}

void PreviewModel::SetFilter(const QString& filter) {
  const std::string bytes = filter.toStdString();
  if (bytes == view_.filter) return;
  view_.filter = bytes;
  Arrange();
}

void PreviewModel::SetOnlyGoing(bool only_going) {
  if (only_going == view_.only_going) return;
  view_.only_going = only_going;
  Arrange();
}

void PreviewModel::SetLook(const QFont& game_font, int file_indent) {
  game_font_ = game_font;
  file_indent_ = QPixmap(std::max(file_indent, 1), 1);
  file_indent_.fill(Qt::transparent);
}

void PreviewModel::sort(int column, Qt::SortOrder order) {
  view_.sort_column = column;
  view_.descending = order == Qt::DescendingOrder;
  Arrange();
}

void PreviewModel::Arrange() {
  beginResetModel();
  rows_ = plan_ == nullptr ? PreviewRows() : ArrangeRows(*plan_, view_);
  endResetModel();
}

PreviewModel::Place PreviewModel::PlaceOf(int row) const {
  // The last game whose row is not after `row`: game rows grow with the games.
  std::size_t low = 0, high = rows_.games.size();
  while (high - low > 1) {
    const std::size_t middle = low + (high - low) / 2;
    if (GameRow(middle) <= row) {
      low = middle;
    } else {
      high = middle;
    }
  }
  return {low, static_cast<std::int64_t>(row) - GameRow(low) - 1};
}

bool PreviewModel::Holds(const QModelIndex& index) const {
  return index.isValid() && index.model() == this && index.row() < rowCount();
}

bool PreviewModel::IsGameRow(const QModelIndex& index) const { return Holds(index) && PlaceOf(index.row()).file < 0; }

std::uint32_t PreviewModel::ListedIndex(const QModelIndex& index) const {
  if (!Holds(index)) return kNoIndex;
  const Place place = PlaceOf(index.row());
  if (place.file < 0) return kNoIndex;
  return rows_.files[rows_.games[place.game].first + static_cast<std::uint32_t>(place.file)];
}

QModelIndex PreviewModel::IndexOfListed(std::uint32_t listed) const {
  if (plan_ == nullptr || listed >= plan_->files.size()) return {};
  const std::uint32_t group = plan_->files[listed].group;
  for (std::size_t g = 0; g < rows_.games.size(); ++g) {
    const PreviewRows::Game& game = rows_.games[g];
    if (game.group != group) continue;
    const auto begin = rows_.files.begin() + game.first;
    const auto found = std::find(begin, begin + game.count, listed);
    if (found != begin + game.count) return index(GameRow(g) + 1 + static_cast<int>(found - begin), 0);
  }
  return {};
}

QModelIndex PreviewModel::GameIndexOfListed(std::uint32_t listed) const {
  const QModelIndex file = IndexOfListed(listed);
  return file.isValid() ? index(GameRow(PlaceOf(file.row()).game), 0) : QModelIndex();
}

QModelIndex PreviewModel::index(int row, int column, const QModelIndex& parent) const {
  if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= kPreviewColumnCount) return {};
  return createIndex(row, column);
}

QModelIndex PreviewModel::parent(const QModelIndex& /*index*/) const { return {}; }

int PreviewModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.games.size() + rows_.files.size());
}

int PreviewModel::columnCount(const QModelIndex& /*parent*/) const { return kPreviewColumnCount; }

bool PreviewModel::hasChildren(const QModelIndex& parent) const { return !parent.isValid() && rowCount() > 0; }

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  if (!Holds(index) || plan_ == nullptr) return {};
  const Place place = PlaceOf(index.row());
  const bool file_column = index.column() == static_cast<int>(PreviewColumn::kFile);
  if (place.file < 0) {
    if (role == Qt::FontRole) return game_font_;
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !file_column) return {};
    return Utf8(plan_->groups[rows_.games[place.game].group].title);
  }
  if (role == Qt::DecorationRole && file_column) return file_indent_;
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  const std::uint32_t listed = rows_.files[rows_.games[place.game].first + static_cast<std::uint32_t>(place.file)];
  switch (static_cast<PreviewColumn>(index.column())) {
    case PreviewColumn::kFile:
      return Utf8(plan_->listing[listed]);
    case PreviewColumn::kDecision:
      return Utf8(DecisionText(plan_->files[listed].verdict, language_));
    case PreviewColumn::kReason:
      return Utf8(ReasonText(*plan_, plan_->files[listed], language_));
  }
  return {};
}

QVariant PreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  const PreviewTexts& texts = PreviewTextsIn(language_);
  switch (static_cast<PreviewColumn>(section)) {
    case PreviewColumn::kFile:
      return QString::fromUtf8(texts.file_column);
    case PreviewColumn::kDecision:
      return QString::fromUtf8(texts.decision_column);
    case PreviewColumn::kReason:
      return QString::fromUtf8(texts.reason_column);
  }
  return {};
}

Qt::ItemFlags PreviewModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}

}  // namespace varnel
