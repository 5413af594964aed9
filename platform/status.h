#ifndef VARNEL_PLATFORM_STATUS_H_
#define VARNEL_PLATFORM_STATUS_H_

#include <string>
#include <utility>

namespace varnel {

// The outcome of an operation that can fail. A failure carries the system's reason as text (for instance
// "No such file or directory") and, when there is one, the system's error number (errno, GetLastError).
// Status values cross every API boundary of the engine and the platform layer; nothing throws across them.
class Status {
 public:
  Status() = default;  // success

  static Status Ok() { return Status(); }
  static Status Error(std::string message, int code = 0) { return Status(std::move(message), code); }

  bool ok() const { return !failed_; }
  // The system's reason; empty on success.
  const std::string& message() const { return message_; }
  // The system's error number; 0 on success or when the failure has none.
  int code() const { return code_; }

 private:
  Status(std::string message, int code) : failed_(true), message_(std::move(message)), code_(code) {}

  bool failed_ = false;
  std::string message_;
  int code_ = 0;
};

}  // namespace varnel

#endif  // VARNEL_PLATFORM_STATUS_H_
