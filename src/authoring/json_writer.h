// A small writer of indented JSON: objects, arrays, strings, numbers, null.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sb {

class JsonWriter {
 public:
  // An inline container keeps all its members on one line (one fault, one cell per line).
  JsonWriter& BeginObject(bool inline_members = false);
  JsonWriter& EndObject();
  JsonWriter& BeginArray(bool inline_members = false);
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);

  // A UTF-8 string; bytes that do not form valid UTF-8 become U+FFFD.
  JsonWriter& Utf8(std::string_view text);
  // An 8-bit Windows-1252 text (source lines, station names, board texts).
  JsonWriter& Text(std::string_view cp1252);
  JsonWriter& Int(int64_t value);
  JsonWriter& Int(std::optional<int64_t> value);  // null when empty
  JsonWriter& Double(double value);              // shortest exact form; null if not finite
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  // The document, ended by a newline.
  std::string Finish();

 private:
  struct Level {
    bool object;
    bool inline_members;
    bool empty = true;
  };
  void BeforeValue();
  void Open(char bracket, bool object, bool inline_members);
  void Close(char bracket);
  void NewLine(size_t depth);

  std::vector<Level> stack_;
  std::string out_;
  bool after_key_ = false;
};

// The quoted JSON form of a UTF-8 string (invalid bytes become U+FFFD).
std::string JsonQuote(std::string_view utf8);

}  // namespace sb
