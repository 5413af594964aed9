#include "history/history_form.h"

#include <QHeaderView>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <utility>

#include "history/history_text.h"
#include "history/undo.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"
#include "ui/kit/progress_feed.h"
#include "ui/kit/twips.h"
#include "ui/kit/wait_cursor.h"
#include "ui/kit/window_keys.h"

namespace varnel {

namespace {

// The client area in twips.
constexpr int kFormWidth = 9000;
constexpr int kFormHeight = 6615;

QString Text(std::string_view bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

QPushButton* PlaceButton(QWidget* form, const char* name, const char* text, int left, int top) {
  auto* button = PlaceControl<QPushButton>(form, name, left, top, 1575, 495);
  button->setText(QString::fromUtf8(text));
  return button;
}

// A list of rows with `headers` as its English column captions.
QTreeWidget* PlaceList(QWidget* form, const char* name, const QStringList& headers, int top, int height) {
  auto* list = PlaceControl<QTreeWidget>(form, name, 120, top, kFormWidth - 240, height);
  list->setHeaderLabels(headers);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setAllColumnsShowFocus(true);
  return list;
}

// The undo started from the window: its question and messages in boxes over the window, its progress on the
// window's bar.
class HistoryFormHost : public UndoHost {
 public:
  HistoryFormHost(QWidget* window, QProgressBar* bar) : window_(window), progress_(bar) {}

  bool Confirm(const std::string& question) override {
    progress_.Flush();
    return ShowMessageBox(window_, QString::fromStdString(question), MessageIcon::kNone, MessageButtons::kYesNo,
                          QString(), MessageAnswer::kNo) == MessageAnswer::kYes;
  }
  void ShowMessage(const std::string& text, MessageIcon icon) override {
    progress_.Flush();
    ShowMessageBox(window_, QString::fromStdString(text), icon);
  }
  void SetProgress(double minimum, double maximum, double value) override { progress_.Set(minimum, maximum, value); }

 private:
  QWidget* window_;
  ProgressFeed progress_;
};

}  // namespace

HistoryForm::HistoryForm(HistoryFormOptions options, QWidget* parent) : JobForm(parent), options_(std::move(options)) {
  setObjectName(QStringLiteral("HistoryForm"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(kFormWidth), TwipsToPixels(kFormHeight));
  setWindowTitle(QStringLiteral("History"));
  BuildControls();
}

void HistoryForm::BuildControls() {
  runs_ = PlaceList(this, "List1", {"Date", "Job", "Folder", "Done", "Failed"}, 120, 2775);
  // The folder takes the room the other columns leave: the list needs no scroll bar across.
  runs_->header()->setStretchLastSection(false);
  runs_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
  for (const auto& [column, width] : {std::pair{0, 125}, {1, 80}, {3, 50}, {4, 50}})
    runs_->setColumnWidth(column, width);
  files_ = PlaceList(this, "List2", {"File", "Action", "Result"}, 3015, 2535);
  files_->setColumnWidth(0, 340);
  files_->setColumnWidth(1, 60);
  connect(runs_, &QTreeWidget::currentItemChanged, this, &HistoryForm::ShowFiles);

  progress_ = PlaceControl<QProgressBar>(this, "ProgressBar1", 120, 5670, kFormWidth - 240, 255);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);

  undo_ = PlaceButton(this, "Command1", "Undo", 5505, 6045);
  connect(undo_, &QPushButton::clicked, this, &HistoryForm::Undo);
  auto* quit = PlaceButton(this, "Command2", "Quit", 7305, 6045);
  connect(quit, &QPushButton::clicked, this, &HistoryForm::HideAndRequestMenu);
  PressButtonsWithReturn(this);
  BindJobKeys(this, undo_, quit);
}

void HistoryForm::showEvent(QShowEvent* event) {
  Reload();
  JobForm::showEvent(event);
}

std::string HistoryForm::SelectedId() const {
  const QTreeWidgetItem* item = runs_->currentItem();
  return item == nullptr ? std::string() : item->data(0, Qt::UserRole).toString().toStdString();
}

void HistoryForm::Reload(const std::string& id) {
  const std::string keep = id.empty() ? SelectedId() : id;
  runs_->clear();
  QTreeWidgetItem* selected = nullptr;
  for (const RunSummary& run : ReadRunSummaries(options_.place.folder)) {
    auto* item = new QTreeWidgetItem(
        runs_, {Text(LocalTimeOf(run.started)), Text(JobName(run.job)), Text(PrintableText(run.folder)),
                QString::number(run.done), QString::number(run.failed)});
    item->setData(0, Qt::UserRole, QString::fromStdString(run.id));
    item->setToolTip(2, item->text(2));
    if (run.id == keep) selected = item;
  }
  if (selected == nullptr) selected = runs_->topLevelItem(0);
  runs_->setCurrentItem(selected);
  if (selected == nullptr) ShowFiles();
}

void HistoryForm::ShowFiles() {
  files_->clear();
  const std::string id = SelectedId();
  undo_->setEnabled(!id.empty());
  if (id.empty()) return;
  RecordedRun run;
  if (const Status read = ReadRun(options_.place.folder, id, &run); !read.ok()) {
    // The list says why it is empty, and the run cannot be taken back from here.
    new QTreeWidgetItem(files_, {PathText(read.ToString())});
    undo_->setEnabled(false);
    return;
  }
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(run.files.size()));
  for (const RecordedFile& file : run.files) {
    auto* item = new QTreeWidgetItem(
        {Text(PrintableText(file.name)), Text(ActionName(file.action)), Text(PrintableText(ResultText(file)))});
    item->setToolTip(0, Text(PrintableText(file.destination)));
    items.append(item);
  }
  files_->addTopLevelItems(items);
}

void HistoryForm::Undo() {
  UndoOptions options;
  options.place = options_.place;
  options.id = SelectedId();
  if (options.id.empty()) return;
  HistoryFormHost host(this, progress_);
  UndoResult result;
  {
    // The undo does not return to the event loop before its end.
    const WaitCursor busy;
    result = UndoRun(options, host);
  }
  Reload(result.undo_id);
}

}  // namespace varnel
