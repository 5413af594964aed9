#ifndef VARNEL_PLATFORM_STATUS_H_
#define VARNEL_PLATFORM_STATUS_H_

#include <string>
#include <string_view>
#include <utility>

namespace varnel {

// The outcome of an operation that can fail. A failure carries the system's reason as text (for instance
// "No such file or directory"), when there is one the system's error number (errno, GetLastError), and,
// once the operation names it, what could not be done to which file or folder ("read" and the folder's
// path). Status values cross every API boundary of the engine and the platform layer; nothing throws across
// them, and none is dropped unread.
class [[nodiscard]] Status {
 public:
  Status() = default;  // success

  static Status Ok() { return Status(); }
  static Status Error(std::string message, int code = 0) { return Status(std::move(message), code); }

  // This failure as the failure to `action` the file or folder `path` ("create", "read the log file");
  // a success stays a success.
  Status About(std::string_view action, std::string_view path) const& {
    Status status = *this;
    return std::move(status).About(action, path);
  }
  Status About(std::string_view action, std::string_view path) && {
    if (failed_) {
      action_ = action;
      path_ = path;
    }
    return std::move(*this);
  }

  // Lets a failure pass unread where the caller has nothing better to do with it; the reason goes beside the
  // call.
  void IgnoreError() const {}

  bool ok() const { return !failed_; }
  // The system's reason; empty on success.
  const std::string& message() const { return message_; }
  // The system's error number; 0 on success or when the failure has none.
  int code() const { return code_; }
  // What could not be done, and to which path; both empty until About() names them.
  const std::string& action() const { return action_; }
  const std::string& path() const { return path_; }

  // What to tell the user: "Cannot <action> <path>: <reason>" for a failure About() named, the reason alone
  // for one it did not, an empty text for a success.
  std::string ToString() const {
    if (action_.empty()) return message_;
    std::string text;
    text.reserve(8 + action_.size() + path_.size() + message_.size());
    return text.append("Cannot ").append(action_).append(" ").append(path_).append(": ").append(message_);
  }

 private:
  Status(std::string message, int code) : failed_(true), message_(std::move(message)), code_(code) {}

  bool failed_ = false;
  std::string message_;
  int code_ = 0;
  std::string action_;
  std::string path_;
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_STATUS_H_
