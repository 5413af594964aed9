// The recycle bin, through the shell's file operation: each file is recycled on its own, and an item the
// recycle bin would delete for good is refused before the shell touches it.

#include "platform/trash.h"

#include <windows.h>
// windows.h comes first.
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/file_ops.h"
#include "platform/windows/win_text.h"

namespace varnel {
namespace {

// COM for the calling thread, for as long as it lives.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  // RPC_E_CHANGED_MODE: the thread has COM already, of the other kind, which is used as it is.
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }
  HRESULT result() const { return result_; }

 private:
  HRESULT result_;
};

// A COM interface pointer released when it goes out of scope.
template <typename T>
class ComPointer {
 public:
  ComPointer() = default;
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  ~ComPointer() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  T* get() const { return pointer_; }
  T* operator->() const { return pointer_; }
  void** out() { return reinterpret_cast<void**>(&pointer_); }

 private:
  T* pointer_ = nullptr;
};

Status HresultStatus(HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) return WindowsErrorStatus(HRESULT_CODE(result));
  return Status::Error(SystemMessage(static_cast<DWORD>(result)), static_cast<int>(result));
}

// Follows the one deletion of a file operation: lets it go on only when the item goes to the recycle bin,
// and keeps where it went. Lives on the stack of the call that uses it.
class RecycleSink final : public IFileOperationProgressSink {
 public:
  bool refused() const { return refused_; }
  HRESULT result() const { return result_; }
  const std::string& recycled() const { return recycled_; }

  IFACEMETHODIMP QueryInterface(REFIID id, void** object) override {
    if (id == IID_IUnknown || id == IID_IFileOperationProgressSink) {
      *object = static_cast<IFileOperationProgressSink*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  IFACEMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  IFACEMETHODIMP_(ULONG) Release() override { return --references_; }

  IFACEMETHODIMP PreDeleteItem(DWORD flags, IShellItem*) override {
    if ((flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) != 0) return S_OK;
    refused_ = true;  // the recycle bin cannot take it: a plain deletion would follow
    return HRESULT_FROM_WIN32(ERROR_CANCELLED);
  }
  IFACEMETHODIMP PostDeleteItem(DWORD, IShellItem*, HRESULT result, IShellItem* recycled) override {
    result_ = result;
    PWSTR path = nullptr;
    if (SUCCEEDED(result) && recycled != nullptr && SUCCEEDED(recycled->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
      recycled_ = WideToUtf8(path);
      CoTaskMemFree(path);
    }
    return S_OK;
  }

  IFACEMETHODIMP StartOperations() override { return S_OK; }
  IFACEMETHODIMP FinishOperations(HRESULT) override { return S_OK; }
  IFACEMETHODIMP PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  IFACEMETHODIMP PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
  IFACEMETHODIMP PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
  IFACEMETHODIMP PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
  IFACEMETHODIMP PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
  IFACEMETHODIMP PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
  IFACEMETHODIMP PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
  IFACEMETHODIMP PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override {
    return S_OK;
  }
  IFACEMETHODIMP UpdateProgress(UINT, UINT) override { return S_OK; }
  IFACEMETHODIMP ResetTimer() override { return S_OK; }
  IFACEMETHODIMP PauseTimer() override { return S_OK; }
  IFACEMETHODIMP ResumeTimer() override { return S_OK; }

 private:
  ULONG references_ = 1;
  bool refused_ = false;
  HRESULT result_ = E_FAIL;  // until the shell reports the deletion
  std::string recycled_;
};

}  // namespace

// Nothing is kept from one file to the next: each goes through a file operation of its own.
class Trash::Impl {};

Trash::Trash() : impl_(std::make_unique<Impl>()) {}
Trash::~Trash() = default;

Status Trash::MoveToTrash(const std::string& folder, const std::string& name, TrashEntry* entry) {
  const std::string path = JoinPath(folder, name);
  const ComScope com;
  if (!com.usable()) return HresultStatus(com.result());
  ComPointer<IFileOperation> operation;
  HRESULT result = CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation, operation.out());
  if (FAILED(result)) return HresultStatus(result);
  ComPointer<IShellItem> item;
  result = SHCreateItemFromParsingName(Utf8ToWide(path).c_str(), nullptr, IID_IShellItem, item.out());
  if (FAILED(result)) return HresultStatus(result);

  RecycleSink sink;
  DWORD cookie = 0;
  result = operation->SetOperationFlags(FOF_ALLOWUNDO | FOF_NO_UI | FOFX_RECYCLEONDELETE | FOFX_EARLYFAILURE);
  if (SUCCEEDED(result)) result = operation->Advise(&sink, &cookie);
  if (SUCCEEDED(result)) result = operation->DeleteItem(item.get(), nullptr);
  if (SUCCEEDED(result)) result = operation->PerformOperations();
  if (cookie != 0) operation->Unadvise(cookie);

  if (sink.refused()) return Status::Error("The recycle bin would delete it for good", ERROR_CANCELLED);
  if (FAILED(result)) return HresultStatus(result);
  if (FAILED(sink.result())) return HresultStatus(sink.result());
  BOOL aborted = FALSE;
  if (SUCCEEDED(operation->GetAnyOperationsAborted(&aborted)) && aborted) {
    return WindowsErrorStatus(ERROR_CANCELLED);
  }
  // A shell that says it is done while the file is still there has recycled nothing.
  if (PathExists(path)) return Status::Error("The recycle bin did not take it", ERROR_CANCELLED);
  if (entry != nullptr) {
    const std::string& recycled = sink.recycled();
    const std::size_t separator = recycled.find_last_of("\\/");
    *entry = separator == std::string::npos ? TrashEntry{}
                                            : TrashEntry{recycled.substr(0, separator), recycled.substr(separator + 1)};
  }
  return Status::Ok();
}

std::string TrashEntryPath(const TrashEntry& entry) {
  if (entry.trash.empty() || entry.name.empty()) return {};
  return JoinPath(entry.trash, entry.name);
}

std::string TrashInfoPath(const TrashEntry& entry) {
  // The recycle bin keeps the item "$R<id><ext>" beside its record "$I<id><ext>".
  if (entry.trash.empty() || entry.name.size() < 2 || entry.name.compare(0, 2, "$R") != 0) return {};
  return JoinPath(entry.trash, "$I" + entry.name.substr(2));
}

}  // namespace varnel
