#include "jobs/alpha/form2.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <string>

#include "jobs/alpha/alpha_job.h"
#include "jobs/alpha/alpha_picture.h"
#include "jobs/alpha/form2_host.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/twips.h"
#include "ui/kit/wait_cursor.h"
#include "ui/kit/window_keys.h"

namespace varnel {

namespace {

// The client area in twips.
constexpr int kFormWidth = 6000;
constexpr int kFormHeight = 4215;
constexpr int kPictureSize = 1260;

QPushButton* PlaceButton(QWidget* form, const char* name, const char* text, int left, int top) {
  auto* button = PlaceControl<QPushButton>(form, name, left, top, 1575, 495);
  button->setText(QString::fromUtf8(text));
  return button;
}

}  // namespace

Form2::Form2(Form2Options options, QWidget* parent) : JobForm(parent) {
  setObjectName(QStringLiteral("Form2"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(kFormWidth), TwipsToPixels(kFormHeight));
  setWindowTitle(QStringLiteral("I want to move my roms in alphabetical folders"));
  BuildControls();
  StartFolderList(drives_, folders_, options.start_folder, options.state_path);
}

void Form2::BuildControls() {
  drives_ = PlaceControl<DriveList>(this, "Drive1", 120, 120, 2295, 315);
  folders_ = PlaceControl<FolderTree>(this, "Dir1", 120, 600, 4335, 2340);

  // A decoration beside the middle of the folder tree; its tool tip comes with the captions of the chosen
  // language.
  auto* picture = PlaceControl<QLabel>(this, "Picture1", 4620, 1140, kPictureSize, kPictureSize);
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(AlphaFoldersPicture(TwipsToPixels(kPictureSize), devicePixelRatioF()));

  progress_ = PlaceControl<QProgressBar>(this, "ProgressBar1", 120, 3120, 5760, 255);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);

  auto* go = PlaceButton(this, "Command1", "Go", 2505, 3600);
  connect(go, &QPushButton::clicked, this, &Form2::Go);
  auto* quit = PlaceButton(this, "Command2", "Quit", 4305, 3600);
  connect(quit, &QPushButton::clicked, this, &Form2::HideAndRequestMenu);
  PressButtonsWithReturn(this);
  BindJobKeys(this, go, quit);
}

void Form2::Go() {
  const std::optional<std::string> folder = FolderForGo();
  if (!folder) return;
  Form2Host host(this, progress_);
  // The job does not return to the event loop before its end.
  const WaitCursor busy;
  RunAlphaFolders(*folder, host);
}

}  // namespace varnel
