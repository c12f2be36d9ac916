#include "authoring/json_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json_value.h"

namespace sb {
namespace {

TEST(JsonWriter, StringEscapes) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "\"plain\""},
      {"a\"b\\c", "\"a\\\"b\\\\c\""},
      {"\n\r\t\b\f", "\"\\n\\r\\t\\b\\f\""},
      {std::string("\x01\x1F\0", 3), "\"\\u0001\\u001f\\u0000\""},
      {"/ and \x7F", "\"/ and \x7F\""},
      {"\xC3\xA8\xE2\x82\xAC", "\"\xC3\xA8\xE2\x82\xAC\""},  // valid UTF-8 kept
      {"a\xE8z", "\"a\xEF\xBF\xBDz\""},                      // a stray byte becomes U+FFFD
      {"\xE2\x82", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},          // so does a cut sequence
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(JsonQuote(in), out) << in;
}

TEST(JsonWriter, DocumentReadsBackWithTheSameValues) {
  JsonWriter w;
  w.BeginObject();
  w.Key("code").Int(16);
  w.Key("position").Int(std::optional<int64_t>());
  w.Key("text").Text("pend\xE8nza \"x\"\r\n");
  w.Key("x").Double(-50.00833319444638);
  w.Key("nan").Double(std::numeric_limits<double>::quiet_NaN());
  w.Key("empty").BeginArray().EndArray();
  w.Key("rows").BeginArray();
  for (int k = 0; k < 2; ++k) {
    w.BeginObject(true);
    w.Key("row").Int(k);
    w.Key("values").BeginArray(true).Int(1).Int(-2).EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.Key("ok").Bool(true);
  w.EndObject();
  std::string doc = w.Finish();

  std::string err;
  std::optional<testing::JsonValue> v = testing::ParseJson(doc, &err);
  ASSERT_TRUE(v) << err << "\n" << doc;
  const testing::JsonValue& j = *v;
  EXPECT_EQ(j["code"].Int(), 16);
  EXPECT_TRUE(j["position"].IsNull());
  EXPECT_EQ(j["text"].text, "pend\xC3\xA8nza \"x\"\r\n");
  EXPECT_EQ(j["x"].number, -50.00833319444638);  // shortest form, read back exactly
  EXPECT_TRUE(j["nan"].IsNull());
  EXPECT_EQ(j["empty"].size(), 0u);
  EXPECT_EQ(j["rows"][1]["values"][1].Int(), -2);
  EXPECT_TRUE(j["ok"].boolean);
  // Inline objects: one row per line.
  EXPECT_NE(doc.find("\n    {\"row\": 1, \"values\": [1, -2]}\n"), std::string::npos) << doc;
}

// The reader the tests check JSON with must itself refuse what is not JSON.
TEST(JsonWriter, TheTestReaderRefusesInvalidDocuments) {
  const char* bad[] = {
      "",          "{",           "{\"a\": 1,}",     "[1 2]",      "{\"a\" 1}",
      "\"a\nb\"",  "\"\xE8\"",    "\"\\ud800\"",     "01",         "1.",
      "[1] [2]",   "{a: 1}",      "\"\\x41\"",       "nul",        "\"\xC0\xAF\"",
  };
  for (const char* doc : bad) {
    std::string err;
    EXPECT_FALSE(testing::ParseJson(doc, &err)) << doc;
  }
  std::string err;
  EXPECT_TRUE(testing::ParseJson(" {\"a\": [1.5e3, -0, \"\\ud83d\\ude86\", null]} ", &err)) << err;
}

}  // namespace
}  // namespace sb
