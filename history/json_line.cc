#include "history/json_line.h"

#include <charconv>

#include "platform/utf8.h"

namespace varnel {

namespace {

template <typename Number>
void AppendNumber(std::string* out, Number value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out->append(digits, end);
}

}  // namespace

void AppendJsonString(std::string* out, std::string_view text) {
  out->push_back('"');
  std::size_t plain = 0;  // the start of the characters not yet copied
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte != '"' && byte != '\\') continue;
    out->append(text, plain, i - plain);
    plain = i + 1;
    switch (byte) {
      case '"':
        out->append("\\\"");
        break;
      case '\\':
        out->append("\\\\");
        break;
      case '\b':
        out->append("\\b");
        break;
      case '\f':
        out->append("\\f");
        break;
      case '\n':
        out->append("\\n");
        break;
      case '\r':
        out->append("\\r");
        break;
      case '\t':
        out->append("\\t");
        break;
      default:
        out->append("\\u00");
        out->push_back(HexDigit(byte >> 4));
        out->push_back(HexDigit(byte));
    }
  }
  out->append(text, plain, text.size() - plain);
  out->push_back('"');
}

JsonLine::JsonLine(std::string* out) : out_(out) { out_->push_back('{'); }

void JsonLine::Key(std::string_view key, std::string_view suffix) {
  if (!first_) out_->push_back(',');
  first_ = false;
  out_->push_back('"');
  out_->append(key);
  out_->append(suffix);
  out_->append("\":");
}

JsonLine& JsonLine::Text(std::string_view key, std::string_view bytes) {
  if (IsValidUtf8(bytes)) {
    Key(key);
    AppendJsonString(out_, bytes);
  } else {
    Key(key, "_hex");
    out_->push_back('"');
    out_->append(HexOf(bytes));
    out_->push_back('"');
  }
  return *this;
}

JsonLine& JsonLine::Integer(std::string_view key, std::int64_t value) {
  Key(key);
  AppendNumber(out_, value);
  return *this;
}

JsonLine& JsonLine::Unsigned(std::string_view key, std::uint64_t value) {
  Key(key);
  AppendNumber(out_, value);
  return *this;
}

JsonLine& JsonLine::Flag(std::string_view key, bool value) {
  Key(key);
  out_->append(value ? "true" : "false");
  return *this;
}

JsonLine& JsonLine::BeginObject(std::string_view key) {
  Key(key);
  out_->push_back('{');
  first_ = true;
  return *this;
}

JsonLine& JsonLine::EndObject() {
  out_->push_back('}');
  first_ = false;
  return *this;
}

void JsonLine::End() { out_->append("}\n"); }

}  // namespace varnel
