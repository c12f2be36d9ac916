#include "compiler/scenario_codes.h"

#include <gtest/gtest.h>

#include <string>

namespace sb {
namespace {

struct Codes {
  int32_t st;
  int32_t og;
  bool operator==(const Codes&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Codes& c) {
  return os << "st " << c.st << ", og " << c.og;
}

// The codes read the train number from row 86 and the scenario name from row 85.
Codes Of(const std::string& train, const std::string& scenario) {
  Form1 f;
  f.StationTable[kRowSignals].name = train;
  f.StationTable[kRowLine].name = scenario;
  Codes c;
  c.st = codice_gara_st(f);
  c.og = codice_gara_og(f);
  return c;
}

// Values worked out by hand from the character codes of "47302torbena-sarvico-zeva"
// (og: their sum; st: each weighted by its position from 1) and of the filler.
TEST(ScenarioCodes, ValuesOfTheBuiltInScenario) {
  EXPECT_EQ(Of("47302", "Torbena-Sarvico-Zeva"), (Codes{32088, 2290}));
  EXPECT_EQ(Of("", ""), (Codes{37698, 2893}));                  // "ppqqrrssttuuvvwwxxyyzzjjk"
  EXPECT_EQ(Of("47302", "Torbena"), (Codes{35847, 2495}));      // "47302torbenappqqrrssttuuv"
}

TEST(ScenarioCodes, CodeTextIsLeftInInputField) {
  Form1 f;
  f.StationTable[kRowSignals].name = "47302";
  f.StationTable[kRowLine].name = "Torbena-Sarvico-Zeva";
  codice_gara_og(f);
  EXPECT_EQ(f.InputField, "47302torbena-sarvico-zevappqqrrssttuuvvwwxxyyzzjjkk");
}

TEST(ScenarioCodes, CaseOfTheNamesDoesNotMatter) {
  const Codes base = Of("47302", "Torbena-Sarvico-Zeva");
  EXPECT_EQ(Of("47302", "TORBENA-SARVICO-ZEVA"), base);
  EXPECT_EQ(Of("47302", "torbena-sarvico-zeva"), base);
  EXPECT_EQ(Of("47302", "tORBENA-sARVICO-zEVA"), base);
}

TEST(ScenarioCodes, SwapChangesStButNotOg) {
  const Codes base = Of("47302", "Torbena-Sarvico-Zeva");
  const std::pair<const char*, const char*> swapped[] = {
      {"74302", "Torbena-Sarvico-Zeva"},   // first two characters
      {"47302", "Torbena-Sarvico-Zeav"},   // last two of the 25
      {"4730T", "2orbena-Sarvico-Zeva"},   // across the two names
  };
  for (const auto& [train, scenario] : swapped) {
    const Codes c = Of(train, scenario);
    EXPECT_NE(c.st, base.st) << train << scenario;
    EXPECT_EQ(c.og, base.og) << train << scenario;
  }
}

TEST(ScenarioCodes, OnlyTheFirst25CharactersCount) {
  const Codes base = Of("47302", "Torbena-Sarvico-Zeva");
  EXPECT_EQ(Of("47302", "Torbena-Sarvico-ZevaXYZ"), base);
  EXPECT_EQ(Of("47302Torbena-Sarvico-Zeva", ""), base);
}

// Lower case of the Windows-1252 code page: A-Z and C0-DE except D7 move up by 20 hex,
// 8A, 8C, 8E go to 9A, 9C, 9E and 9F to FF; every other byte stays.
TEST(ScenarioCodes, Cp1252LowerCase) {
  for (int b = 0; b < 256; ++b) {
    int expected = b;
    if ((b >= 'A' && b <= 'Z') || (b >= 0xC0 && b <= 0xDE && b != 0xD7)) expected = b + 0x20;
    if (b == 0x8A || b == 0x8C || b == 0x8E) expected = b + 0x10;
    if (b == 0x9F) expected = 0xFF;
    const std::string out = LowerCaseCp1252(std::string(1, static_cast<char>(b)));
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), expected) << "byte " << b;
  }
}

TEST(ScenarioCodes, AccentedCapitalsCountAsTheirSmallLetters) {
  // Codes taken as unsigned 8-bit values: "\x9A\xFF\xE0\xFE\xF6\x9C\x9E" then the filler.
  const Codes small = Of("", "\x9A\xFF\xE0\xFE\xF6\x9C\x9E");
  EXPECT_EQ(small, (Codes{40316, 3535}));
  EXPECT_EQ(Of("", "\x8A\x9F\xC0\xDE\xD6\x8C\x8E"), small);
  // The multiplication sign and the sharp s have no other case.
  EXPECT_NE(Of("", "\xD7"), Of("", "\xF7"));
  EXPECT_NE(Of("", "\xDF"), Of("", "\xFF"));
}

}  // namespace
}  // namespace sb
