#ifndef VARNEL_SETTINGS_PREVIEW_MODEL_H_
#define VARNEL_SETTINGS_PREVIEW_MODEL_H_

#include <QAbstractItemModel>
#include <QFont>
#include <cstdint>

#include "engine/cleaning_plan.h"
#include "settings/preview_rows.h"
#include "settings/preview_text.h"

namespace varnel {

// A cleaning plan as a tree read in place: a row per game (its title), under it a row per file (the listed name,
// kept or going, and why). The plan is not copied: it must outlive the model or be replaced first. Rows are chosen
// and ordered by ArrangeRows; texts are made when a view asks for them.
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
  // The font of a game's row.
  void SetGameFont(const QFont& font) { game_font_ = font; }

  // The listed index of a file's row; kNoIndex for a game's row or an invalid index.
  std::uint32_t ListedIndex(const QModelIndex& index) const;
  // The row of the listed file `listed` in `column`; invalid when it does not show.
  QModelIndex IndexOfListed(std::uint32_t listed, int column = 0) const;

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
  // Arranges the rows again for view_; a view's expanded games and current row are its own to restore.
  void Arrange();

  const CleaningPlan* plan_ = nullptr;
  PreviewLanguage language_ = PreviewLanguage::kEnglish;
  PreviewView view_;
  PreviewRows rows_;
  QFont game_font_;
};

}  // namespace varnel

#endif  // VARNEL_SETTINGS_PREVIEW_MODEL_H_
