#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"

namespace varnel {

namespace fs = std::filesystem;

void WriteFile(const fs::path& path, std::string_view contents, bool executable) {
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(contents.data(), std::streamsize(contents.size()));
  if (executable) fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

void WriteScript(const fs::path& path, std::string_view body) {
  WriteFile(path, "#!/bin/sh\n" + std::string(body), /*executable=*/true);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

fs::path Utf8Path(std::string_view bytes) { return fs::path(std::u8string(bytes.begin(), bytes.end())); }

TempFolder::TempFolder(const fs::path& parent, std::string_view prefix) {
  std::random_device random;
  for (;;) {
    const fs::path candidate = parent / (std::string(prefix) + std::to_string(random()));
    if (fs::create_directories(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  for (const fs::directory_entry& entry :
       fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, ignored)) {
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) {
      fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
  }
  fs::remove_all(path_, ignored);
}

std::string TempFolder::operator/(std::string_view name) const { return (fs::path(path_) / name).string(); }

std::string TempFolder::Touch(std::string_view name, std::string_view contents) const {
  std::string path = *this / name;
  WriteFile(path, contents);
  return path;
}

void TempFolder::TouchAll(const std::vector<std::string>& names) const {
  for (const std::string& name : names) Touch(name);
}

bool TempFolder::Has(std::string_view name) const {
  std::error_code ignored;
  return fs::symlink_status(*this / name, ignored).type() != fs::file_type::not_found;
}

std::string TempFolder::Read(std::string_view name) const { return ReadFile(*this / name); }

}  // namespace varnel
