#ifndef VARNEL_COMMON_WELL_KNOWN_NAMES_H_
#define VARNEL_COMMON_WELL_KNOWN_NAMES_H_

// The names of the files and folders Varnel reads, writes or looks for, each spelled here once. Messages and
// captions that name them for the user keep their own wording.

namespace varnel {

// In the folder a job works on: the cleaning run's log, which the alphabetical job leaves where it is.
inline constexpr char kLogFileName[] = "logfile.txt";
// The sub-folder the cleaning run moves the files it does not keep into, when told to move instead of delete.
inline constexpr char kMovedFolderName[] = "moved";
// The sub-folder that holds the alphabetical job's letter folders.
inline constexpr char kAlphaFoldersName[] = "AlphaFolders";
// The sub-folder the zip job writes its archives into.
inline constexpr char kArchiveFolderName[] = "ZippedRoms";

// The archiver's file name: "7z.exe" on Windows, "7z" elsewhere (Debian's p7zip-full).
#ifdef _WIN32
inline constexpr char kArchiverFileName[] = "7z.exe";
#else
inline constexpr char kArchiverFileName[] = "7z";
#endif

// The configuration file of the cleaning window and the command-line tool.
inline constexpr char kConfigFileName[] = "varnel_config.txt";
// The program's state file (the folders and options the windows remember), and the folder that holds it.
inline constexpr char kStateFileName[] = "state.ini";
#ifdef _WIN32
inline constexpr char kStateFolderName[] = "Varnel";
#else
inline constexpr char kStateFolderName[] = "varnel";
#endif

// The folder, beside the state file, that keeps the history of the real runs.
inline constexpr char kHistoryFolderName[] = "history";

}  // namespace varnel

#endif  // VARNEL_COMMON_WELL_KNOWN_NAMES_H_
