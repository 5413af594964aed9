// A stand-in for the archiver in the Windows tests, where shell scripts cannot play it:
//   stub_archiver a <archive> -tzip -spd -sse <source>   copies <source> to <archive>, exit code 0
//   stub_archiver exit <N>                              exit code N
//   stub_archiver sleep <milliseconds>                  sleeps, exit code 0
//   stub_archiver spin <milliseconds>                   keeps the processor busy that long, exit code 0
//   stub_archiver spawn <file>                          starts "stub_archiver sleep 300000", writes its process
//                                                       id into <file>, then sleeps
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
  if (argc < 3) return 64;
  const std::string verb = argv[1];
  if (verb == "exit") return std::atoi(argv[2]);
  if (verb == "sleep") {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(argv[2])));
    return 0;
  }
  if (verb == "spin") {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::atoi(argv[2]));
    volatile unsigned long long sum = 0;
    while (std::chrono::steady_clock::now() < end) {
      for (int i = 0; i < 100000; ++i) sum = sum + i;
    }
    return 0;
  }
  if (verb == "spawn") {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = std::string("\"") + self + "\" sleep 300000";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return 3;
    std::ofstream(argv[2]) << info.dwProcessId;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    Sleep(300000);
    return 0;
  }
  if (verb == "a" && argc == 7) {
    std::ifstream source(argv[6], std::ios::binary);
    if (!source) return 2;
    std::ofstream archive(argv[2], std::ios::binary);
    archive << source.rdbuf();
    return archive ? 0 : 2;
  }
  return 64;
}
