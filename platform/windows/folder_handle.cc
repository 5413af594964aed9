#include "platform/folder_handle.h"

#include "platform/file_ops.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

FolderHandle::~FolderHandle() { Close(); }

void FolderHandle::Close() { fd_ = -1; }

// TODO: hold the folder open (a directory handle and FILE_DISPOSITION_INFO) if deleting by path ever shows
// up in a profile there; until then the paths are joined for each file, as before.
void FolderHandle::Open(const std::string& path) { path_ = path; }

Status FolderHandle::RemoveFile(const std::string& name) const { return varnel::RemoveFile(JoinPath(path_, name)); }

Status FolderHandle::IdentifyFile(const std::string& name, FileIdentity* identity) const {
  return varnel::IdentifyFile(JoinPath(path_, name), identity);
}

Status FolderHandle::ForEachName(const std::function<void(std::string_view name)>& each) const {
  return ForEachFolderEntry(Utf8ToWide(path_) + L"\\*", /*folders_only=*/false,
                            [&each](std::wstring_view name, unsigned long) {
                              if (name != L"." && name != L"..") each(WideToUtf8(name));
                            });
}

Status FolderHandle::MoveWithoutReplace(const std::string& name, const FolderHandle& target,
                                        const std::string& target_name) const {
  return varnel::MoveWithoutReplace(JoinPath(path_, name), JoinPath(target.path_, target_name));
}

}  // namespace varnel
