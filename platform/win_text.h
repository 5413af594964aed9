#ifndef VARNEL_PLATFORM_WIN_TEXT_H_
#define VARNEL_PLATFORM_WIN_TEXT_H_

#ifdef _WIN32

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// UTF-8 to the UTF-16 that the wide Windows calls take, and back.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// The system's text for a GetLastError() value, without its trailing line break.
std::string SystemMessage(DWORD error);

// A failure carrying `error` (a GetLastError() value) and the system's text for it.
Status WindowsErrorStatus(DWORD error);

}  // namespace varnel

#endif  // _WIN32

#endif  // VARNEL_PLATFORM_WIN_TEXT_H_
