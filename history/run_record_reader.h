#ifndef VARNEL_HISTORY_RUN_RECORD_READER_H_
#define VARNEL_HISTORY_RUN_RECORD_READER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace varnel {

// One record of a run's file (see run_record.h), read field by field without building a document: each field a
// text or a number, a text given as `<key>_hex` kept as its bytes, unknown keys passed over, of "settings" only
// "undoes" kept; when a key comes twice, its last text or number holds. One reader serves line after line and
// keeps its buffers.
class RunRecordReader {
 public:
  // The fields a record may have.
  enum Field : int {
    kVersion,
    kJob,
    kFolder,
    kStarted,
    kUndoes,
    kCreatedFolder,
    kIntent,
    kName,
    kAction,
    kDestination,
    kTrashInfo,
    kSize,
    kMtime,
    kInode,
    kOutcome,
    kResult,
    kReason,
    kEnd,
    kDone,
    kFailed,
    kFieldCount
  };

  RunRecordReader();
  ~RunRecordReader();
  RunRecordReader(const RunRecordReader&) = delete;
  RunRecordReader& operator=(const RunRecordReader&) = delete;

  // Reads `line`; false when it is not one JSON object (or a `<key>_hex` text is no hexadecimal). Every line
  // that ParseQuick does not understand whole is read by ParseGeneral.
  bool Parse(std::string_view line) { return ParseQuick(line) || ParseGeneral(line); }
  // Reads `line` as records are written: one object without whitespace, plain keys, texts, integers that fit
  // in 64 bits, flags, "settings" holding no object. False, the record then undefined, for any other line.
  bool ParseQuick(std::string_view line);
  // Reads `line` with a full JSON parser.
  bool ParseGeneral(std::string_view line);

  bool Has(Field field) const { return (present_ & (1u << field)) != 0; }
  // True when `field` is a text; copies it to *text.
  bool Text(Field field, std::string* text) const {
    if (!Has(field) || !is_text_[field]) return false;
    *text = texts_[field];
    return true;
  }
  // The text of `field`; null when it is none.
  const std::string* Text(Field field) const { return Has(field) && is_text_[field] ? &texts_[field] : nullptr; }
  // True when `field` is a number; gives it to *number.
  template <typename Number>
  bool Integer(Field field, Number* number) const {
    if (!Has(field) || is_text_[field]) return false;
    *number = static_cast<Number>(numbers_[field]);
    return true;
  }

 private:
  class Events;
  friend class Events;

  bool QuickObject(const char*& at, const char* end, bool settings);
  bool QuickString(const char*& at, const char* end, std::string* text);
  void Set(int field, bool text) {
    present_ |= 1u << field;
    is_text_[field] = text;
  }

  std::uint32_t present_ = 0;
  std::string texts_[kFieldCount];
  std::int64_t numbers_[kFieldCount] = {};
  bool is_text_[kFieldCount] = {};
  std::string scratch_;             // a text that is not kept, or the digits of a `<key>_hex`
  std::unique_ptr<Events> events_;  // the full parser's state
};

}  // namespace varnel

#endif  // VARNEL_HISTORY_RUN_RECORD_READER_H_
