// A test-mode cleaning run started from the cleaning window's "Go" (message boxes, progress bar, result
// label) against the same run with a host that does nothing, over a folder of 37k real names.

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "common/well_known_names.h"
#include "engine/cleaning_run.h"
#include "settings/form1.h"
#include "settings/form1_values.h"

namespace varnel {
namespace {

constexpr int kRepeats = 7;
constexpr int kGeneratedNames = 37145;

// Counts the progress bar's paint events.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
};

std::vector<std::string> RomNames() {
  std::vector<std::string> names;
  std::ifstream list(VARNEL_SOURCE_DIR "/../shared/data/romnames/goodgba.txt");
  for (std::string line; std::getline(list, line);) {
    if (!line.empty()) names.push_back(line);
  }
  if (!names.empty()) return names;
  std::printf("(no real name list: generated names)\n");
  const char* zones[] = {"(U)", "(E)", "(J)", "(UE)", "(F)", "(G)"};
  for (int i = 0; i < kGeneratedNames; ++i) {
    names.push_back("Game " + std::to_string(i / 6) + " " + zones[i % 6] + (i % 4 == 0 ? " [!]" : "") + ".gba");
  }
  return names;
}

int Main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  QTemporaryDir temp;
  const QString folder = temp.filePath(QStringLiteral("roms"));
  QDir().mkpath(folder);
  const std::vector<std::string> names = RomNames();
  for (const std::string& name : names) {
    QFile file(folder + QLatin1Char('/') + QString::fromStdString(name));
    if (!file.open(QIODevice::WriteOnly)) {
      std::fprintf(stderr, "Cannot create %s\n", qPrintable(file.fileName()));
      return 1;
    }
  }

  Form1Options options;
  options.config_path = temp.filePath(QString::fromLatin1(varnel::kConfigFileName)).toStdString();
  options.start_folder = folder;
  options.open_log = [](const std::string&) {};
  options.state_path = temp.filePath(QString::fromLatin1(varnel::kStateFileName)).toStdString();
  Form1 form(options);
  form.findChild<QCheckBox*>(QStringLiteral("LogFile"))->setChecked(false);
  form.show();
  QApplication::processEvents();
  auto* go = form.findChild<QPushButton*>(QStringLiteral("Command1"));
  auto* bar = form.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
  PaintCounter counter;
  bar->installEventFilter(&counter);
  const RunSettings settings = form.CurrentRunSettings();

  std::vector<double> window_runs;
  std::vector<double> silent_runs;
  for (int i = 0; i < kRepeats; ++i) {
    SilentCleaningHost silent;
    silent_runs.push_back(Seconds([&] { RunCleaning(settings, silent); }));
    window_runs.push_back(Seconds([&] { go->click(); }));
  }
  const double window = Median(window_runs);
  const double baseline = Median(silent_runs);
  std::printf("files: %zu, repeats: %d\n", names.size(), kRepeats);
  std::printf("test-mode run, silent host (baseline): %8.2f ms\n", baseline * 1e3);
  std::printf("test-mode run from Go, Form1's host:   %8.2f ms  ratio %.3f (target <= 1.2)\n", window * 1e3,
              window / baseline);
  std::printf("progress bar paints per run: %d\n", counter.paints / kRepeats);
  return 0;
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) { return varnel::Main(argc, argv); }
