#include "tests/support/processes.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/files.h"

namespace varnel {

#ifdef _WIN32

bool ProcessEnded(long id) {
  const HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(id));
  if (process == nullptr) return true;
  const bool ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended;
}

#else

bool ProcessEnded(long id) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  do {
    const std::string stat = ReadFile("/proc/" + std::to_string(id) + "/stat");
    const std::size_t name_end = stat.rfind(')');
    if (stat.empty() || (name_end != std::string::npos && name_end + 2 < stat.size() &&
                         (stat[name_end + 2] == 'Z' || stat[name_end + 2] == 'X'))) {
      return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

#endif

long ProcessIdIn(const std::filesystem::path& path) {
  const std::string text = ReadFile(path);
  return text.empty() ? 0 : std::atol(text.c_str());
}

}  // namespace varnel
