// A stand-in for the archiver in the Windows tests, where shell scripts cannot play it:
//   stub_archiver a <archive> -tzip <source>   copies <source> to <archive>, exit code 0
//   stub_archiver exit <N>                    exit code N
//   stub_archiver sleep <milliseconds>        sleeps, exit code 0
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
  if (verb == "a" && argc == 5) {
    std::ifstream source(argv[4], std::ios::binary);
    if (!source) return 2;
    std::ofstream archive(argv[2], std::ios::binary);
    archive << source.rdbuf();
    return archive ? 0 : 2;
  }
  return 64;
}
