#ifndef VARNEL_SETTINGS_PREVIEW_MODEL_H_
#define VARNEL_SETTINGS_PREVIEW_MODEL_H_

#include <QAbstractItemModel>
#include <QFont>
#include <QPixmap>
#include <cstdint>

#include "engine/cleaning_plan.h"
#include "settings/preview_rows.h"
#include "settings/preview_text.h"

namespace varnel {

// A cleaning plan as a list read in place: a row per game (its title), followed by a row per file of the game (the
// listed name, kept or going, and why), drawn indented. The rows form one flat list rather than a tree: a tree view
// keeps an index of its own for each open game, and tens of thousands of them make it slow to fill and to empty.
// The plan is not copied: it must outlive the model or be replaced first. Rows are chosen and ordered by
// ArrangeRows; texts are made when a view asks for them.
class PreviewModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  explicit PreviewModel(QObject* parent = nullptr);

  // Shows `plan` (nullptr: nothing) in `language`, filtered and sorted as before.
  void SetPlan(const CleaningPlan* plan, PreviewLanguage language);
  // Only the files whose name holds `filter`, letters of either case alike.
  void SetFilter(const QString& filter);
  // Only the files that go.
  void SetOnlyGoing(bool only_going);
  const PreviewView& view() const { return view_; }
  // How a game's row is written, and how far a file's row is drawn in from it.
  void SetLook(const QFont& game_font, int file_indent);

  // True for a game's row.
  bool IsGameRow(const QModelIndex& index) const;
  // The listed index of a file's row; kNoIndex for a game's row or an invalid index.
  std::uint32_t ListedIndex(const QModelIndex& index) const;
  // The row of the listed file `listed`; invalid when it does not show.
  QModelIndex IndexOfListed(std::uint32_t listed) const;
  // The row of the game of the file `listed`; invalid when it does not show.
  QModelIndex GameIndexOfListed(std::uint32_t listed) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
  QModelIndex parent(const QModelIndex& index) const override;
  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // -1 gives back the plan's own order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

 private:
  // A row: its game (an index in rows_.games) and the place of its file in the game, or -1 for the game's row.
  struct Place {
    std::size_t game;
    std::int64_t file;
  };
  // `row` must be one of the rows.
  Place PlaceOf(int row) const;
  // True for an index of one of the rows.
  bool Holds(const QModelIndex& index) const;
  // The row of games[game]; its files follow it.
  int GameRow(std::size_t game) const { return static_cast<int>(game + rows_.games[game].first); }
  // Arranges the rows again for view_; a view's current row is its own to restore.
  void Arrange();

  const CleaningPlan* plan_ = nullptr;
  PreviewLanguage language_ = PreviewLanguage::kEnglish;
  PreviewView view_;
  PreviewRows rows_;
  QFont game_font_;
  QPixmap file_indent_;
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_PREVIEW_MODEL_H_
