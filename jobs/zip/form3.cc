#include "jobs/zip/form3.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cstdlib>

#include "jobs/zip/archiver_lookup.h"
#include "jobs/zip/form3_host.h"
#include "jobs/zip/zip_job.h"
#include "jobs/zip/zip_pictures.h"
#include "ui/kit/archiver_message.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"
#include "ui/kit/twips.h"
#include "ui/kit/window_keys.h"

namespace varnel {

namespace {

// The layout, in twips (left, top, width, height).
constexpr int kClientWidth = 6240;
constexpr int kClientHeight = 5130;
constexpr int kPictureSize = 1215;

QLabel* PlacePicture(QWidget* form, const char* name, const QPixmap& picture, int left, int top) {
  auto* label = PlaceControl<QLabel>(form, name, left, top, kPictureSize, kPictureSize);
  label->setAlignment(Qt::AlignCenter);
  label->setPixmap(picture);
  return label;
}

}  // namespace

Form3::Form3(Form3Options options, QWidget* parent) : JobForm(parent), options_(std::move(options)) {
  setObjectName(QStringLiteral("Form3"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(kClientWidth), TwipsToPixels(kClientHeight));
  setWindowTitle(QStringLiteral("I want to zip my roms"));
  BuildControls();
  StartFolderList(drives_, folders_, options_.start_folder, options_.state_path);
}

void Form3::BuildControls() {
  drives_ = PlaceControl<DriveList>(this, "Drive1", 120, 120, 3735, 315);
  folders_ = PlaceControl<FolderTree>(this, "Dir1", 120, 600, 3735, 2895);

  // A cartridge of the romset above, its arrow pointing down into the archive.
  const int picture = TwipsToPixels(kPictureSize);
  const double ratio = qApp->devicePixelRatio();
  PlacePicture(this, "Picture2", RomToZipPicture(picture, ratio), 4380, 360);
  PlacePicture(this, "Picture1", ZipArchivePicture(picture, ratio), 4380, 2055);

  auto* note = PlaceControl<QLabel>(this, "Label1", 120, 3675, 6000, 255);
  note->setText(QStringLiteral("Can be long, depending on the number of files."));
  note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  progress_ = PlaceControl<QProgressBar>(this, "ProgressBar1", 120, 4035, 6000, 255);
  progress_->setTextVisible(false);
  progress_->setRange(0, std::max(1, progress_->width()));
  progress_->setValue(0);

  go_ = PlaceControl<QPushButton>(this, "Command1", 2505, 4515, 1695, 495);
  go_->setText(QStringLiteral("Go"));
  connect(go_, &QPushButton::clicked, this, &Form3::Go);
  auto* quit = PlaceControl<QPushButton>(this, "Command2", 4425, 4515, 1695, 495);
  quit->setText(QStringLiteral("Quit"));
  connect(quit, &QPushButton::clicked, this, &Form3::HideAndRequestMenu);
  PressButtonsWithReturn(this);
  BindJobKeys(this, go_, quit);
}

std::string Form3::Archiver() const {
  if (options_.search_path.has_value()) return FindArchiver(options_.program_folder, *options_.search_path);
  const char* path = std::getenv("PATH");
  return FindArchiver(options_.program_folder, path == nullptr ? std::string() : std::string(path));
}

bool Form3::event(QEvent* event) {
  // Shown again before its job has ended, a closed window stays: it is the window of that job. The language
  // may have changed while it was hidden.
  if (event->type() == QEvent::Show) {
    closed_while_running_ = false;
    if (JobRunning()) ShowStopCaption();
  }
  // The check runs once the activation is over, so that its message box does not open inside it.
  if (event->type() == QEvent::WindowActivate && !check_queued_) {
    check_queued_ = true;
    QMetaObject::invokeMethod(this, &Form3::CheckArchiver, Qt::QueuedConnection);
  }
  return JobForm::event(event);
}

void Form3::CheckArchiver() {
  // A window left meanwhile (or by the check itself, whose box may give the activation back) is not checked.
  if (isVisible() && Archiver().empty()) ReportMissingArchiver();
  check_queued_ = false;
}

void Form3::ReportMissingArchiver() {
  // Until a language is applied the message is the English one.
  const QString message = Message7zAbsent().isEmpty()
                              ? EnglishMessage7zAbsent(QString::fromStdString(options_.program_folder))
                              : Message7zAbsent();
  ShowMessageBox(this, message, MessageIcon::kStop, MessageButtons::kOk, Message7zAbsentTitle());
  HideAndRequestMenu();
}

void Form3::Go() {
  if (JobRunning()) {
    host_->RequestStop();
    return;
  }
  const std::optional<std::string> folder = FolderForGo();
  if (!folder) return;
  const std::string archiver = Archiver();
  if (archiver.empty()) {
    ReportMissingArchiver();
    return;
  }
  // The folder is read once; the job then works on its own listing while the window stays usable.
  job_folder_ = PathText(*folder);
  const ZipJobSettings settings{*folder, archiver, options_.hang_limit};
  QPointer<Form3> self(this);
  const QString go_caption = go_->text();
  {
    Form3Host host(this, progress_);
    host_ = &host;
    ShowStopCaption();
    const ZipJobResult result = RunZipJob(settings, host);
    if (self == nullptr) return;  // destroyed under the job, which the host then stopped
    host_ = nullptr;
    if (result.end == ZipJobEnd::kStopped && host.stop_requested() && !host.ProgramEnding()) {
      host.ShowMessage(ZipStoppedMessage(result.zipped), MessageIcon::kNone);
    }
  }
  if (self == nullptr) return;
  go_->setText(go_caption);
  if (closed_while_running_) deleteLater();
}

void Form3::ShowStopCaption() {
  go_->setText(EnglishChosen() ? QStringLiteral("Stop") : QString::fromUtf8("Arr\xc3\xaater"));
}

void Form3::closeEvent(QCloseEvent* event) {
  if (!JobRunning()) {
    JobForm::closeEvent(event);
    return;
  }
  // The job goes on hidden; the window is unloaded when it ends. When the program is ending the job is
  // stopping already and the menu is not shown again.
  event->accept();
  closed_while_running_ = true;
  if (!host_->ProgramEnding()) emit MenuRequested();
}

}  // namespace varnel
