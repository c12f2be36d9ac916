#include "compiler/scenario_codes.h"

namespace sb {
namespace {

constexpr char kFiller[] = "ppqqrrssttuuvvwwxxyyzzjjkk";

unsigned char Lower1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  if (c == 0x8A || c == 0x8C || c == 0x8E) return static_cast<unsigned char>(c + 0x10);
  if (c == 0x9F) return 0xFF;
  return c;
}

// The code text: lower-cased train number and scenario name, then the filler.
const std::string& CodeText(Form1& form) {
  form.InputField =
      LowerCaseCp1252(form.StationTable[kRowSignals].name + form.StationTable[kRowLine].name) + kFiller;
  return form.InputField;
}

}  // namespace

std::string LowerCaseCp1252(const std::string& text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(Lower1252(static_cast<unsigned char>(ch)));
  return out;
}

int32_t codice_gara_st(Form1& form) {
  const std::string& t = CodeText(form);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += static_cast<unsigned char>(t[static_cast<size_t>(i - 1)]) * i;
  return sum;
}

int32_t codice_gara_og(Form1& form) {
  const std::string& t = CodeText(form);
  int32_t sum = 0;
  for (int i = 1; i <= 25; ++i) sum += static_cast<unsigned char>(t[static_cast<size_t>(i - 1)]);
  return sum;
}

}  // namespace sb
