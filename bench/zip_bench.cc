// Zips 200 files of 16 KiB through the zip job and through a plain shell loop of the same commands (the
// archiver writing a temporary with the same switches, then a rename to the archive's name), and prints the
// medians and their ratio. Names come from the real romset names when the shared data lies
// beside the source tree, generated ones otherwise.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "jobs/zip/archiver_command.h"
#include "jobs/zip/archiver_lookup.h"
#include "jobs/zip/zip_job.h"
#include "platform/listing.h"

namespace {

namespace fs = std::filesystem;
using varnel::ZipHost;

constexpr int kFiles = 200;
constexpr std::size_t kFileSize = 16 * 1024;
constexpr int kRepeats = 7;

class QuietHost : public ZipHost {
 public:
  void ShowMessage(const std::string& text, varnel::MessageIcon) override { last_message = text; }
  void SetProgress(double, double, double) override {}
  std::string last_message;
};

std::vector<std::string> FileNames() {
  std::vector<std::string> names;
  std::ifstream in(std::string(VARNEL_SOURCE_DIR) + "/../shared/data/romnames/goodnes.txt");
  std::string line;
  for (int i = 0; std::getline(in, line); ++i) {
    if (i % 97 == 0 && !line.empty()) names.push_back(line);
    if (names.size() == kFiles) return names;
  }
  names.clear();
  for (int i = 0; i < kFiles; ++i) names.push_back("Game " + std::to_string(i) + " (E) [!].nes");
  return names;
}

// Incompressible-looking contents, like a ROM's.
std::string Contents(unsigned seed) {
  std::string data(kFileSize, '\0');
  for (char& c : data) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return data;
}

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double Seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main() {
  const char* path = std::getenv("PATH");
  const std::string archiver = varnel::FindArchiver("", path == nullptr ? "" : path);
  if (archiver.empty()) {
    std::printf("zip_bench: no 7z on PATH, skipped\n");
    return 0;
  }
  const fs::path root = fs::temp_directory_path() / ("varnel-zip-bench-" + std::to_string(::getpid()));
  const std::string folder = root.string();
  fs::create_directories(root);
  const std::vector<std::string> names = FileNames();
  for (std::size_t i = 0; i < names.size(); ++i) std::ofstream(root / names[i], std::ios::binary) << Contents(i);

  // The baseline: the very commands of the job, one shell line each, in the job's order.
  const std::string script = (root.parent_path() / (root.filename().string() + ".sh")).string();
  {
    std::ofstream out(script);
    int count = 0;
    std::vector<std::string> listed;
    if (const varnel::Status status = varnel::ListOrdinaryFiles(folder, &listed); !status.ok()) {
      std::fprintf(stderr, "zip_bench: %s\n", status.ToString().c_str());
      return 1;
    }
    for (const std::string& name : listed) {
      const std::string temporary = ".varnel-0-" + std::to_string(count++) + ".tmp";
      std::string line;
      for (const std::string& argument : varnel::ArchiverArguments(archiver, folder, temporary, name)) {
        line += ShellQuoted(argument) + " ";
      }
      const std::string archives = folder + "/" + varnel::kArchiveFolderName + "/";
      out << line << "</dev/null >/dev/null 2>&1 && mv -n " << ShellQuoted(archives + temporary) << " "
          << ShellQuoted(archives + varnel::ZipArchiveName(name)) << "\n";
    }
  }
  const std::string shell_command = "sh " + ShellQuoted(script);
  const fs::path archives = root / varnel::kArchiveFolderName;

  std::vector<double> job_times, shell_times;
  for (int repeat = 0; repeat < kRepeats; ++repeat) {
    fs::remove_all(archives);
    QuietHost host;
    const auto job_start = std::chrono::steady_clock::now();
    varnel::ZipJobSettings settings{folder, archiver, varnel::kArchiverHangLimit};
    settings.history =
        varnel::HistoryPlace::In((root.parent_path() / (root.filename().string() + "-history")).string());
    const varnel::ZipJobResult result = varnel::RunZipJob(settings, host);
    job_times.push_back(Seconds(std::chrono::steady_clock::now() - job_start));
    if (result.zipped != kFiles) {
      std::fprintf(stderr, "zip_bench: the job said \"%s\"\n", host.last_message.c_str());
      return 1;
    }

    fs::remove_all(archives);
    fs::create_directory(archives);
    const auto shell_start = std::chrono::steady_clock::now();
    if (std::system(shell_command.c_str()) != 0) {
      std::fprintf(stderr, "zip_bench: the shell loop failed\n");
      return 1;
    }
    shell_times.push_back(Seconds(std::chrono::steady_clock::now() - shell_start));
  }
  fs::remove_all(root);
  fs::remove_all(root.parent_path() / (root.filename().string() + "-history"));
  fs::remove(script);

  const double job = Median(job_times), shell = Median(shell_times);
  std::printf("zip_bench: %d files of %zu KiB, %s, median of %d\n", kFiles, kFileSize / 1024, archiver.c_str(),
              kRepeats);
  std::printf("  zip job     %8.1f ms\n  shell loop  %8.1f ms\n  ratio       %8.3f (target <= 1.15)\n", job * 1000,
              shell * 1000, job / shell);
  return 0;
}
