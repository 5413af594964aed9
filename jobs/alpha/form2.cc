#include "jobs/alpha/form2.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <string>

#include "jobs/alpha/alpha_job.h"
#include "jobs/alpha/alpha_picture.h"
#include "jobs/alpha/form2_host.h"
#include "ui/drive_list.h"
#include "ui/folder_tree.h"
#include "ui/twips.h"

namespace varnel {

namespace {

// The cleaning window's font, so that every caption fits its control in both languages ("Quitter").
constexpr double kFontPointSize = 7.0;

// The client area in twips.
constexpr int kFormWidth = 6000;
constexpr int kFormHeight = 4215;
constexpr int kPictureSize = 1260;

QString StartFolder(const QString& given) {
  if (!given.isEmpty()) return given;
#ifdef _WIN32
  return QStringLiteral("C:\\");
#else
  return QDir::homePath();
#endif
}

// A path as the file functions take it: UTF-8 on Windows, the file system's encoding elsewhere.
std::string PathBytes(const QString& path) {
#ifdef _WIN32
  return path.toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

// Places a new control named `name` on `form` at the twips rectangle.
template <typename T>
T* Place(QWidget* form, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->setObjectName(QString::fromLatin1(name));
  control->setGeometry(TwipsRect(left, top, width, height));
  return control;
}

QPushButton* PlaceButton(QWidget* form, const char* name, const char* text, int left, int top) {
  auto* button = Place<QPushButton>(form, name, left, top, 1575, 495);
  button->setText(QString::fromUtf8(text));
  return button;
}

}  // namespace

Form2::Form2(Form2Options options, QWidget* parent) : JobForm(parent) {
  setObjectName(QStringLiteral("Form2"));
  QFont form_font = font();
  form_font.setPointSizeF(kFontPointSize);
  setFont(form_font);
  setFixedSize(TwipsToPixels(kFormWidth), TwipsToPixels(kFormHeight));
  setWindowTitle(QStringLiteral("I want to move my roms in alphabetical folders"));
  BuildControls();
  // Loading: the drive and the folder of the start folder.
  const QString start = StartFolder(options.start_folder);
  drives_->SetDriveOf(start);
  folders_->SetPath(start);
}

void Form2::BuildControls() {
  drives_ = Place<DriveList>(this, "Drive1", 120, 120, 2295, 315);
  folders_ = Place<FolderTree>(this, "Dir1", 120, 600, 4335, 2340);
  LinkDriveToFolder(drives_, folders_);

  // A decoration beside the middle of the folder tree; its tool tip comes with the captions of the chosen
  // language.
  auto* picture = Place<QLabel>(this, "Picture1", 4620, 1140, kPictureSize, kPictureSize);
  picture->setAlignment(Qt::AlignCenter);
  picture->setPixmap(AlphaFoldersPicture(TwipsToPixels(kPictureSize), devicePixelRatioF()));

  progress_ = Place<QProgressBar>(this, "ProgressBar1", 120, 3120, 5760, 255);
  progress_->setTextVisible(false);
  progress_->setRange(0, 100);
  progress_->setValue(0);

  auto* go = PlaceButton(this, "Command1", "Go", 2505, 3600);
  connect(go, &QPushButton::clicked, this, &Form2::Go);
  auto* quit = PlaceButton(this, "Command2", "Quit", 4305, 3600);
  connect(quit, &QPushButton::clicked, this, &Form2::HideAndRequestMenu);
}

void Form2::Go() {
  Form2Host host(this, progress_);
  RunAlphaFolders(PathBytes(folders_->Path()), host);
}

}  // namespace varnel
