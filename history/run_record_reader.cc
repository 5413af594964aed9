#include "history/run_record_reader.h"

#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>

#include "history/run_record.h"
#include "platform/utf8.h"

namespace varnel {

namespace {

using Json = nlohmann::json;

// Keys that name no field kept: "settings", whose object holds "undoes", and every other one.
constexpr int kSettingsKey = RunRecordReader::kFieldCount;
constexpr int kOtherKey = RunRecordReader::kFieldCount + 1;

constexpr std::pair<std::string_view, int> kKeys[] = {
    {record_key::kVersion, RunRecordReader::kVersion},
    {record_key::kJob, RunRecordReader::kJob},
    {record_key::kFolder, RunRecordReader::kFolder},
    {record_key::kStarted, RunRecordReader::kStarted},
    {record_key::kCreatedFolder, RunRecordReader::kCreatedFolder},
    {record_key::kIntent, RunRecordReader::kIntent},
    {record_key::kName, RunRecordReader::kName},
    {record_key::kAction, RunRecordReader::kAction},
    {record_key::kDestination, RunRecordReader::kDestination},
    {record_key::kTrashInfo, RunRecordReader::kTrashInfo},
    {record_key::kSize, RunRecordReader::kSize},
    {record_key::kMtime, RunRecordReader::kMtime},
    {record_key::kInode, RunRecordReader::kInode},
    {record_key::kOutcome, RunRecordReader::kOutcome},
    {record_key::kResult, RunRecordReader::kResult},
    {record_key::kReason, RunRecordReader::kReason},
    {record_key::kEnd, RunRecordReader::kEnd},
    {record_key::kDone, RunRecordReader::kDone},
    {record_key::kFailed, RunRecordReader::kFailed},
    {record_key::kSettings, kSettingsKey},
};

// The field of the key `key` of a record; *hex tells a `<key>_hex`.
int FieldOfKey(std::string_view key, bool* hex) {
  *hex = key.size() > 4 && key.substr(key.size() - 4) == record_key::kHexSuffix;
  if (*hex) key.remove_suffix(4);
  for (const auto& [known, field] : kKeys) {
    if (key.size() == known.size() && key[0] == known[0] && key == known) return field;
  }
  return kOtherKey;
}

// The field of the key `key` of "settings": "undoes" alone is kept.
int FieldOfSettingsKey(std::string_view key, bool* hex) {
  constexpr std::string_view kUndoesHex = "undoes_hex";
  *hex = key == kUndoesHex;
  return *hex || key == record_key::kUndoes ? RunRecordReader::kUndoes : kOtherKey;
}

// True when one of the eight bytes of `word` ends a run of plain characters in a JSON string: a quote, a
// backslash, a control character or a byte of a multi-byte UTF-8 sequence.
bool EndsPlainRun(std::uint64_t word) {
  constexpr std::uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
  const auto has_zero_byte = [](std::uint64_t value) { return (value - kOnes) & ~value & kHighs; };
  return (((word - kOnes * 0x20) & ~word) | word | has_zero_byte(word ^ (kOnes * '"')) |
          has_zero_byte(word ^ (kOnes * '\\'))) &
         kHighs;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads the four hexadecimal digits at `at`, when there are.
bool FourHexDigits(const char* at, const char* end, unsigned* value) {
  if (end - at < 4) return false;
  *value = 0;
  for (int i = 0; i < 4; ++i) {
    const int digit = HexValue(at[i]);
    if (digit < 0) return false;
    *value = *value * 16 + static_cast<unsigned>(digit);
  }
  return true;
}

void AppendUtf8(std::string* text, unsigned code) {
  if (code < 0x80) {
    text->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text->push_back(static_cast<char>(0xC0 | (code >> 6)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text->push_back(static_cast<char>(0xE0 | (code >> 12)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text->push_back(static_cast<char>(0xF0 | (code >> 18)));
    text->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

// The full parser: nlohmann-json's events, without a document (a run's file has two records per file it
// touched).
class RunRecordReader::Events : public nlohmann::json_sax<Json> {
 public:
  explicit Events(RunRecordReader* reader) : reader_(*reader) {}

  bool Parse(std::string_view line) {
    reader_.present_ = 0;
    depth_ = 0;
    object_ = false;
    broken_ = false;
    const bool parsed = Json::sax_parse(line.begin(), line.end(), this);
    return parsed && !broken_ && object_;
  }

  bool key(string_t& name) override {
    field_ = kOtherKey;
    hex_ = false;
    if (depth_ == 1) {
      field_ = FieldOfKey(name, &hex_);
    } else if (depth_ == 2 && in_settings_) {
      field_ = FieldOfSettingsKey(name, &hex_);
    }
    return true;
  }
  bool string(string_t& value) override {
    if (!Settable()) return true;
    if (hex_) {
      if (!BytesOfHex(value, &reader_.texts_[field_])) broken_ = true;
    } else {
      reader_.texts_[field_] = std::move(value);
    }
    reader_.Set(field_, /*text=*/true);
    return true;
  }
  bool number_integer(number_integer_t value) override { return Number(value); }
  bool number_unsigned(number_unsigned_t value) override { return Number(static_cast<std::int64_t>(value)); }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool boolean(bool) override { return true; }
  bool null() override { return true; }
  bool binary(binary_t&) override { return true; }
  bool start_object(std::size_t) override {
    if (depth_ == 0) object_ = true;
    in_settings_ = depth_ == 1 && field_ == kSettingsKey;
    ++depth_;
    return true;
  }
  bool end_object() override {
    if (depth_ == 2) in_settings_ = false;
    --depth_;
    return true;
  }
  bool start_array(std::size_t) override {
    if (depth_ == 0) object_ = false;
    ++depth_;
    return true;
  }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  bool Settable() const { return (depth_ == 1 || (depth_ == 2 && in_settings_)) && field_ < kFieldCount; }
  bool Number(std::int64_t value) {
    if (!Settable() || hex_) return true;
    reader_.numbers_[field_] = value;
    reader_.Set(field_, /*text=*/false);
    return true;
  }

  RunRecordReader& reader_;
  int depth_ = 0;
  bool object_ = false;
  bool in_settings_ = false;
  bool broken_ = false;
  int field_ = kOtherKey;
  bool hex_ = false;
};

RunRecordReader::RunRecordReader() : events_(std::make_unique<Events>(this)) {}

RunRecordReader::~RunRecordReader() = default;

bool RunRecordReader::ParseGeneral(std::string_view line) { return events_->Parse(line); }

bool RunRecordReader::ParseQuick(std::string_view line) {
  present_ = 0;
  const char* at = line.data();
  const char* const end = at + line.size();
  if (at == end || *at != '{') return false;
  ++at;
  return QuickObject(at, end, /*settings=*/false) && at == end;
}

// Reads the fields of the object whose '{' is just before *at, up to its '}' (*at then just past it).
bool RunRecordReader::QuickObject(const char*& at, const char* end, bool settings) {
  const char* p = at;
  if (p != end && *p == '}') {
    at = p + 1;
    return true;
  }
  while (true) {
    if (p == end || *p != '"') return false;
    const char* const key = ++p;
    while (p != end && *p != '"') {
      const auto byte = static_cast<unsigned char>(*p);
      if (byte < 0x20 || byte >= 0x80 || byte == '\\') return false;
      ++p;
    }
    if (end - p < 3 || p[1] != ':') return false;
    const std::string_view name(key, static_cast<std::size_t>(p - key));
    bool hex = false;
    const int field = settings ? FieldOfSettingsKey(name, &hex) : FieldOfKey(name, &hex);
    const bool kept = field < kFieldCount;
    p += 2;
    switch (*p) {
      case '"':
        ++p;
        if (!QuickString(p, end, kept && !hex ? &texts_[field] : &scratch_)) return false;
        if (kept && hex && !BytesOfHex(scratch_, &texts_[field])) return false;
        if (kept) Set(field, /*text=*/true);
        break;
      case '{':
        if (settings || field != kSettingsKey) return false;
        ++p;
        if (!QuickObject(p, end, /*settings=*/true)) return false;
        break;
      case 't':
        if (end - p < 4 || std::memcmp(p, "true", 4) != 0) return false;
        p += 4;
        break;
      case 'f':
        if (end - p < 5 || std::memcmp(p, "false", 5) != 0) return false;
        p += 5;
        break;
      default: {
        const bool negative = *p == '-';
        if (negative) ++p;
        const char* const digits = p;
        if (p == end || !IsDigit(*p)) return false;
        if (*p == '0') {
          ++p;  // no digit may follow; the end of the field is checked below
        } else {
          while (p != end && IsDigit(*p)) ++p;
        }
        if (p - digits > 19) return false;  // past 64 bits: the full parser decides
        std::uint64_t magnitude = 0;         // 19 digits fit
        for (const char* digit = digits; digit != p; ++digit) magnitude = magnitude * 10 + (*digit - '0');
        constexpr std::uint64_t kMostPositive = std::numeric_limits<std::int64_t>::max();
        if (magnitude > kMostPositive + (negative ? 1 : 0)) return false;  // no 64-bit integer: likewise
        if (kept && !hex) {
          numbers_[field] = negative ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
          Set(field, /*text=*/false);
        }
      }
    }
    if (p == end) return false;
    if (*p == '}') {
      at = p + 1;
      return true;
    }
    if (*p != ',') return false;
    ++p;
  }
}

// Reads a JSON string whose opening quote is just before *at into *text, up to its closing quote (*at then just
// past it): plain characters, valid UTF-8 and the escapes of RFC 8259.
bool RunRecordReader::QuickString(const char*& at, const char* end, std::string* text) {
  text->clear();
  const char* p = at;
  while (true) {
    const char* const plain = p;
    for (std::uint64_t word; end - p >= 8; p += 8) {
      std::memcpy(&word, p, 8);
      if (EndsPlainRun(word)) break;
    }
    while (p != end) {
      const auto byte = static_cast<unsigned char>(*p);
      if (byte < 0x20 || byte >= 0x80 || byte == '"' || byte == '\\') break;
      ++p;
    }
    text->append(plain, p);
    if (p == end) return false;
    const auto byte = static_cast<unsigned char>(*p);
    if (byte == '"') {
      at = p + 1;
      return true;
    }
    if (byte < 0x20) return false;
    if (byte >= 0x80) {
      const std::size_t length = Utf8SequenceLength(std::string_view(p, static_cast<std::size_t>(end - p)));
      if (length == 0) return false;
      text->append(p, length);
      p += length;
      continue;
    }
    if (end - p < 2) return false;
    const char escaped = p[1];
    p += 2;
    switch (escaped) {
      case '"':
      case '\\':
      case '/':
        text->push_back(escaped);
        break;
      case 'b':
        text->push_back('\b');
        break;
      case 'f':
        text->push_back('\f');
        break;
      case 'n':
        text->push_back('\n');
        break;
      case 'r':
        text->push_back('\r');
        break;
      case 't':
        text->push_back('\t');
        break;
      case 'u': {
        unsigned code = 0;
        if (!FourHexDigits(p, end, &code) || (code >= 0xDC00 && code <= 0xDFFF)) return false;
        p += 4;
        if (code >= 0xD800 && code <= 0xDBFF) {  // a high surrogate: its low one follows
          unsigned low = 0;
          if (end - p < 2 || p[0] != '\\' || p[1] != 'u' || !FourHexDigits(p + 2, end, &low) || low < 0xDC00 ||
              low > 0xDFFF) {
            return false;
          }
          p += 6;
          code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        }
        AppendUtf8(text, code);
        break;
      }
      default:
        return false;
    }
  }
}

}  // namespace varnel
