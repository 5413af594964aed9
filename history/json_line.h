#ifndef VARNEL_HISTORY_JSON_LINE_H_
#define VARNEL_HISTORY_JSON_LINE_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

// Appends `text`, valid UTF-8, to *out as a JSON string, quotes included: '"', '\' and the control characters
// escaped as RFC 8259 asks, every other character as it is.
void AppendJsonString(std::string* out, std::string_view text);

// Writes one JSON object on one line at the end of *out, field by field: "{" first, "}" and a line feed at
// End(). A text is bytes: when they are valid UTF-8 it goes in the field `key`, otherwise in `key`_hex as
// the bytes' hexadecimal digits, so that no byte is changed or lost. Keys are plain ASCII, never escaped.
class JsonLine {
 public:
  explicit JsonLine(std::string* out);

  JsonLine& Text(std::string_view key, std::string_view bytes);
  JsonLine& Integer(std::string_view key, std::int64_t value);
  JsonLine& Unsigned(std::string_view key, std::uint64_t value);
  JsonLine& Flag(std::string_view key, bool value);
  // Starts an object as the value of `key`; its fields follow until EndObject().
  JsonLine& BeginObject(std::string_view key);
  JsonLine& EndObject();
  // Ends the record.
  void End();

 private:
  void Key(std::string_view key, std::string_view suffix = {});

  std::string* out_;
  bool first_ = true;  // no field yet in the object being written
};

}  // namespace varnel

#endif  // VARNEL_HISTORY_JSON_LINE_H_
