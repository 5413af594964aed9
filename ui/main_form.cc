#include "ui/main_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QRadioButton>

#include "ui/apply_language.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"
#include "ui/kit/twips.h"
#include "ui/kit/window_keys.h"
#include "ui/kit/wrapping_push_button.h"
#include "ui/menu_pictures.h"

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

// The state file's key for the language and its values, by `LanguageId`.
constexpr char kLanguageKey[] = "language";
constexpr const char* kLanguageValues[] = {"", "fr", "en"};

// The `LanguageId` kept in the state file at `path`; French when none is.
int16_t KeptLanguage(const std::string& path) {
  StateFile state;
  LoadStateFile(path, &state).IgnoreError();  // an unreadable state remembers no language
  return state.Get(kLanguageKey) == std::string(kLanguageValues[2]) ? 2 : 1;
}

}  // namespace

MainForm::MainForm(FormShell& shell, std::string state_path, QWidget* parent)
    : QWidget(parent), shell_(shell), state_path_(std::move(state_path)) {
  setObjectName(QStringLiteral("MainForm"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(7485), TwipsToPixels(3840));
  setWindowTitle(QStringLiteral("Varnel by Tollimer v3"));
  BuildControls();
  // The load handler: the program starts in the language chosen last.
  const int16_t language = KeptLanguage(state_path_);
  findChild<QRadioButton*>(language == 2 ? QStringLiteral("Option2") : QStringLiteral("Option1"))->setChecked(true);
  shell_.Adopt(FormId::kMainForm, this);
  ApplyLanguage(language, shell_);
}

void MainForm::BuildControls() {
  auto* banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("Banner"));
  banner->setGeometry(QRect(QPoint(0, 0), kBannerSize));
  banner->setPixmap(BannerPicture());
  banner->setToolTip(QStringLiteral("Varnel " VARNEL_VERSION));

  auto* clean = PlaceButton(this, "Command1", "I want to clean my romset", 360, 1320, 1935, 975);
  auto* zip = PlaceButton(this, "Command2", "I want to zip my roms", 2760, 1320, 1935, 975);
  auto* alpha = PlaceButton(this, "Command3", "I want to move my roms in alphabetical folders", 5160, 1320, 1935, 975);
  auto* history = PlaceButton(this, "Command5", "History", 360, 2880, 1935, 735);
  auto* quit = PlaceButton(this, "Command4", "Quit", 3000, 2880, 1455, 735);
  connect(clean, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm1); });
  connect(zip, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm3); });
  connect(alpha, &QPushButton::clicked, this, [this] { OpenJob(FormId::kForm2); });
  connect(history, &QPushButton::clicked, this, [this] { OpenJob(FormId::kHistoryForm); });
  // "Quit" takes the close box's way, so the program ends by one route.
  connect(quit, &QPushButton::clicked, this, &QWidget::close);

  QLabel* french_flag = PlacePicture(this, "Picture1", FrenchFlag(), 5520, 2880, 615, 375);
  QLabel* english_flag = PlacePicture(this, "Picture2", UnitedKingdomFlag(), 6360, 2880, 495, 375);
  auto* french = PlaceControl<QRadioButton>(this, "Option1", 5640, 3360, 255, 255);
  auto* english = PlaceControl<QRadioButton>(this, "Option2", 6480, 3360, 255, 255);
  french->setAccessibleName(QStringLiteral("Fran\u00e7ais"));
  english->setAccessibleName(QStringLiteral("English"));
  french->setChecked(true);
  ToggleWithLabel(french_flag, french);
  ToggleWithLabel(english_flag, english);
  // Every click applies the table again, to every window, loaded or not.
  connect(french, &QRadioButton::clicked, this, [this] { ChooseLanguage(1); });
  connect(english, &QRadioButton::clicked, this, [this] { ChooseLanguage(2); });
  PressButtonsWithReturn(this);
}

void MainForm::OpenJob(FormId id) {
  hide();
  shell_.Show(id);
}

void MainForm::ChooseLanguage(int16_t LanguageId) {
  ApplyLanguage(LanguageId, shell_);
  const Status kept = UpdateStateFile(state_path_, {{kLanguageKey, kLanguageValues[LanguageId]}});
  if (!kept.ok()) qWarning("Cannot keep the language in %s: %s", state_path_.c_str(), kept.message().c_str());
}

void MainForm::closeEvent(QCloseEvent* event) {
  // Ending the program stops a running zip job: the user says so first, unless the system asked for the end.
  if (const QString folder = shell_.RunningJobFolder(); !folder.isEmpty() && !shell_.ending()) {
    const QString question = QStringLiteral("A zip job is running in %1. Stop it and quit?").arg(folder);
    if (ShowMessageBox(this, question, MessageIcon::kExclamation, MessageButtons::kYesNo, QString(),
                       MessageAnswer::kNo) != MessageAnswer::kYes) {
      event->ignore();
      return;
    }
  }
  event->accept();
  emit EndRequested();
}

}  // namespace varnel
