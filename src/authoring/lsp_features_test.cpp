#include "authoring/lsp_features.h"

#include <gtest/gtest.h>

#include <string>

namespace sb {
namespace {

std::string Fields(SourceFile text, std::string_view line) {
  const LineParse l = ParseLine(text, line);
  std::string out;
  for (const LineField& f : l.fields) {
    out += '[';
    out.append(line.substr(static_cast<size_t>(f.begin), static_cast<size_t>(f.end - f.begin)));
    out += ']';
  }
  return out;
}

// The fields as the reader splits them: blanks end a number, not a text.
TEST(LspFeatures, ParseLineSplitsAsTheReader) {
  EXPECT_EQ(Fields(SourceFile::kTrain, "orologio,    9               12            40 "), "[orologio][9][12][40]");
  EXPECT_EQ(Fields(SourceFile::kTrain, "stazione, 0, 8, 1000, 0,0,0, 1,1,0, 4,1,1, 1, 9,12,40, TORBENA S.M.N. "),
            "[stazione][0][8][1000][0][0][0][1][1][0][4][1][1][1][9][12][40][TORBENA S.M.N.]");
  EXPECT_EQ(Fields(SourceFile::kRoute, "cartello_indicatore,  109950,   (   INIZIO LINEA)"),
            "[cartello_indicatore][109950][(   INIZIO LINEA)]");
  EXPECT_EQ(Fields(SourceFile::kRoute, "unknown key, a b, c"), "[unknown key][a b][c]");
  EXPECT_TRUE(ParseLine(SourceFile::kRoute, "---- curve ----").comment);
  const LineParse after_comment = ParseLine(SourceFile::kRoute, "-- nota, pendenza, 0, 1");
  EXPECT_EQ(after_comment.keyIndex, 1u);
  ASSERT_NE(after_comment.key, nullptr);
  EXPECT_STREQ(after_comment.key->key, "pendenza");
  EXPECT_TRUE(ParseLine(SourceFile::kRoute, "  [pendenze]").head);

  const LineParse l = ParseLine(SourceFile::kTrain, "segnale, 8000, 2");
  EXPECT_EQ(FieldAt(l, 9), 1);
  EXPECT_EQ(FieldAt(l, 13), 1);  // just after the field
  EXPECT_EQ(FieldAt(l, 14), -1);
  EXPECT_EQ(ActiveField(l, 7), 0);
  EXPECT_EQ(ActiveField(l, 8), 1);
  EXPECT_EQ(ActiveField(l, 15), 2);
}

// What a value comes to, as the readers work it out.
TEST(LspFeatures, HoverTellsWhereAValueLands) {
  const struct {
    SourceFile text;
    const char* line;
    int character;
    const char* want;
  } cases[] = {
      {SourceFile::kTrain, "segnale, 8000, 2,4,1, 1, 0, 2, 2,1,1, 0", 10, "As read: 8000 m: cell 161"},
      {SourceFile::kTrain, "stazione, 5000, 5, 400, 0,0,0, 1,1,0, 4,1,1, 0, 0,0,0, X", 17,
       "the station's extent: 4600 m to 5150 m; stop mark in cell 102"},
      {SourceFile::kRoute, "indicatori_vmax, 1000, 60, 70, 50, 1, 60, 70, 50, 2", 24,
       "value1 = 60 x 20 + 60 / 5 = 1212"},
      {SourceFile::kRoute, "indicatori_vmax, 1000, 60, 70, 50, 1, 60, 70, 50, 2", 36, "value4 = 12"},
      {SourceFile::kRoute, "lunghezza percorso, 30000", 22, "a track of 740 cells (37,000 m)"},
      {SourceFile::kRoute, "montagna, 3000, 3500, 12", 11, "cells 60 to 69"},
      {SourceFile::kTrain, "velocita, 1000, 62", 17, "62 km/h: 12 in units of 5 km/h"},
      {SourceFile::kTrain, "abbattimento, 205250, AC", 22, "a word: no number"},
      {SourceFile::kTrain, "sabbia, 70000", 9, "does not fit a 16-bit integer (-32,768 to 32,767): fault 25"},
      {SourceFile::kTrain, "sabbia, 12O", 9, "read as 12; the characters after the number are not read"},
      {SourceFile::kTrain, "stazione, 0, 8, 1000, 0,0,0, 1,1,0, 4,1,1, 1, 9,12,40, TORBENA", 60, "As read: 'TORBENA'"},
  };
  for (const auto& c : cases) {
    const Json h = HoverAt(c.text, c.line, {0, c.character});
    ASSERT_FALSE(h.is_null()) << c.line;
    const std::string md = h["contents"]["value"];
    EXPECT_NE(md.find(c.want), std::string::npos) << c.line << "\n" << md;
  }
  EXPECT_TRUE(HoverAt(SourceFile::kTrain, "zzz, 1", {0, 1}).is_null());
  EXPECT_TRUE(HoverAt(SourceFile::kTrain, "segnale, 8000", {3, 0}).is_null());
}

}  // namespace
}  // namespace sb
