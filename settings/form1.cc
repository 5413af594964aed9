#include "settings/form1.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHideEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <array>

#include "engine/cleaning_run.h"
#include "platform/file_ops.h"
#include "settings/floppy_icon.h"
#include "settings/form1_host.h"
#include "settings/form1_values.h"
#include "settings/list_box_text.h"
#include "settings/preview_form.h"
#include "settings/preview_rows.h"
#include "ui/kit/drive_list.h"
#include "ui/kit/folder_tree.h"
#include "ui/kit/form_layout.h"
#include "ui/kit/message_box.h"
#include "ui/kit/twips.h"
#include "ui/kit/wait_cursor.h"
#include "ui/kit/window_keys.h"
#include "ui/kit/wrapping_radio_button.h"

namespace varnel {

namespace {

constexpr std::array<const char*, 9> kLegendLeft = {"(A) Australia",        "(E) Europe",   "(F) France",
                                                    "(FC) French Canadian", "(FN) Finland", "(G) Germany",
                                                    "(GR) Greece",          "(H) Holland",  "(HK) Hong Kong"};
constexpr std::array<const char*, 9> kLegendRight = {"(I) Italy",        "(J) Japan",    "(K) Korea",
                                                     "(NL) Netherlands", "(S) Spain",    "(SW) Sweden",
                                                     "(U) USA",          "(UK) England", "(Unk) Unknown Country"};

// The check boxes the window keeps between starts, by object name, with their names in the state file. The
// Test box is not one of them: every run starts as a test until the user says otherwise.
struct RememberedBox {
  const char* control;
  const char* name;
};
constexpr RememberedBox kRememberedBoxes[] = {
    {"LogFile", "open_logfile"},
    {"Moved", "move"},
    {"Multiext", "multi_extension"},
    {"Trash", "trash"},
};

// Each box-only check box with the label that captions it.
constexpr std::pair<const char*, const char*> kBoxLabels[] = {{"TradsYN", "Label11"},  {"Test", "Label3"},
                                                              {"LogFile", "Label4"},   {"Moved", "Label9"},
                                                              {"Multiext", "Label10"}, {"Trash", "Label12"}};

template <std::size_t N>
QString Legend(const std::array<const char*, N>& entries) {
  QString text;
  for (const char* entry : entries) text += QString::fromUtf8(entry) + QStringLiteral("\r\n");
  return text;
}

QLabel* PlaceLabel(QWidget* form, const char* name, const char* text, int left, int top, int width, int height) {
  QLabel* label = PlaceControl<QLabel>(form, name, left, top, width, height);
  label->setText(QString::fromUtf8(text));
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  return label;
}

QCheckBox* PlaceCheckBox(QWidget* form, const char* name, const char* tip, bool checked, int left, int top, int width,
                         int height) {
  QCheckBox* box = PlaceControl<QCheckBox>(form, name, left, top, width, height);
  // A 195-twip box is a pixel or two shorter than the style's check mark: grow it about its centre.
  const int needed = box->style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, box) + 2;
  if (box->height() < needed) {
    QRect grown = box->geometry();
    grown.setTop(grown.top() - (needed - grown.height()) / 2);
    grown.setHeight(needed);
    box->setGeometry(grown);
  }
  box->setChecked(checked);
  if (tip != nullptr) box->setToolTip(QString::fromUtf8(tip));
  return box;
}

WrappingRadioButton* PlaceOption(QWidget* form, const char* name, const char* text, int left, int top, int width,
                                 int height) {
  auto* option = PlaceControl<WrappingRadioButton>(form, name, left, top, width, height);
  option->setText(QString::fromUtf8(text));
  return option;
}

// One straight line of the bracket between two twips points.
void PlaceLine(QWidget* form, const char* name, int x1, int y1, int x2, int y2) {
  auto* line = new QFrame(form);
  line->setObjectName(QString::fromLatin1(name));
  line->setGeometry(QRect(QPoint(TwipsToPixels(x1), TwipsToPixels(y1)), QPoint(TwipsToPixels(x2), TwipsToPixels(y2))));
  line->setAutoFillBackground(true);
  QPalette palette = line->palette();
  palette.setColor(QPalette::Window, palette.color(QPalette::WindowText));
  line->setPalette(palette);
}

QPushButton* PlacePictureButton(QWidget* form, const char* name, FloppyArrow arrow, int left, int top) {
  QPushButton* button = PlaceControl<QPushButton>(form, name, left, top, 735, 735);
  const int icon = TwipsToPixels(735) - 9;
  button->setIcon(FloppyIcon(arrow, icon));
  button->setIconSize(QSize(icon, icon));
  return button;
}

}  // namespace

