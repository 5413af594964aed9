#include "platform/text_file.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>

#include "platform/win_text.h"
#endif

namespace varnel {

namespace {

constexpr std::size_t kWriteBufferSize = 1 << 16;

Status ErrnoStatus(int error) { return Status::Error(std::strerror(error), error); }

std::FILE* OpenFile(const std::string& path, const char* mode) {
#ifdef _WIN32
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
#else
  return std::fopen(path.c_str(), mode);
#endif
}

}  // namespace

LineWriter::~LineWriter() {
  if (file_ == nullptr) return;
  WritePending();
  std::fclose(file_);
}

Status LineWriter::Create(const std::string& path) {
  if (file_ != nullptr) Close();
  error_ = Status::Ok();
  path_ = path;
  file_ = OpenFile(path, "wb");
  if (file_ == nullptr) return ErrnoStatus(errno);
  // The lines gather in pending_ and reach the file in large writes.
  std::setvbuf(file_, nullptr, _IONBF, 0);
  pending_.clear();
  pending_.reserve(kWriteBufferSize + 1024);
  return Status::Ok();
}

void LineWriter::WriteLine(std::string_view text) {
  if (file_ == nullptr) return;
  pending_.append(text).append("\r\n");
  if (pending_.size() >= kWriteBufferSize) WritePending();
}

void LineWriter::WritePending() {
  if (!pending_.empty() && std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) {
    if (error_.ok()) error_ = ErrnoStatus(errno);
  }
  pending_.clear();
}

Status LineWriter::Close() {
  if (file_ == nullptr) return error_;
  WritePending();
  if (std::fclose(file_) != 0 && error_.ok()) error_ = ErrnoStatus(errno);
  file_ = nullptr;
  return error_;
}

Status ReadWholeFile(const std::string& path, std::string* contents) {
  contents->clear();
  std::FILE* file = OpenFile(path, "rb");
  if (file == nullptr) return ErrnoStatus(errno);
  char buffer[1 << 14];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents->append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  std::fclose(file);
  if (failed) return ErrnoStatus(error);
  return Status::Ok();
}

Status WriteWholeFile(const std::string& path, std::string_view contents) {
  std::FILE* file = OpenFile(path, "wb");
  if (file == nullptr) return ErrnoStatus(errno);
  Status status;
  if (!contents.empty() && std::fwrite(contents.data(), 1, contents.size(), file) != contents.size()) {
    status = ErrnoStatus(errno);
  }
  if (std::fclose(file) != 0 && status.ok()) status = ErrnoStatus(errno);
  return status;
}

}  // namespace varnel
