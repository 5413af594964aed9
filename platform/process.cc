#include "platform/process.h"

#include <utility>

namespace varnel {

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this == &other) return *this;
  Release();  // leaves no handles
  started_ = std::exchange(other.started_, false);
  ended_ = std::exchange(other.ended_, false);
  exit_code_ = std::exchange(other.exit_code_, -1);
  handles_.swap(other.handles_);
  return *this;
}

}  // namespace varnel
