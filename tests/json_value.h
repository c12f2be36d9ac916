// A strict JSON reader for tests: checks a document (RFC 8259, valid UTF-8) and gives its
// values by key and index.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sb::testing {

struct JsonValue {
  enum Type { kNull, kBool, kNumber, kString, kArray, kObject };
  Type type = kNull;
  bool boolean = false;
  double number = 0;
  std::string text;  // strings, UTF-8
  std::vector<JsonValue> items;
  std::vector<std::pair<std::string, JsonValue>> members;

  bool IsNull() const { return type == kNull; }
  bool Has(const std::string& key) const;
  // A missing key or index fails the test that asks and gives a null value.
  const JsonValue& operator[](const std::string& key) const;
  const JsonValue& operator[](size_t index) const;
  size_t size() const { return type == kArray ? items.size() : members.size(); }
  long long Int() const { return static_cast<long long>(number); }
};

// The value of a whole document, or nothing with the reason in *err.
std::optional<JsonValue> ParseJson(std::string_view text, std::string* err);

}  // namespace sb::testing
