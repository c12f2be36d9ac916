#include "readers/field_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "model/run_errors.h"

namespace sb {
namespace {

enum class Kind { kInt32, kInt16, kByte };

// Reads one numeric field of the given width; nullopt for a read failure.
std::optional<int64_t> ReadOne(const std::string& text, Kind kind) {
  FieldReader in(text);
  try {
    switch (kind) {
      case Kind::kInt32: return in.ReadInt32();
      case Kind::kInt16: return in.ReadInt16();
      case Kind::kByte: return in.ReadByte();
    }
  } catch (const ReadFailure&) {
  }
  return std::nullopt;
}

TEST(FieldReaderNumbers, ValueOfTheLongestNumericPrefixRoundedHalfToEven) {
  const struct {
    const char* text;
    Kind kind;
    std::optional<int64_t> value;  // nullopt: read failure
  } cases[] = {
      {"12", Kind::kInt32, 12},
      {"  -7  ,", Kind::kInt32, -7},
      {"+5", Kind::kInt32, 5},
      {"007", Kind::kInt32, 7},
      {"12abc", Kind::kInt32, 12},
      {"1e3", Kind::kInt32, 1},
      {"0x10", Kind::kInt32, 0},
      {"AC", Kind::kInt32, 0},
      {"\"5\"", Kind::kInt32, 0},  // double quotes are ordinary characters
      {"-", Kind::kInt32, 0},
      {"--5", Kind::kInt32, 0},
      {".5", Kind::kInt32, 0},
      {"5.", Kind::kInt32, 5},
      {"5.x", Kind::kInt32, 5},
      {"1.5", Kind::kInt32, 2},
      {"2.5", Kind::kInt32, 2},
      {"2.50", Kind::kInt32, 2},
      {"2.500001", Kind::kInt32, 3},
      {"2.49999", Kind::kInt32, 2},
      {"0.5", Kind::kInt32, 0},
      {"-2.5", Kind::kInt32, -2},
      {"-3.5", Kind::kInt32, -4},
      {"-0.6", Kind::kInt32, -1},
      {"7.5.5", Kind::kInt32, 8},
      {"2147483647", Kind::kInt32, 2147483647},
      {"-2147483648", Kind::kInt32, -2147483648LL},
      {"2147483646.5", Kind::kInt32, 2147483646},
      {"2147483648", Kind::kInt32, std::nullopt},
      {"-2147483649", Kind::kInt32, std::nullopt},
      {"2147483647.5", Kind::kInt32, std::nullopt},  // rounds to 2^31
      {"99999999999999999999999", Kind::kInt32, std::nullopt},
      {"32767", Kind::kInt16, 32767},
      {"-32768", Kind::kInt16, -32768},
      {"32766.5", Kind::kInt16, 32766},
      {"32767.5", Kind::kInt16, std::nullopt},
      {"32768", Kind::kInt16, std::nullopt},
      {"-32769", Kind::kInt16, std::nullopt},
      {"255", Kind::kByte, 255},
      {"254.5", Kind::kByte, 254},
      {"255.5", Kind::kByte, std::nullopt},
      {"256", Kind::kByte, std::nullopt},
      {"-0", Kind::kByte, 0},
      {"-0.5", Kind::kByte, 0},
      {"-0.6", Kind::kByte, std::nullopt},
      {"-1", Kind::kByte, std::nullopt},
      {"AC", Kind::kByte, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadOne(c.text, c.kind), c.value) << "'" << c.text << "'";
}

// One step of a reading script: what to read and what it must give.
struct Step {
  enum Op { kText, kNumber, kFails } op;
  std::string text;   // kText: the field
  int64_t number;     // kNumber: the value
  int32_t line;       // line of the field (0: not checked)
};

void RunScript(const char* what, const std::string& text, const std::vector<Step>& steps,
               bool eof_at_end) {
  SCOPED_TRACE(what);
  FieldReader in(text);
  for (size_t k = 0; k < steps.size(); ++k) {
    const Step& s = steps[k];
    SCOPED_TRACE("step " + std::to_string(k));
    switch (s.op) {
      case Step::kText: EXPECT_EQ(in.ReadText(), s.text); break;
      case Step::kNumber: EXPECT_EQ(in.ReadInt32(), s.number); break;
      case Step::kFails: EXPECT_THROW(in.ReadText(), ReadFailure); break;
    }
    if (s.line != 0 && s.op != Step::kFails) {
      EXPECT_EQ(in.FieldLine(), s.line);
    }
  }
  EXPECT_EQ(in.Eof(), eof_at_end);
}

Step T(std::string t, int32_t line = 0) { return {Step::kText, std::move(t), 0, line}; }
Step N(int64_t n, int32_t line = 0) { return {Step::kNumber, "", n, line}; }
Step Fails() { return {Step::kFails, "", 0, 0}; }

TEST(FieldReaderFields, FieldsEndAtCommasAndLineEnds) {
  RunScript("commas, CR LF and a lone LF", "a,b\r\nc\nd", {T("a", 1), T("b", 1), T("c", 2), T("d", 3)},
            true);
  RunScript("leading blanks skipped, inner and trailing blanks kept",
            "  a b  ,\tc\t\r\n", {T("a b  "), T("c\t")}, true);
  RunScript("an empty line is an empty field", "a\r\n\r\nb\r\n", {T("a", 1), T("", 2), T("b", 3)}, true);
  RunScript("a lone CR is an ordinary character", "a\rb,c\r\r\nd",
            {T("a\rb", 1), T("c\r", 1), T("d", 2)}, true);
  RunScript("double quotes do not group", "\"a,b\",c", {T("\"a"), T("b\""), T("c")}, true);
  RunScript("a text field keeps its blanks up to the end of the text", "x,  a b  ",
            {T("x"), T("a b  ")}, true);
}

TEST(FieldReaderFields, NumbersAlsoEndAtBlanks) {
  RunScript("numbers separated by blanks only, trailing blank and line end consumed",
            "orologio,    9               12            40 \r\nnext",
            {T("orologio", 1), N(9, 1), N(12, 1), N(40, 1), T("next", 2)}, true);
  RunScript("blanks then a comma after a number: the comma goes with it", "5   ,6\t,\t7",
            {N(5), N(6), N(7)}, true);
  RunScript("blanks then a line end after a number", "5  \r\nx", {N(5, 1), T("x", 2)}, true);
  RunScript("blanks then another field: nothing more is consumed", "5   x,y", {N(5), T("x"), T("y")},
            true);
  RunScript("a number with a lone CR after it", "7\r,8", {N(7), N(8)}, true);
  RunScript("a text read as a number reads 0 and is consumed", "AC,3", {N(0), N(3)}, true);
  RunScript("a blank field read as a number", "   \r\n5", {N(0, 1), N(5, 2)}, true);
}

TEST(FieldReaderFields, EndOfText) {
  RunScript("an empty text fails at its first read", "", {Fails()}, true);
  RunScript("reading past the last field fails", "a\r\n", {T("a"), Fails()}, true);
  RunScript("a comma that ends the text leaves no field", "5,", {N(5), Fails()}, true);
  RunScript("blanks before the end make an empty field, not a read past the end", "5,   ",
            {N(5), N(0)}, true);
  RunScript("blanks before the end, read as text", "a,  ", {T("a"), T("")}, true);
  RunScript("the end test is false while a field remains", "a,b", {T("a")}, false);
  RunScript("a last field without a line end", "a\r\nb", {T("a"), T("b")}, true);
}

TEST(FieldReaderFields, LineNumbersOfFieldsAndStartOfLine) {
  FieldReader in("[generale]\r\n  lunghezza percorso,    376000\r\n\r\nsfondo uno,\r\n   1\r\n");
  EXPECT_EQ(in.ReadText(), "[generale]");
  EXPECT_EQ(in.FieldLine(), 1);
  EXPECT_TRUE(in.FieldStartsLine());
  EXPECT_EQ(in.CurrentLine(), 2);
  EXPECT_EQ(in.ReadText(), "lunghezza percorso");
  EXPECT_EQ(in.FieldLine(), 2);
  EXPECT_TRUE(in.FieldStartsLine());
  EXPECT_EQ(in.ReadInt32(), 376000);
  EXPECT_EQ(in.FieldLine(), 2);
  EXPECT_FALSE(in.FieldStartsLine());
  EXPECT_EQ(in.ReadText(), "");
  EXPECT_EQ(in.FieldLine(), 3);
  EXPECT_EQ(in.ReadText(), "sfondo uno");
  EXPECT_EQ(in.FieldLine(), 4);
  // A comma before the line end leaves an empty field there.
  EXPECT_EQ(in.ReadInt32(), 0);
  EXPECT_EQ(in.FieldLine(), 4);
  EXPECT_EQ(in.ReadInt32(), 1);
  EXPECT_EQ(in.FieldLine(), 5);
  EXPECT_TRUE(in.Eof());
  EXPECT_EQ(in.CurrentLine(), 6);
}

}  // namespace
}  // namespace sb
