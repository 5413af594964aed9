#include "settings/preview_model.h"

#include <algorithm>

namespace varnel {

namespace {

// The internal id of a game's row; a file's row holds the row of its game.
constexpr quintptr kGameRow = ~quintptr{0};

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

std::uint32_t PreviewModel::ListedIndex(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGameRow) return kNoIndex;
  const PreviewRows::Game& game = rows_.games[index.internalId()];
  return rows_.files[game.first + static_cast<std::uint32_t>(index.row())];
}

QModelIndex PreviewModel::IndexOfListed(std::uint32_t listed, int column) const {
  if (plan_ == nullptr || listed >= plan_->files.size()) return {};
  // The file's game is found first; a game is short, so is the search among its rows.
  const std::uint32_t group = plan_->files[listed].group;
  for (std::size_t g = 0; g < rows_.games.size(); ++g) {
    const PreviewRows::Game& game = rows_.games[g];
    if (game.group != group) continue;
    const auto begin = rows_.files.begin() + game.first;
    const auto found = std::find(begin, begin + game.count, listed);
    if (found != begin + game.count) return createIndex(static_cast<int>(found - begin), column, g);
  }
  return {};
}

QModelIndex PreviewModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kPreviewColumnCount) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= rows_.games.size()) return {};
    return createIndex(row, column, kGameRow);
  }
  if (parent.internalId() != kGameRow || static_cast<std::uint32_t>(row) >= rows_.games[parent.row()].count) return {};
  return createIndex(row, column, static_cast<quintptr>(parent.row()));
}

QModelIndex PreviewModel::parent(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGameRow) return {};
  return createIndex(static_cast<int>(index.internalId()), 0, kGameRow);
}

int PreviewModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(rows_.games.size());
  if (parent.internalId() != kGameRow || parent.column() != 0) return 0;
  return static_cast<int>(rows_.games[parent.row()].count);
}

int PreviewModel::columnCount(const QModelIndex& /*parent*/) const { return kPreviewColumnCount; }

bool PreviewModel::hasChildren(const QModelIndex& parent) const { return rowCount(parent) > 0; }

QVariant PreviewModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || plan_ == nullptr) return {};
  const bool game_row = index.internalId() == kGameRow;
  if (role == Qt::FontRole && game_row) return game_font_;
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  if (game_row) {
    if (index.column() != static_cast<int>(PreviewColumn::kFile)) return {};
    return Utf8(plan_->groups[rows_.games[index.row()].group].title);
  }
  const std::uint32_t listed = ListedIndex(index);
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
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace varnel