Form1::Form1(Form1Options options, QWidget* parent) : JobForm(parent), options_(std::move(options)) {
  setObjectName(QStringLiteral("Form1"));
  UseFormFont(this);
  setFixedSize(TwipsToPixels(10320), TwipsToPixels(8100));
  setWindowTitle(QStringLiteral("I want to clean my romset"));
  BuildControls();
  Load();
}

void Form1::BuildControls() {
  drives_ = PlaceControl<DriveList>(this, "Drive1", 120, 120, 2295, 315);
  folders_ = PlaceControl<FolderTree>(this, "Dir1", 120, 600, 4335, 2340);

  zones_title_ = PlaceLabel(
      this, "Label8", "Zones (write with priority sort, can be combined : (ju), (jue), etc.) :", 120, 3240, 5055, 255);
  zones_ = PlaceControl<QLineEdit>(this, "ListeZones", 120, 3480, 5295, 495);
  PlaceLabel(this, "Label6", "Kept :", 120, 4080, 1455, 255);
  kept_ = PlaceControl<QPlainTextEdit>(this, "Conservees", 120, 4320, 5295, 495);
  PlaceLabel(this, "Label2", "Excluded :", 120, 4920, 2175, 255);
  excluded_ = PlaceControl<QPlainTextEdit>(this, "Exclues", 120, 5160, 5295, 495);
  for (QPlainTextEdit* box : {kept_, excluded_}) {
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setTabChangesFocus(true);
  }

  translations_wanted_ = PlaceCheckBox(this, "TradsYN",
                                       "Check this box if you want to keep translated roms. If unchecked, all the "
                                       "translated roms will be deleted/moved.",
                                       false, 120, 5760, 255, 195);
  PlaceLabel(this, "Label11", "Translation :", 360, 5760, 1455, 255);
  translations_ = PlaceControl<QLineEdit>(this, "ListeTrads", 120, 6000, 5295, 495);
  translations_->setToolTip(
      QStringLiteral("Write here the different translations you want to keep (ex : fre,dut,eng)"));
  ApplyTranslationToggle();
  connect(translations_wanted_, &QCheckBox::toggled, this, &Form1::ApplyTranslationToggle);

  PlaceLabel(this, "Label3", "Test :", 240, 6960, 495, 255);
  test_ = PlaceCheckBox(this, "Test",
                        "Process will be done completely without deleting or moving files. Generate log file.", true,
                        1320, 6960, 495, 255);
  PlaceLabel(this, "Label4", "Open logfile :", 240, 7320, 975, 255);
  open_log_ = PlaceCheckBox(this, "LogFile", "Open logfile with notepad at the end of the process.", true, 1320, 7320,
                            255, 195);
  progress_ = PlaceControl<QProgressBar>(this, "ProgressBar1", 1920, 6960, 8175, 255);
  progress_->setTextVisible(false);
  progress_->setRange(0, 1);
  progress_->setValue(0);
  result_ = PlaceLabel(this, "Label5", "", 1920, 7320, 4335, 255);
  QFont bold = result_->font();
  bold.setBold(true);
  result_->setFont(bold);

  auto* load = PlacePictureButton(this, "Command3", FloppyArrow::kOut, 6000, 3960);
  connect(load, &QPushButton::clicked, this, [this] { LoadFile(true); });
  auto* save = PlacePictureButton(this, "Command4", FloppyArrow::kIn, 6000, 5160);
  connect(save, &QPushButton::clicked, this, &Form1::SaveFile);
  PlaceLine(this, "Line1", 5280, 3240, 5760, 3240);
  PlaceLine(this, "Line2", 5280, 6600, 5760, 6600);
  PlaceLine(this, "Line3", 5760, 3240, 5760, 6600);
  PlaceLine(this, "Line4", 5760, 4320, 6000, 4320);
  PlaceLine(this, "Line5", 5760, 5520, 6000, 5520);

  legend_left_ = PlaceLabel(this, "Label1", "", 5520, 480, 2055, 2175);
  legend_right_ = PlaceLabel(this, "Label7", "", 7920, 480, 2055, 2175);

  // The frame only surrounds the option buttons, which sit on the form itself.
  auto* frame = PlaceControl<QGroupBox>(this, "Frame1", 6960, 3240, 3135, 2655);
  frame->setTitle(QStringLiteral("Configuration"));
  auto* option2 = PlaceOption(this, "Option2", "Priority to [!] instead of zones", 7200, 3720, 2775, 255);
  auto* option3 = PlaceOption(this, "Option3", "Keep 1st met of selected zones", 7200, 4080, 2775, 495);
  auto* option1 = PlaceOption(this, "Option1", "Keep all selected zones", 7200, 4560, 2775, 495);
  auto* option4 = PlaceOption(this, "Option4", "Keep all zones", 7200, 5160, 2415, 255);
  option2->setChecked(true);
  option1_ = option1, option2_ = option2, option3_ = option3, option4_ = option4;
  for (WrappingRadioButton* option : {option1, option2, option3}) {
    connect(option, &QRadioButton::toggled, this, [this](bool checked) {
      if (!checked) return;
      zones_->setEnabled(true);
      zones_title_->setEnabled(true);
    });
  }
  connect(option4, &QRadioButton::toggled, this, [this, option4] {
    zones_->setEnabled(!option4->isChecked());
    zones_title_->setEnabled(!option4->isChecked());
  });

  move_ = PlaceCheckBox(this, "Moved", "Don't delete files but move them to \".\\moved\" folder", false, 7200, 6000,
                        255, 255);
  PlaceLabel(this, "Label9", "Move unkept files instead of delete", 7440, 6000, 2895, 255);
  multi_ext_ =
      PlaceCheckBox(this, "Multiext",
                    "Consider that differents extensions (.zip, .nes, .unf) mustn't be considered as different files",
                    false, 7200, 6360, 255, 255);
  PlaceLabel(this, "Label10", "Multi extensions not different", 7440, 6360, 2775, 255);
  trash_ =
      PlaceCheckBox(this, "Trash", "Don't delete files but move them to the trash, from where they can be restored",
                    false, 7200, 6660, 255, 255);
  PlaceLabel(this, "Label12", "Move unkept files to the trash", 7440, 6660, 2895, 255);
  // Moving and trashing are two ways of keeping what goes: checking one clears the other.
  connect(move_, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked) trash_->setChecked(false);
  });
  connect(trash_, &QCheckBox::toggled, this, [this](bool checked) {
    if (checked) move_->setChecked(false);
  });

  auto* go = PlaceControl<QPushButton>(this, "Command1", 6600, 7440, 1695, 495);
  go->setText(QStringLiteral("Go"));
  connect(go, &QPushButton::clicked, this, &Form1::Go);
  auto* quit = PlaceControl<QPushButton>(this, "Command2", 8520, 7440, 1575, 495);
  quit->setText(QStringLiteral("Quit"));
  connect(quit, &QPushButton::clicked, this, &Form1::HideAndRequestMenu);

  auto* preview = PlaceControl<QPushButton>(this, "Command5", 4680, 7590, 1695, 405);
  preview->setText(QStringLiteral("Preview"));
  connect(preview, &QPushButton::clicked, this, &Form1::Preview);
  // What the plan is made of: each change says whether the preview still shows it.
  connect(folders_, &FolderTree::PathChanged, this, &Form1::UpdatePreview);
  for (QLineEdit* box : {zones_, translations_}) connect(box, &QLineEdit::textChanged, this, &Form1::UpdatePreview);
  for (QPlainTextEdit* box : {kept_, excluded_})
    connect(box, &QPlainTextEdit::textChanged, this, &Form1::UpdatePreview);
  for (QAbstractButton* box :
       {static_cast<QAbstractButton*>(translations_wanted_), static_cast<QAbstractButton*>(test_),
        static_cast<QAbstractButton*>(multi_ext_), option1_, option2_, option3_, option4_})
    connect(box, &QAbstractButton::toggled, this, &Form1::UpdatePreview);

  for (const auto& [box, label] : kBoxLabels) {
    ToggleWithLabel(findChild<QLabel*>(QLatin1String(label)), findChild<QAbstractButton*>(QLatin1String(box)));
  }
  PressButtonsWithReturn(this);
  BindJobKeys(this, go, quit);
  // The zone mode is kept as the number of its option: Option1 to Option4 are the zone modes 1 to 4.
  RememberChoice("zone_mode", {option1, option2, option3, option4});
  for (const RememberedBox& box : kRememberedBoxes) {
    RememberCheckBox(findChild<QAbstractButton*>(QLatin1String(box.control)), box.name);
  }
}

