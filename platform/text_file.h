#ifndef VARNEL_PLATFORM_TEXT_FILE_H_
#define VARNEL_PLATFORM_TEXT_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace varnel {

// Writes a text file line by line, each line ended by CR LF, bytes passed through unchanged. Buffered; the
// file is closed by Close() or, at the latest, by the destructor.
class LineWriter {
 public:
  LineWriter() = default;
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;
  ~LineWriter();

  // Creates the file, or empties an existing one.
  Status Create(const std::string& path);
  // Appends `text` and CR LF. A write failure is remembered and reported by Close().
  void WriteLine(std::string_view text);
  // Flushes and closes; reports the first failure since Create().
  Status Close();
  bool is_open() const { return file_ != nullptr; }

 private:
  // Writes the gathered lines to the file.
  void WritePending();

  std::FILE* file_ = nullptr;
  std::string pending_;  // lines not yet written
  std::string path_;
  Status error_;
};

// Reads a whole file as bytes.
Status ReadWholeFile(const std::string& path, std::string* contents);

// Creates or replaces a file with `contents`, bytes unchanged.
Status WriteWholeFile(const std::string& path, std::string_view contents);

}  // namespace varnel

#endif  // VARNEL_PLATFORM_TEXT_FILE_H_
