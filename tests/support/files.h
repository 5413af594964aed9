#ifndef VARNEL_TESTS_SUPPORT_FILES_H_
#define VARNEL_TESTS_SUPPORT_FILES_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace varnel {

// Writes `contents` to the file `path`, replacing it; with `executable` (POSIX) the owner may run it.
void WriteFile(const std::filesystem::path& path, std::string_view contents = "", bool executable = false);
// Writes an executable shell script: "#!/bin/sh", then `body`.
void WriteScript(const std::filesystem::path& path, std::string_view body);
// The bytes of the file `path`; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// A path from its UTF-8 bytes, whatever the system's code page (Windows reads a plain std::string in it).
std::filesystem::path Utf8Path(std::string_view bytes);

}  // namespace varnel

#endif  // VARNEL_TESTS_SUPPORT_FILES_H_
