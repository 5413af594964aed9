#ifndef VARNEL_JOBS_ZIP_ARCHIVER_LOOKUP_H_
#define VARNEL_JOBS_ZIP_ARCHIVER_LOOKUP_H_

#include <string>

#include "common/well_known_names.h"

namespace varnel {

// The archiver to run: kArchiverFileName in `program_folder` when it is a startable file there; elsewhere than
// on Windows, else the first startable kArchiverFileName in the absolute folders of `search_path` (PATH's
// syntax: folders separated by ":"; empty and relative entries are skipped). Empty when none is found.
std::string FindArchiver(const std::string& program_folder, const std::string& search_path);

// FindArchiver over the running program's folder and the PATH environment variable.
std::string FindArchiver();

}  // namespace varnel

#endif  // VARNEL_JOBS_ZIP_ARCHIVER_LOOKUP_H_
