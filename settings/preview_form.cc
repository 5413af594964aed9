#include "settings/preview_form.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>

#include "settings/preview_model.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/twips.h"
#include "ui/kit/window_keys.h"

namespace varnel {

namespace {

template <typename T>
T* Named(QWidget* parent, const char* name) {
  T* control = new T(parent);
  control->setObjectName(QString::fromLatin1(name));
  return control;
}

}  // namespace

PreviewForm::PreviewForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("PreviewForm"));
  setAttribute(Qt::WA_DeleteOnClose);
  UseFormFont(this);
  resize(TwipsToPixels(10320), TwipsToPixels(8100));
  BuildControls();
  SetTexts();
}

PreviewForm::~PreviewForm() {
  // The view lets go of the rows before the plan they point into goes.
  list_->setModel(nullptr);
}

void PreviewForm::BuildControls() {
  counts_ = Named<QLabel>(this, "Label1");
  filter_label_ = Named<QLabel>(this, "Label2");
  filter_ = Named<QLineEdit>(this, "Text1");
  filter_->setClearButtonEnabled(true);
  filter_label_->setBuddy(filter_);
  only_going_ = Named<QCheckBox>(this, "Check1");
  list_ = Named<QTreeView>(this, "List1");
  out_of_date_ = Named<QLabel>(this, "Label3");
  QFont bold = out_of_date_->font();
  bold.setBold(true);
  out_of_date_->setFont(bold);
  // Hidden, the line keeps its room: the buttons stay where they are.
  QSizePolicy keep_room = out_of_date_->sizePolicy();
  keep_room.setRetainSizeWhenHidden(true);
  out_of_date_->setSizePolicy(keep_room);
  out_of_date_->setVisible(false);
  refresh_ = Named<QPushButton>(this, "Command1");
  apply_ = Named<QPushButton>(this, "Command2");
  apply_->setEnabled(false);

  model_ = new PreviewModel(this);
  const int indent = TwipsToPixels(240);
  model_->SetLook(bold, indent);
  list_->setIconSize(QSize(indent, 1));
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setModel(model_);
  list_->header()->setSortIndicator(-1, Qt::AscendingOrder);  // the plan's own order until a column is clicked
  list_->setSortingEnabled(true);
  list_->setColumnWidth(static_cast<int>(PreviewColumn::kFile), TwipsToPixels(4800));
  list_->setColumnWidth(static_cast<int>(PreviewColumn::kDecision), TwipsToPixels(1000));
  connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, &PreviewForm::RememberCurrent);
  connect(model_, &QAbstractItemModel::modelReset, this, &PreviewForm::RestoreCurrent);

  connect(filter_, &QLineEdit::textChanged, model_, &PreviewModel::SetFilter);
  connect(only_going_, &QCheckBox::toggled, model_, &PreviewModel::SetOnlyGoing);
  connect(refresh_, &QPushButton::clicked, this, &PreviewForm::RefreshRequested);
  connect(apply_, &QPushButton::clicked, this, &PreviewForm::ApplyRequested);
  auto* close_key = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close_key, &QShortcut::activated, this, &QWidget::close);
  PressButtonsWithReturn(this);

  auto* filter_row = new QHBoxLayout;
  filter_row->addWidget(filter_label_);
  filter_row->addWidget(filter_, 1);
  filter_row->addSpacing(TwipsToPixels(240));
  filter_row->addWidget(only_going_);
  auto* button_row = new QHBoxLayout;
  button_row->addWidget(out_of_date_, 1);
  button_row->addWidget(refresh_);
  button_row->addWidget(apply_);
  auto* column = new QVBoxLayout(this);
  column->addWidget(counts_);
  column->addLayout(filter_row);
  column->addWidget(list_, 1);
  column->addLayout(button_row);
}

void PreviewForm::SetTexts() {
  const PreviewTexts& texts = PreviewTextsIn(language_);
  filter_label_->setText(QString::fromUtf8(texts.filter_label));
  only_going_->setText(QString::fromUtf8(texts.only_going));
  out_of_date_->setText(QString::fromUtf8(texts.out_of_date));
  refresh_->setText(QString::fromUtf8(texts.refresh));
  apply_->setText(QString::fromUtf8(texts.apply));
}

void PreviewForm::ShowPlan(CleaningPlan plan, const std::string& folder, PreviewLanguage language) {
  model_->SetPlan(nullptr, language);
  plan_ = std::move(plan);
  language_ = language;
  SetTexts();
  setWindowTitle(QString::fromStdString(PreviewTitle(PathText(folder).toStdString(), language)));
  counts_->setText(QString::fromStdString(PreviewCounts(plan_, language)));
  model_->SetPlan(&plan_, language);
  SetUpToDate(true);
  list_->setFocus();
}

void PreviewForm::SetUpToDate(bool up_to_date) {
  up_to_date_ = up_to_date;
  out_of_date_->setVisible(!up_to_date);
  UpdateApply();
}

void PreviewForm::SetApplyAllowed(bool allowed) {
  apply_allowed_ = allowed;
  UpdateApply();
}

void PreviewForm::UpdateApply() { apply_->setEnabled(apply_allowed_ && up_to_date_); }

void PreviewForm::RememberCurrent() {
  const QModelIndex current = list_->currentIndex();
  current_is_game_ = model_->IsGameRow(current);
  // A game is found again by its first file.
  current_ = model_->ListedIndex(current_is_game_ ? model_->index(current.row() + 1, 0) : current);
}

void PreviewForm::RestoreCurrent() {
  QModelIndex current = current_is_game_ ? model_->GameIndexOfListed(current_) : model_->IndexOfListed(current_);
  if (!current.isValid()) current = model_->index(0, 0);
  if (!current.isValid()) return;
  list_->setCurrentIndex(current);
  list_->scrollTo(current);
}

}  // namespace varnel
