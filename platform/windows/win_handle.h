#ifndef VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_
#define VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_

// The handle class the Windows files of the platform layer share; not for the jobs.

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

}  // namespace varnel

#endif  // VARNEL_PLATFORM_WINDOWS_WIN_HANDLE_H_
