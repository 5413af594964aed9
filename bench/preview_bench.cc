// Opening the cleaning window's preview over a folder of 138,090 files (the names of every romname list beside the
// checkout, or generated names) against a test-mode run over the same folder: the time from the click on "Preview"
// to the window shown with its rows laid out (the folder planned, the model arranged, every game open), the
// resident memory that adds, and the ratio to the test run. Medians of interleaved repeats; the memory is that of
// the first opening. Targets: under 1 s, under 100 MB, at most 3 times the test run.
//
// Usage: preview_bench [ROMNAMES_FOLDER].

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/well_known_names.h"
#include "engine/cleaning_run.h"
#include "settings/form1.h"
#include "settings/preview_form.h"

namespace varnel {
namespace {

constexpr int kRepeats = 5;

// Clicks "Preview" and lets the window show and lay out its rows; the preview opened.
PreviewForm* OpenPreview(Form1& form) {
  form.findChild<QPushButton*>(QStringLiteral("Command5"))->click();
  QApplication::processEvents();
  auto* preview = form.findChild<PreviewForm*>(QStringLiteral("PreviewForm"));
  if (preview != nullptr) preview->findChild<QTreeView*>(QStringLiteral("List1"))->viewport()->repaint();
  return preview;
}

int Main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QTemporaryDir temp;
  const QString folder = temp.filePath(QStringLiteral("roms"));
  const int files = MakeRomNamesFolder(argc, argv, folder.toStdString());

  QApplication app(argc, argv);
  Form1Options options;
  options.config_path = temp.filePath(QString::fromLatin1(varnel::kConfigFileName)).toStdString();
  options.start_folder = folder;
  options.open_log = [](const std::string&) {};
  options.state_path = temp.filePath(QString::fromLatin1(varnel::kStateFileName)).toStdString();
  Form1 form(options);
  form.findChild<QCheckBox*>(QStringLiteral("LogFile"))->setChecked(false);
  form.show();
  QApplication::processEvents();
  const RunSettings settings = form.CurrentRunSettings();
  // The test run writes its log into the folder before the first opening, so that every plan lists the same files.
  SilentCleaningHost host;
  std::vector<double> runs = {Seconds([&] { RunCleaning(settings, host); })};

  const double before = StatusMiB("VmRSS");
  PreviewForm* preview = nullptr;
  std::vector<double> opens = {Seconds([&] { preview = OpenPreview(form); })};
  const double after = StatusMiB("VmRSS");
  if (preview == nullptr || !preview->isVisible()) {
    std::fprintf(stderr, "the preview did not open\n");
    return 1;
  }
  const std::size_t shown = preview->plan().listing.size();
  for (int i = 1; i < kRepeats; ++i) {
    delete preview;
    QApplication::processEvents();
    runs.push_back(Seconds([&] { RunCleaning(settings, host); }));
    opens.push_back(Seconds([&] { preview = OpenPreview(form); }));
  }

  const double run = Median(runs), open = Median(opens);
  std::printf("files in the folder: %d, in the preview: %zu, repeats: %d\n", files, shown, kRepeats);
  std::printf("test-mode run (baseline):  %8.1f ms\n", run * 1e3);
  std::printf("preview opened:            %8.1f ms  ratio %.2f (targets: under 1000 ms, ratio 3 at most)\n", open * 1e3,
              open / run);
  std::printf(
      "resident memory:           %8.1f MiB before, %.1f MiB after the first opening: +%.1f MiB (target: "
      "+100 MB at most)\n",
      before, after, after - before);
  std::printf("peak resident:             %8.1f MiB\n", StatusMiB("VmHWM"));
  return 0;
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) { return varnel::Main(argc, argv); }
