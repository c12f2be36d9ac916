// The JSON documents that --json prints, made with nlohmann-json.
#pragma once

#include <nlohmann/json.hpp>

#include <optional>
#include <string>

namespace sb {

// Members keep the order they are set in.
using Json = nlohmann::ordered_json;

// A value, or null when there is none.
template <typename T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

// The document as printed, ended by a newline: the members of the top object, and the
// elements of its arrays, one to a line; everything deeper on the line of its element (one
// fault, one cell per line). Strings must be UTF-8 (source text goes through Cp1252ToUtf8
// first); a byte that is not becomes U+FFFD. A number that is not finite is null.
std::string JsonDocument(const Json& doc);

}  // namespace sb
