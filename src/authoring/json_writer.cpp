#include "authoring/json_writer.h"

#include <charconv>
#include <cmath>

#include "io/text_encoding.h"

namespace sb {

std::string JsonQuote(std::string_view s) {
  std::string out = "\"";
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 0x80) {
      // Copy one valid sequence, or replace one stray byte.
      size_t n = 0;
      for (size_t len = 2; len <= 4 && i + len <= s.size(); ++len) {
        if (IsValidUtf8(s.substr(i, len))) {
          n = len;
          break;
        }
      }
      if (n == 0) {
        AppendUtf8(&out, 0xFFFD);
        ++i;
      } else {
        out.append(s.substr(i, n));
        i += n;
      }
      continue;
    }
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          static const char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 15]);
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
    ++i;
  }
  out += '"';
  return out;
}

void JsonWriter::NewLine(size_t depth) {
  out_ += '\n';
  out_.append(2 * depth, ' ');
}

void JsonWriter::BeforeValue() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (stack_.empty()) return;
  Level& top = stack_.back();
  if (!top.empty) out_ += top.inline_members ? ", " : ",";
  if (!top.inline_members) NewLine(stack_.size());
  top.empty = false;
}

void JsonWriter::Open(char bracket, bool object, bool inline_members) {
  BeforeValue();
  bool parent_inline = !stack_.empty() && stack_.back().inline_members;
  stack_.push_back(Level{object, inline_members || parent_inline});
  out_ += bracket;
}

void JsonWriter::Close(char bracket) {
  Level top = stack_.back();
  stack_.pop_back();
  if (!top.empty && !top.inline_members) NewLine(stack_.size());
  out_ += bracket;
}

JsonWriter& JsonWriter::BeginObject(bool inline_members) {
  Open('{', true, inline_members);
  return *this;
}
JsonWriter& JsonWriter::EndObject() {
  Close('}');
  return *this;
}
JsonWriter& JsonWriter::BeginArray(bool inline_members) {
  Open('[', false, inline_members);
  return *this;
}
JsonWriter& JsonWriter::EndArray() {
  Close(']');
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  BeforeValue();
  out_ += JsonQuote(key);
  out_ += ": ";
  after_key_ = true;
  return *this;
}

JsonWriter& JsonWriter::Utf8(std::string_view text) {
  BeforeValue();
  out_ += JsonQuote(text);
  return *this;
}

JsonWriter& JsonWriter::Text(std::string_view cp1252) { return Utf8(Cp1252ToUtf8(cp1252)); }

JsonWriter& JsonWriter::Int(int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Int(std::optional<int64_t> value) {
  return value ? Int(*value) : Null();
}

JsonWriter& JsonWriter::Double(double value) {
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, value);
  out_.append(buf, r.ptr);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

std::string JsonWriter::Finish() {
  std::string s = std::move(out_);
  s += '\n';
  out_.clear();
  stack_.clear();
  after_key_ = false;
  return s;
}

}  // namespace sb
