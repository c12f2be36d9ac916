#include "authoring/json_output.h"

#include <gtest/gtest.h>

#include <limits>

namespace sb {
namespace {

TEST(JsonDocument, TopMembersAndArrayElementsOneToALine) {
  Json doc;
  doc["code"] = 16;
  doc["position"] = OrNull(std::optional<int>());
  doc["faults"] = Json::array({Json{{"line", 7}, {"values", {1, -2}}}, Json{{"line", nullptr}}});
  doc["files"] = Json::array({"a.dat", "b.sim"});
  doc["empty"] = Json::array();
  doc["left"] = Json{{"route", 4000}, {"train", 0}};
  EXPECT_EQ(JsonDocument(doc),
            "{\n"
            "  \"code\": 16,\n"
            "  \"position\": null,\n"
            "  \"faults\": [\n"
            "    {\"line\":7,\"values\":[1,-2]},\n"
            "    {\"line\":null}\n"
            "  ],\n"
            "  \"files\": [\n"
            "    \"a.dat\",\n"
            "    \"b.sim\"\n"
            "  ],\n"
            "  \"empty\": [],\n"
            "  \"left\": {\"route\":4000,\"train\":0}\n"
            "}\n");
  EXPECT_EQ(JsonDocument(Json::object()), "{}\n");
}

// Every document must be valid JSON in UTF-8 whatever the bytes of a message: a stray byte
// must neither throw nor reach the output.
TEST(JsonDocument, StringsAreEscapedAndInvalidBytesReplaced) {
  const std::pair<std::string, std::string> cases[] = {
      {"a\"b\\c/", "\"a\\\"b\\\\c/\""},
      {"\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
      {std::string("\x01\x1F\0", 3), "\"\\u0001\\u001f\\u0000\""},
      {"\xC3\xA8\xE2\x82\xAC \xF0\x9F\x9A\x86", "\"\xC3\xA8\xE2\x82\xAC \xF0\x9F\x9A\x86\""},
      {"a\xE8z", "\"a\xEF\xBF\xBDz\""},                   // a Windows-1252 byte
      {"\xE2\x82", "\"\xEF\xBF\xBD\""},                    // a cut sequence
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},        // an overlong form
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
  };
  for (const auto& [in, quoted] : cases) {
    Json doc;
    doc[in] = in;  // keys too
    std::string out;
    ASSERT_NO_THROW(out = JsonDocument(doc)) << in;
    EXPECT_EQ(out, "{\n  " + quoted + ": " + quoted + "\n}\n") << in;
    EXPECT_TRUE(nlohmann::json::accept(out)) << out;
  }
}

TEST(JsonDocument, NumbersReadBackExactly) {
  Json doc;
  doc["x"] = -50.00833319444638;
  doc["tiny"] = 5e-324;
  doc["nan"] = std::numeric_limits<double>::quiet_NaN();
  doc["inf"] = -std::numeric_limits<double>::infinity();
  doc["big"] = int64_t{-9007199254740993};
  const nlohmann::json back = nlohmann::json::parse(JsonDocument(doc));
  EXPECT_EQ(back.at("x").get<double>(), -50.00833319444638);
  EXPECT_EQ(back.at("tiny").get<double>(), 5e-324);
  EXPECT_TRUE(back.at("nan").is_null());
  EXPECT_TRUE(back.at("inf").is_null());
  EXPECT_EQ(back.at("big").get<int64_t>(), -9007199254740993);
}

}  // namespace
}  // namespace sb
