#ifndef VARNEL_TESTS_SUPPORT_PROCESSES_H_
#define VARNEL_TESTS_SUPPORT_PROCESSES_H_

#include <filesystem>

namespace varnel {

// True once the process `id` has ended (POSIX: a zombie nobody reaped yet counts as ended), waiting up to ten
// seconds for one that was just killed to go.
bool ProcessEnded(long id);

// The process id a script wrote into the file `path`; 0 when there is none.
long ProcessIdIn(const std::filesystem::path& path);

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_PROCESSES_H_
