#ifndef VARNEL_PLATFORM_WINDOWS_WIN_TEXT_H_
#define VARNEL_PLATFORM_WINDOWS_WIN_TEXT_H_

// What the Windows files of the platform layer share: text conversions and the system's reasons; not for
// the jobs.

#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// UTF-8 to the UTF-16 that the wide Windows calls take, and back.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
// UTF-16 to the code page `code_page` (CP_UTF8, CP_ACP, …); characters it cannot hold become the system's
// default character.
std::string WideToCodePage(std::wstring_view text, unsigned code_page);

// The system's text for a GetLastError() value (a DWORD), without its trailing line break.
std::string SystemMessage(unsigned long error);

// A failure carrying `error` (a GetLastError() value) and the system's text for it.
Status WindowsErrorStatus(unsigned long error);

// The same for the calling thread's last error.
Status LastErrorStatus();

}  // namespace varnel

#endif  // VARNEL_PLATFORM_WINDOWS_WIN_TEXT_H_
