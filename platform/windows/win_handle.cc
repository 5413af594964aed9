#include "platform/windows/win_handle.h"

#include <windows.h>

namespace varnel {

Handle::Handle() : handle_(INVALID_HANDLE_VALUE) {}

bool Handle::valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }

void* Handle::Release() {
  void* const handle = handle_;
  handle_ = INVALID_HANDLE_VALUE;
  return handle;
}

bool Handle::Close() {
  const bool held = valid();
  void* const handle = Release();
  return !held || CloseHandle(handle);
}

}  // namespace varnel