void Form1::Load() {
  if (!LoadFile(false)) {
    const ConfigValues defaults = DefaultConfigValues();
    SetBoxText(excluded_, defaults.excluded);
    SetBoxText(kept_, defaults.kept);
    SetBoxText(zones_, defaults.zones);
  }
  legend_left_->setText(Legend(kLegendLeft));
  legend_right_->setText(Legend(kLegendRight));
  StartFolderList(drives_, folders_, options_.start_folder, options_.state_path);
}

bool Form1::LoadFile(bool AffErreur) {
  std::vector<std::string> lines;
  const Status status = ReadConfigLines(options_.config_path, &lines);
  if (lines.size() >= 1) SetBoxText(zones_, lines[0]);
  if (lines.size() >= 2) SetBoxText(kept_, lines[1]);
  if (lines.size() >= 3) SetBoxText(excluded_, lines[2]);
  if (lines.size() >= 4) {
    SetBoxText(translations_, lines[3]);
    translations_wanted_->setChecked(true);
    ApplyTranslationToggle();
  }
  if (AffErreur && !status.ok() && !PathExists(options_.config_path)) {
    // Nothing was ever saved: no problem, only nothing to load yet.
    const QString path = PathText(options_.config_path);
    ShowMessageBox(this,
                   EnglishChosen()
                       ? QStringLiteral("No saved settings yet (%1).").arg(path)
                       : QString::fromUtf8("Aucun r\xc3\xa9glage enregistr\xc3\xa9 pour l'instant (%1).").arg(path),
                   MessageIcon::kInformation);
  } else if (AffErreur && !status.ok()) {
    ShowMessageBox(this,
                   QStringLiteral("Problem with config file\n%1: %2")
                       .arg(QString::fromStdString(options_.config_path), QString::fromStdString(status.message())),
                   MessageIcon::kStop);
  }
  return status.ok();
}

