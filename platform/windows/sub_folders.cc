#include "platform/sub_folders.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

#include "platform/listing.h"
#include "platform/system.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

bool SameEntryName(std::string_view a, std::string_view b) {
  const auto folded = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return folded(x) == folded(y); });
}

Status ListSubFolders(const std::string& folder, std::vector<std::string>* names) {
  names->clear();
  if (folder.empty()) return WindowsErrorStatus(ERROR_PATH_NOT_FOUND);  // "*" alone would list the current folder
  std::wstring pattern = Utf8ToWide(folder);
  if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/') pattern += L'\\';
  pattern += L'*';
  constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  const Status status =
      ForEachFolderEntry(pattern, /*folders_only=*/true, [names](std::wstring_view name, unsigned long attributes) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return;
        if ((attributes & kHidden) != 0 || name == L"." || name == L"..") return;
        names->push_back(WideToUtf8(name));
      });
  if (!status.ok()) {
    names->clear();
    return status;
  }
  SortListedNames(names);
  return Status::Ok();
}

Status IdentifyFolder(const std::string& path, FolderIdentity* identity) {
  // No access asked for: the attributes and the file index come with any handle, and a folder held by another
  // program opens all the same.
  const Handle folder(CreateFileW(Utf8ToWide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.valid()) return LastErrorStatus();
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder.get(), &info)) return LastErrorStatus();
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Status::Error(kNotAFolder);
  identity->device = info.dwVolumeSerialNumber;
  identity->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return Status::Ok();
}

}  // namespace varnel
