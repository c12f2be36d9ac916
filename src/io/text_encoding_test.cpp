#include "io/text_encoding.h"

#include <gtest/gtest.h>

namespace sb {
namespace {

TEST(TextEncoding, Windows1252ToUtf8) {
  const std::pair<std::string, std::string> cases[] = {
      {"Zeva", "Zeva"},
      {"\x80", "\xE2\x82\xAC"},              // euro sign
      {"\x93pi\xF9\x94", "\xE2\x80\x9Cpi\xC3\xB9\xE2\x80\x9D"},  // curly quotes, u grave
      {"\x8A\x9F", "\xC5\xA0\xC5\xB8"},      // S caron, Y diaeresis
      {"\xA0\xFF", "\xC2\xA0\xC3\xBF"},      // the Latin-1 half maps to itself
      {"\xE8", "\xC3\xA8"},
      // The five undefined bytes keep their number as C1 controls.
      {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const auto& [in, out] : cases) {
    EXPECT_EQ(Cp1252ToUtf8(in), out) << in;
    EXPECT_TRUE(IsValidUtf8(Cp1252ToUtf8(in)));
  }
  // Every byte gives valid UTF-8.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_TRUE(IsValidUtf8(Cp1252ToUtf8(all)));
}

TEST(TextEncoding, ValidUtf8) {
  const std::pair<const char*, bool> cases[] = {
      {"plain", true},
      {"\xC3\xA8", true},
      {"\xE2\x82\xAC", true},
      {"\xF0\x9F\x9A\x86", true},  // U+1F686, a train
      {"\xE8", false},             // a lone Windows-1252 byte
      {"\xC0\xAF", false},         // overlong
      {"\xE0\x80\xAF", false},     // overlong
      {"\xED\xA0\x80", false},     // surrogate
      {"\xF4\x90\x80\x80", false}, // beyond U+10FFFF
      {"\xE2\x82", false},         // cut short
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(IsValidUtf8(text), valid) << text;
}

TEST(TextEncoding, PathsKeepValidUtf8AndReadOthersAsWindows1252) {
  EXPECT_EQ(PathToUtf8("/home/jos\xC3\xA9/linea"), "/home/jos\xC3\xA9/linea");
  EXPECT_EQ(PathToUtf8("C:\\giochi\\jos\xE9"), "C:\\giochi\\jos\xC3\xA9");
}

// A writer that converts piece by piece holds back only a character cut short.
TEST(TextEncoding, CompleteUtf8LengthHoldsBackACharacterCutShort) {
  const std::pair<const char*, size_t> cases[] = {
      {"pend\xC3\xA8nza", 9},
      {"pend\xC3", 4},                 // è cut after its first byte
      {"\xE2\x82", 0},                // € cut after two bytes
      {"a\xE2\x82\xAC", 4},          // € whole
      {"a\xF0\x9F\x9A", 1},          // a train, three bytes of four
      {"a\xF0\x9F\x9A\x86", 5},
      {"a\xE8", 1},                    // may begin a character: held until the next piece
      {"a\xFF", 2},                    // begins none
      {"a\x80\x80\x80\x80", 5},     // continuation bytes without a lead
      {"", 0},
  };
  for (const auto& [text, length] : cases) EXPECT_EQ(CompleteUtf8Length(text), length) << text;
}

}  // namespace
}  // namespace sb
