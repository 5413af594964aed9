#include "history/history_text.h"

#include "history/history_folder.h"
#include "platform/utf8.h"

namespace varnel {

std::string PrintableText(std::string_view bytes) { return EscapeBytes(bytes, /*named_breaks=*/true); }

std::string RunLine(const RunSummary& run) {
  std::string line = run.id;
  line.append("\t").append(LocalTimeOf(run.started));
  line.append("\t").append(JobName(run.job));
  line.append("\t").append(PrintableText(run.folder));
  line.append("\t").append(std::to_string(run.done));
  line.append("\t").append(std::to_string(run.failed));
  return line;
}

std::string ResultText(const RecordedFile& file) {
  switch (file.result) {
    case RecordedFile::Result::kDone:
      return "done";
    case RecordedFile::Result::kFailed:
      return "failed: " + file.reason;
    case RecordedFile::Result::kUnknown:
      break;
  }
  return "not known";
}

std::string FileLine(const RecordedFile& file) {
  std::string line = PrintableText(file.name);
  line.append("\t").append(ActionName(file.action));
  line.append("\t").append(PrintableText(file.destination));
  line.append("\t").append(PrintableText(ResultText(file)));
  return line;
}

}  // namespace varnel