RunSettings Form1::CurrentRunSettings() const {
  RunSettings settings;
  settings.RomFolder = folders_->Folder();
  settings.TestMode = test_->isChecked();
  settings.MoveFiles = move_->isChecked();
  settings.TrashFiles = trash_->isChecked();
  settings.OpenLog = open_log_->isChecked();
  settings.KeepTranslations = translations_wanted_->isChecked();
  settings.IgnoreExtensions = multi_ext_->isChecked();
  settings.ZoneMode =
      ZoneModeOf(option1_->isChecked(), option2_->isChecked(), option3_->isChecked(), option4_->isChecked());
  const ConfigValues lists = CurrentConfigValues();
  settings.ZoneText = lists.zones;
  settings.KeepText = lists.kept;
  settings.ExclusionText = lists.excluded;
  settings.TranslationText = lists.translations;
  return settings;
}

ConfigValues Form1::CurrentConfigValues() const {
  ConfigValues values;
  values.zones = BoxText(zones_);
  values.kept = LineBreaksAsCommas(BoxText(kept_));
  values.excluded = LineBreaksAsCommas(BoxText(excluded_));
  values.translations = BoxText(translations_);
  values.keep_translations = translations_wanted_->isChecked();
  return values;
}

void Form1::SaveFile() {
  const std::string& path = options_.config_path;
  // The user's configuration folder may not exist yet on a fresh account.
  QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
  const Status status = WriteConfigFile(path, CurrentConfigValues());
  if (!status.ok()) {
    ShowMessageBox(this, QString::fromStdString(status.ToString()), MessageIcon::kStop);
    return;
  }
  ShowMessageBox(this, QString::fromStdString(ConfigSavedMessage(path)), MessageIcon::kInformation);
}

