#include "authoring/json_output.h"

namespace sb {
namespace {

std::string OneLine(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string JsonDocument(const Json& doc) {
  if (!doc.is_object() || doc.empty()) return OneLine(doc) + "\n";
  std::string out = "{";
  const char* member_sep = "\n  ";
  for (auto member = doc.begin(); member != doc.end(); ++member) {
    out += member_sep;
    member_sep = ",\n  ";
    out += OneLine(member.key());
    out += ": ";
    const Json& value = member.value();
    if (!value.is_array() || value.empty()) {
      out += OneLine(value);
      continue;
    }
    const char* element_sep = "[\n    ";
    for (const Json& element : value) {
      out += element_sep;
      element_sep = ",\n    ";
      out += OneLine(element);
    }
    out += "\n  ]";
  }
  out += "\n}\n";
  return out;
}

}  // namespace sb
