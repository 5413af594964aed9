#include "jobs/zip/zip_job.h"

#include <array>
#include <charconv>
#include <cstddef>

#include "jobs/zip/zipper_fichier.h"
#include "platform/file_ops.h"
#include "platform/listing.h"

namespace varnel {

namespace {

constexpr char kArchiveFolder[] = "ZippedRoms";
constexpr std::size_t kFailuresNamed = 5;

std::string Decimal(int number) {
  std::array<char, 16> digits;
  const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), number).ptr;
  return std::string(digits.data(), end);
}

// Makes sure <folder>/ZippedRoms is a folder; on failure shows why and returns false.
bool PrepareArchiveFolder(const std::string& folder, ZipHost& host) {
  const std::string path = JoinPath(folder, kArchiveFolder);
  if (IsFolder(path)) return true;
  if (PathExists(path)) {
    host.ShowMessage("\"ZippedRoms\" exists as a file in " + folder + "; nothing was zipped.", kIconStop);
    return false;
  }
  const Status made = MakeFolder(path);
  if (!made.ok()) {
    host.ShowMessage("Cannot create " + path + ": " + made.message(), kIconStop);
    return false;
  }
  return true;
}

}  // namespace

ZipJobResult RunZipJob(const ZipJobSettings& settings, ZipHost& host) {
  ZipJobResult result;
  // The job works on its own snapshot: the archives go into a sub-folder, so they never join it.
  Status listed;
  const std::vector<std::string> names = ListOrdinaryFiles(settings.folder, &listed);
  if (!listed.ok()) {
    host.ShowMessage("Cannot read " + settings.folder + ": " + listed.message(), kIconStop);
    result.end = ZipJobEnd::kNotStarted;
    return result;
  }
  if (names.empty()) {
    host.ShowMessage("Empty directory", kIconExclamation);
    result.end = ZipJobEnd::kEmptyFolder;
    return result;
  }

  const double maximum = 2.0 + static_cast<double>(names.size());
  double value = 0;
  host.SetProgress(0, maximum, value);
  if (!PrepareArchiveFolder(settings.folder, host)) {
    result.end = ZipJobEnd::kNotStarted;
    return result;
  }

  const WaitEvents events = [&host] {
    host.ProcessEvents();
    return !host.StopRequested();
  };
  for (const std::string& name : names) {
    if (!events()) {
      result.end = ZipJobEnd::kStopped;
      return result;
    }
    const ProcessRun run = ZipperFichier(settings.archiver, settings.folder, name, settings.timeout, events);
    if (run.stopped) {
      result.end = ZipJobEnd::kStopped;
      return result;
    }
    if (!run.error.ok()) {
      host.ShowMessage(RunnerErrorMessage(run.error), kIconStop);
      result.end = ZipJobEnd::kRunnerError;
      result.error = run.error;
      return result;
    }
    if (run.exit_code == 0) {
      ++result.zipped;
    } else {
      result.failed.push_back(name);
    }
    value += 1;
    host.SetProgress(0, maximum, value);
  }
  host.ShowMessage(ZipEndMessage(result.zipped, result.failed), result.failed.empty() ? kIconNone : kIconExclamation);
  return result;
}

std::string ZippedLine(int zipped) { return Decimal(zipped) + " files zipped"; }

std::string NotZippedLine(const std::vector<std::string>& failed) {
  std::string line = Decimal(static_cast<int>(failed.size())) + " files not zipped: ";
  for (std::size_t i = 0; i < failed.size() && i < kFailuresNamed; ++i) {
    if (i > 0) line += ", ";
    line += failed[i];
  }
  if (failed.size() > kFailuresNamed) line += ", ...";
  return line;
}

std::string ZipEndMessage(int zipped, const std::vector<std::string>& failed) {
  if (failed.empty()) return ZippedLine(zipped);
  return ZippedLine(zipped) + "\n" + NotZippedLine(failed);
}

std::string RunnerErrorMessage(const ProcessError& error) {
  return "Error " + Decimal(error.number) + ": " + error.description;
}

}  // namespace varnel
