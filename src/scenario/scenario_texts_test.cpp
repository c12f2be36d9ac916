#include "scenario/scenario_texts.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string_view>

#include "scenario/text_file.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;

// FNV-1a, 64 bits.
uint64_t Fnv1a64(std::string_view bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

size_t Count(std::string_view s, std::string_view what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string_view::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// The checksums were computed once over the documented texts of the five files (each line
// followed by CR LF), after checking those texts by eye; for the notes, over the lines other
// than the two author lines 7 and 11.
struct Text {
  const char* name;
  std::vector<std::string> (*lines)();
  void (*writer)(Form1&);
  ScenarioFile file;
  size_t line_count;
  size_t bytes;
  uint64_t fnv;
  std::vector<std::pair<size_t, const char*>> sample;  // line number (from 1), full text
};

const std::vector<Text>& Texts() {
  static const std::vector<Text> texts = {
      {"route source", RouteTextLines, dati_linea, ScenarioFile::kRouteSource, 78, 2397,
       0xa569eb564648b6efull,
       {{1, "[generale]"},
        {2, "lunghezza percorso,    376000"},
        {9, "ripetizione segnali 9 codici,    1500,    360000"},
        {58, "montagna,   3000,  3500,  12"},
        {67, "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2"},
        {76, "cartello_indicatore,  109950,   (   INIZIO LINEA)(   DIRETTISSIMA)"},
        {77, "cartello_indicatore,  198800,   (    DEPRESSIONE )(  - 19.6  s.l.m.)"},
        {78, "[fine]"}}},
      {"train source", TrainTextLines, dati_treno, ScenarioFile::kTrainSource, 179, 9449,
       0x439b2cd1741b8d1eull,
       {{5, "orologio,    9               12            40 "},
        {19, "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, TORBENA S.M.N."},
        {35, "stazione,  205000,  4,  700,  0, 0, 0,  1,1,0,  2,1,1,    1,  11,50,40, SARVICO"},
        {41, "stazione,  376000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ZEVA TERMINI"},
        {42, "[rallentamenti]"},
        {43, "[segnali]"},
        {44, "segnale,    6200,   2, 4, 1,  1, 0,    2,  2,1,1, 0"},
        {131, "segnale,  250000,   1, 4, 1,  1, 0,    2,  3,1,1, 0"},
        {171, "segnale,  353900,   2, 4, 0,  0, 0,    2,  3,1,1, 0"},
        {175, "segnale,  365150,   2, 3, 1,  1, 0,    2,  3,1,1, 0"},
        {177, "abbattimento,  205250,   180"},
        {178, "abbattimento,  225750,   AC"},
        {179, "[fine]"}}},
      {"train card", TrainCardLines, dati_scheda, ScenarioFile::kTrainCard, 53, 4161,
       0xdf81e750e5af943full,
       {{1, ""},
        {2, ""},
        {3, "  ___________________                                                ______________"},
        {5, " |   TRENO n.47302   |                   da: TORBENA                |    V67  C    |"},
        {9, " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       "},
        {12, ""},
        {46, " |     |     | 273.000  /     | NARNI                      |                |     |"},
        {48, " |_____|_____|_302.000__|_____|_BORGHETTO___   ____________|________________|_____|"},
        {53, " I     I     I 371.000  I     I ZEVA TERMINI               I                I     I"}}},
      {"slowdown order form", SlowdownOrderLines, dati_rallentamenti, ScenarioFile::kSlowdownOrder,
       46, 3283, 0x0f2bcaa220f4b5d8ull,
       {{1, ""},
        {2, "                               Modulo M. 3"},
        {5, "  Linea  xxxxxx xxxxxxx"},
        {7, "  Si ordina al macchinista del treno xxxxx di effettuare i seguenti rallentamenti"},
        {10, " | N.|      FRA LE STAZIONI       | il cippo   | Velocita'|Lunghezza|Prescrizioni|"},
        {13, " |   |                            |            |          |         |            |"},
        {38, " |   |                            |            |          |         |            |"},
        {39, " |___|____________________________|____________|__________|_________|____________|"},
        {44, " D - Rallentamneto N. ... e N. ...  sono contigui"},
        {46, "     i giorni esclusi i seguenti:........."}}},
  };
  return texts;
}

std::string Render(const std::vector<std::string>& lines) { return RenderLines(LineTable(lines)); }

TEST(ScenarioTexts, ContentByteForByte) {
  for (const Text& t : Texts()) {
    SCOPED_TRACE(t.name);
    const std::vector<std::string> lines = t.lines();
    ASSERT_EQ(lines.size(), t.line_count);
    for (const auto& [n, text] : t.sample) EXPECT_EQ(lines[n - 1], text) << "line " << n;
    const std::string bytes = Render(lines);
    EXPECT_EQ(bytes.size(), t.bytes);
    EXPECT_EQ(Fnv1a64(bytes), t.fnv);
  }
}

TEST(ScenarioTexts, WritersWriteExactlyTheLinesWithCrLf) {
  for (const Text& t : Texts()) {
    SCOPED_TRACE(t.name);
    MemoryScenario s;
    t.writer(s.form);
    ASSERT_TRUE(s.Has(t.file));
    const std::string& file = s.Get(t.file);
    EXPECT_EQ(file, Render(t.lines()));
    EXPECT_EQ(Count(file, "\r\n"), t.line_count);
    EXPECT_EQ(Count(file, "\n"), t.line_count);
    EXPECT_EQ(Count(file, "\r"), t.line_count);
    EXPECT_EQ(file.find(kEndMarker), std::string::npos);
    EXPECT_EQ(file.substr(file.size() - 2), "\r\n");
    EXPECT_NE(file.substr(file.size() - 4), "\r\n\r\n");
    for (unsigned char c : file) EXPECT_LT(c, 0x80) << "not 7-bit text";
  }
}

TEST(ScenarioTexts, OtherNamesChangeTheFileNameOnly) {
  for (const Text& t : Texts()) {
    SCOPED_TRACE(t.name);
    MemoryScenario s;
    s.form.ScenarioName = "Altra-Linea";
    s.form.TrainNumber = "999";
    t.writer(s.form);
    ASSERT_EQ(s.fs.files().size(), 1u);
    EXPECT_EQ(s.fs.files().begin()->first, s.Path(t.file));
    EXPECT_EQ(s.fs.files().begin()->second, Render(t.lines()));
  }
}

TEST(ScenarioTexts, EarlierLongerFileIsReplacedWhole) {
  for (const Text& t : Texts()) {
    SCOPED_TRACE(t.name);
    MemoryScenario s;
    s.Put(t.file, std::string(20000, '#') + "\r\n");
    t.writer(s.form);
    EXPECT_EQ(s.Get(t.file).size(), t.bytes);
  }
}

TEST(NotesText, ConstantLinesAndAuthorLines) {
  const std::vector<std::string> lines = NotesLines();
  ASSERT_EQ(lines.size(), 11u);
  EXPECT_EQ(lines[0], "QUESTO SCENARIO NON CORRISPONDE ALLA REALTA'.");
  EXPECT_EQ(lines[1], "LE STAZIONI SONO STATE PRESE DA UN VECCHIO ORARIO DEL 1918.");
  EXPECT_EQ(lines[2],
            "ANCHE GLI ORARI E LE ALTRE COMPONENENTI DELLO SCENARIO NON SONO VERE QUINDI QUESTO "
            "SCENERIO E' DI PURA FANTASIA.");
  EXPECT_EQ(lines[3], "SPERO CHE VI PIACCIA.");
  for (size_t n : {5u, 6u, 8u, 9u, 10u}) EXPECT_EQ(lines[n - 1], "") << "line " << n;

  // Lines 7 and 11 name the authors and point to the README: one non-empty line each.
  for (size_t n : {7u, 11u}) {
    EXPECT_FALSE(lines[n - 1].empty()) << "line " << n;
    EXPECT_EQ(lines[n - 1].find_first_of("\r\n"), std::string::npos) << "line " << n;
  }
  EXPECT_NE(lines[10].find("README"), std::string::npos) << lines[10];

  std::string constant;
  for (size_t n = 1; n <= 11; ++n) {
    if (n == 7 || n == 11) continue;
    constant += lines[n - 1] + "\r\n";
  }
  EXPECT_EQ(Fnv1a64(constant), 0x6e662e6beadf606aull);
  const std::string file = Render(lines);
  EXPECT_EQ(file.size() - lines[6].size() - lines[10].size(), 259u);
  EXPECT_EQ(Count(file, "\r\n"), 11u);
}

TEST(NotesText, WriterWritesTheElevenLines) {
  MemoryScenario s;
  s.Put(ScenarioFile::kNotes, std::string(5000, 'n'));
  dati_note(s.form);
  EXPECT_EQ(s.Get(ScenarioFile::kNotes), Render(NotesLines()));
}

}  // namespace
}  // namespace sb
