#include <windows.h>

#include <string>

#include "platform/system.h"
#include "platform/windows/win_handle.h"
#include "platform/windows/win_text.h"

namespace varnel {

Status GatherOrdinaryFiles(const std::string& folder, GatheredNames* names) {
  constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return ForEachFolderEntry(Utf8ToWide(folder) + L"\\*", /*folders_only=*/false,
                            [names](std::wstring_view name, unsigned long attributes) {
                              if ((attributes & kSkipped) == 0) names->Add(WideToUtf8(name));
                            });
}

}  // namespace varnel
