#include "ui/main_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QRadioButton>

#include "ui/apply_language.h"
#include "ui/form_layout.h"
#include "ui/menu_pictures.h"
#include "ui/message_box.h"
#include "ui/twips.h"
#include "ui/wrapping_push_button.h"

namespace varnel {

namespace {

WrappingPushButton* PlaceButton(QWidget* form, const char* name, const char* text, int left, int top, int width,
                                int height) {
  auto* button = PlaceControl<WrappingPushButton>(form, name, left, top, width, height);
  button->setText(QString::fromUtf8(text));
  return button;
}

// A picture box: the picture drawn from its top-left corner, clipped by the box.
QLabel* PlacePicture(QWidget* form, const char* name, const QPixmap& picture, int left, int top, int width,
                     int height) {
  auto* box = PlaceControl<QLabel>(form, name, left, top, width, height);
  box->setPixmap(picture);
  box->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return box;
}

}  // namespace

MainForm::MainForm(FormShell& shell, QWidget* parent) : QWidget(parent), shell_(shell) {
  setObjectName(QStringLiteral("MainForm"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(7485), TwipsToPixels(3840));
  setWindowTitle(QStringLiteral("Varnel by Tollimer v3"));
  BuildControls();
  // The load handler: the program starts in French.
  shell_.Adopt(FormId::kMainForm, this);
  ApplyLanguage(1, shell_);
}

void MainForm::BuildControls() {
  auto* banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("Banner"));
  banner->setGeometry(QRect(QPoint(0, 0), kBannerSize));
  banner->setPixmap(BannerPicture());

  auto* clean = PlaceButton(this, "Command1", "I want to clean my romset", 360, 1320, 1935, 975);
  auto* zip = PlaceButton(this, "Command2", "I want to zip my roms", 2760, 1320, 1935, 975);
  auto* alpha = PlaceButton(this, "Command3", "I want to move my roms in alphabetical folders", 5160, 1320, 1935, 975);
  auto* quit = PlaceButton(this, "Command4", "Quit", 3000, 2880, 1455, 735);
  connect(clean, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm1); });
  connect(zip, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm3); });
  connect(alpha, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm2); });
  // "Quit" takes the close box's way, so the program ends by one route.
  connect(quit, &QPushButton::clicked, this, &QWidget::close);

  PlacePicture(this, "Picture1", FrenchFlag(), 5520, 2880, 615, 375);
  PlacePicture(this, "Picture2", UnitedKingdomFlag(), 6360, 2880, 495, 375);
  auto* french = PlaceControl<QRadioButton>(this, "Option1", 5640, 3360, 255, 255);
  auto* english = PlaceControl<QRadioButton>(this, "Option2", 6480, 3360, 255, 255);
  french->setAccessibleName(QStringLiteral("Fran\u00e7ais"));
  english->setAccessibleName(QStringLiteral("English"));
  french->setChecked(true);
  // Every click applies the table again, so a job window reloaded with its initial texts follows too.
  connect(french, &QRadioButton::clicked, this, [this] { ChooseLanguage(1); });
  connect(english, &QRadioButton::clicked, this, [this] { ChooseLanguage(2); });
}

void MainForm::OpenJob(FormId id) {
  hide();
  shell_.Show(id);
}

void MainForm::ChooseLanguage(int16_t LanguageId) { ApplyLanguage(LanguageId, shell_); }

void MainForm::closeEvent(QCloseEvent* event) {
  // Ending the program stops a running zip job: the user says so first, unless the system asked for the end.
  if (const QString folder = shell_.RunningJobFolder(); !folder.isEmpty() && !shell_.ending()) {
    const QString question = QStringLiteral("A zip job is running in %1. Stop it and quit?").arg(folder);
    if (ShowMessageBox(this, question, 48, MessageButtons::kYesNo, QString(), MessageAnswer::kNo) !=
        MessageAnswer::kYes) {
      event->ignore();
      return;
    }
  }
  event->accept();
  emit EndRequested();
}

}  // namespace varnel
