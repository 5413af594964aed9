#include "jobs/zip/zipper_fichier.h"

#include <string>

#include "jobs/zip/archiver_command.h"
#include "platform/file_ops.h"

namespace varnel {

namespace {

// The size of a zip archive that holds nothing: its end-of-central-directory record alone.
constexpr std::uint64_t kEmptyZipSize = 22;
// Names of temporaries tried before giving up: an earlier process of the same id may have left some.
constexpr int kTemporaryTries = 100;

// A name for the archive's temporary that nothing in `archive_folder` has, a link or a folder included; empty
// when none is free.
std::string FreeTemporaryName(const std::string& archive_folder) {
  for (int attempt = 0; attempt < kTemporaryTries; ++attempt) {
    std::string name = NewTemporaryName();
    if (!PathExists(JoinPath(archive_folder, name))) return name;
  }
  return {};
}

}  // namespace

ZippedFile ZipperFichier(const std::string& archiver, const std::string& folder, const std::string& file_name,
                         std::chrono::milliseconds hang_limit, const WaitEvents& events) {
  ZippedFile result;
  // A folder or a FIFO put in the file's place since the listing: the archiver would zip the folder's
  // contents, or wait for a writer forever.
  if (const Status source = CheckRegularFile(JoinPath(folder, file_name)); !source.ok()) {
    result.reason = source.message();
    return result;
  }
  const std::string archive_folder = JoinPath(folder, kArchiveFolderName);
  const std::string temporary_name = FreeTemporaryName(archive_folder);
  if (temporary_name.empty()) {
    result.reason = "no free temporary name in " + archive_folder;
    return result;
  }
  const std::string temporary = JoinPath(archive_folder, temporary_name);

  ChildProcess child;  // its handles are closed when it goes out of scope
  result.run.error = LancerProcess(ArchiverCommand(archiver, folder, temporary_name, file_name), &child);
  if (!result.run.error.ok()) return result;
  const ActivityProbe written = [&temporary] {
    std::uint64_t size = 0;
    RegularFileSize(temporary, &size);
    return size;
  };
  result.run = AttendreFinProcess(&child, hang_limit, written, events);

  // A failed file's temporary goes; one that cannot go is already reported through the file's failure and is
  // removed as a leftover by the next job on the folder.
  const auto discard_temporary = [&temporary] { RemoveFile(temporary).IgnoreError(); };
  std::uint64_t size = 0;
  const bool written_file = RegularFileSize(temporary, &size);
  if (!result.run.error.ok() || result.run.stopped || result.run.exit_code != 0) {
    if (written_file) discard_temporary();
    if (result.run.error.ok() && !result.run.stopped)
      result.reason = "7z ended with code " + std::to_string(result.run.exit_code);
    return result;
  }
  if (!written_file) {
    result.reason = "7z wrote no archive";
    return result;
  }
  if (size <= kEmptyZipSize) {
    discard_temporary();
    result.reason = "7z wrote an empty archive";
    return result;
  }
  Status status = FlushFile(temporary);
  if (status.ok()) status = MoveWithoutReplace(temporary, JoinPath(archive_folder, ZipArchiveName(file_name)));
  if (!status.ok()) {
    discard_temporary();
    result.reason = status.message();
    return result;
  }
  result.zipped = true;
  return result;
}

}  // namespace varnel
