// The memory a job window's folder list takes for a folder of 138,090 files (the names of every romname list
// beside the checkout, or generated names): the program's resident memory once the window shows the folder's
// parent (the baseline), after the folder is chosen in the path line, after it is opened in the tree (its
// sub-folders read), and the peak. Target: choosing the folder adds less than 10 MB.
//
// Usage: folder_list_bench [ROMNAMES_FOLDER].

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "common/well_known_names.h"
#include "jobs/alpha/form2.h"
#include "ui/kit/folder_tree.h"

namespace varnel {
namespace {

// Lets the window handle what is pending, its folder watching included.
void Settle() {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

int Main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QTemporaryDir temp;
  const QString folder = temp.filePath(QStringLiteral("roms"));
  const int files = MakeRomNamesFolder(argc, argv, folder.toStdString());

  QApplication app(argc, argv);
  Form2Options options;
  options.start_folder = temp.path();
  options.state_path = temp.filePath(QString::fromLatin1(varnel::kStateFileName)).toStdString();
  Form2 form(options);
  form.show();
  Settle();
  const double baseline = StatusMiB("VmRSS");

  auto* line = form.findChild<QLineEdit*>(QStringLiteral("PathLine"));
  line->setText(folder);
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(line, &enter);
  Settle();
  const double chosen = StatusMiB("VmRSS");
  if (form.findChild<FolderTree*>(QStringLiteral("Dir1"))->Path() != folder) {
    std::fprintf(stderr, "the folder was not chosen\n");
    return 1;
  }

  auto* tree = form.findChild<QTreeView*>(QStringLiteral("Folders"));
  tree->setFocus();
  QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
  QApplication::sendEvent(tree, &right);
  Settle();
  const double opened = StatusMiB("VmRSS");
  if (!tree->isExpanded(tree->currentIndex())) {
    std::fprintf(stderr, "the folder was not opened\n");
    return 1;
  }

  std::printf("files in the folder: %d\n", files);
  std::printf("resident, the window on the folder's parent (baseline): %7.1f MiB\n", baseline);
  std::printf("resident, the folder chosen:  %7.1f MiB  +%.1f MiB  ratio %.3f (target: +10 MB at most)\n", chosen,
              chosen - baseline, chosen / baseline);
  std::printf("resident, the folder opened:  %7.1f MiB  +%.1f MiB  ratio %.3f\n", opened, opened - baseline,
              opened / baseline);
  std::printf("peak resident:                %7.1f MiB\n", StatusMiB("VmHWM"));
  return 0;
}

}  // namespace
}  // namespace varnel

int main(int argc, char** argv) { return varnel::Main(argc, argv); }