void Form1::Go() {
  const std::optional<std::string> folder = FolderForGo();
  if (!folder) return;
  RunSettings settings = CurrentRunSettings();
  settings.RomFolder = *folder;
  Form1Host host = MakeHost(this);
  // The run does not return to the event loop before its end.
  const WaitCursor busy;
  RunCleaning(settings, host);
}

Form1Host Form1::MakeHost(QWidget* over) {
  const auto open_in_editor = [this](const std::string& log) { OpenLogInEditor(log, this, options_.log_opener); };
  return Form1Host(over, progress_, result_, options_.open_log ? options_.open_log : open_in_editor);
}

void Form1::Preview() {
  const std::optional<std::string> folder = ChosenFolder();
  if (!folder) return;
  RunSettings settings = CurrentRunSettings();
  settings.RomFolder = *folder;
  CleaningPlan plan;
  Status planned = Status::Ok();
  {
    const WaitCursor busy;
    planned = PlanFolder(settings, &plan);
  }
  if (!planned.ok()) {
    ShowMessageBox(preview_ ? static_cast<QWidget*>(preview_) : this, QString::fromStdString(planned.ToString()),
                   MessageIcon::kExclamation);
    return;
  }
  if (!preview_) {
    preview_ = new PreviewForm(this);
    connect(preview_, &PreviewForm::RefreshRequested, this, &Form1::Preview);
    connect(preview_, &PreviewForm::ApplyRequested, this, &Form1::ApplyPreview);
  }
  previewed_ = settings;
  preview_refused_ = false;
  preview_->ShowPlan(std::move(plan), settings.RomFolder,
                     EnglishChosen() ? PreviewLanguage::kEnglish : PreviewLanguage::kFrench);
  UpdatePreview();
  if (preview_->isVisible()) {  // behind the cleaning window, perhaps
    preview_->raise();
    preview_->activateWindow();
  }
  preview_->show();
}

void Form1::UpdatePreview() {
  if (!preview_) return;
  preview_->SetUpToDate(!preview_refused_ && SamePlanInputs(previewed_, CurrentRunSettings()));
  preview_->SetApplyAllowed(!test_->isChecked());
}

void Form1::ApplyPreview() {
  UpdatePreview();
  if (!preview_ || !preview_->up_to_date() || test_->isChecked()) return;
  // A real run like Go's, on the folder the plan was made of: it must still be the chosen one.
  const std::optional<std::string> folder = FolderForGo();
  if (!folder || *folder != previewed_.RomFolder) return;
  RunSettings settings = CurrentRunSettings();
  settings.RomFolder = *folder;
  Form1Host host = MakeHost(preview_);
  RunResult result;
  {
    const WaitCursor busy;
    result = ApplyPlan(preview_->plan(), settings, host);
  }
  if (result.outcome == RunResult::Outcome::kCompleted) {
    Preview();  // what the folder holds now
  } else if (result.outcome == RunResult::Outcome::kFolderChanged) {
    preview_refused_ = true;
    UpdatePreview();
  }
}

void Form1::hideEvent(QHideEvent* event) {
  // A window minimised by the user keeps its preview; one that is hidden (Quit, the menu) closes it.
  if (preview_ && !event->spontaneous()) preview_->close();
  JobForm::hideEvent(event);
}

void Form1::ApplyTranslationToggle() {
  const bool wanted = translations_wanted_->isChecked();
  translations_->setEnabled(wanted);
  // The window's own palette holds the system colours; the box's palette is the one changed here.
  const QColor background = palette().color(QPalette::Active, wanted ? QPalette::Base : QPalette::Button);
  QPalette palette = translations_->palette();
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, background);
  }
  translations_->setPalette(palette);
}

}  // namespace varnel
