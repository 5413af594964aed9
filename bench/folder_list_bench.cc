// The memory a job window's folder list takes for a folder of 138,090 files (the names of every romname list
// beside the checkout, or generated names): the program's resident memory once the window shows the folder's
// parent (the baseline), after the folder is chosen in the path line, after it is opened in the tree (its
// sub-folders read), and the peak. Target: choosing the folder adds less than 10 MB.
//
// Usage: folder_list_bench [ROMNAMES_FOLDER].

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeView>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/well_known_names.h"
#include "jobs/alpha/form2.h"
#include "ui/kit/folder_tree.h"

namespace varnel {
namespace {

constexpr int kGeneratedNames = 138090;

// A value of /proc/self/status in MiB ("VmRSS", "VmHWM").
double StatusMiB(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(field, 0) == 0 && line[std::string(field).size()] == ':') {
      return std::stod(line.substr(std::string(field).size() + 1)) / 1024.0;
    }
  }
  return 0;
}

bool Create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

// Fills `folder` with empty files named after every line of the lists in `lists` (a name that comes twice makes
// one file), reading one name at a time so that the names never sit in this process's memory.
int Populate(const std::filesystem::path& lists, const std::string& folder) {
  int created = 0;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(lists, error)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream list(entry.path(), std::ios::binary);
    for (std::string name; std::getline(list, name);) {
      if (!name.empty() && name.back() == '\r') name.pop_back();
      if (!name.empty() && name.find('/') == std::string::npos && Create(folder + '/' + name)) ++created;
    }
  }
  if (created > 0) return created;
  std::printf("(no real name list: generated names)\n");
  for (int i = 0; i < kGeneratedNames; ++i) {
    created += Create(folder + "/Game " + std::to_string(i / 6) + " (" + "UEJFGS"[i % 6] + ") [!].nes") ? 1 : 0;
  }
  return created;
}

// Lets the window handle what is pending, its folder watching included.
void Settle() {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 300) QApplication::processEvents(QEventLoop::AllEvents, 50);
}

int Main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  const std::filesystem::path lists = argc > 1 ? argv[1] : VARNEL_SOURCE_DIR "/../shared/data/romnames";
  QTemporaryDir temp;
  const QString folder = temp.filePath(QStringLiteral("roms"));
  std::filesystem::create_directory(folder.toStdString());
  const int files = Populate(lists, folder.toStdString());

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
