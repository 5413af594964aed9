#ifndef VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_
#define VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_

// The handle class and the folder scan the Windows files of the platform layer share; not for the jobs.

#include <functional>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// A handle (a HANDLE) closed when it goes out of scope. INVALID_HANDLE_VALUE, what CreateFileW gives on
// failure, and nullptr, what CreateJobObjectW gives, both stand for none.
class Handle {
 public:
  Handle();
  explicit Handle(void* handle) : handle_(handle) {}
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  ~Handle() { Close(); }

  void* get() const { return handle_; }
  bool valid() const;
  // Closes the handle held and takes `handle`.
  void Reset(void* handle) {
    Close();
    handle_ = handle;
  }
  // Gives the handle up without closing it.
  void* Release();
  // Closes now; false, with the last error set, when the close failed.
  bool Close();

 private:
  void* handle_;
};

// Calls `on_entry` with the name and attributes of each entry of the folder that `pattern` ("<folder>\\*")
// names, "." and ".." included, in the folder's order; `folders_only` asks the system to pass over the files
// where it can. A folder with no entry at all (an empty drive root) lists nothing and is no failure; a scan
// cut short by a failure is one, so that nobody takes it for the whole folder.
Status ForEachFolderEntry(const std::wstring& pattern, bool folders_only,
                          const std::function<void(std::wstring_view name, unsigned long attributes)>& on_entry);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_
