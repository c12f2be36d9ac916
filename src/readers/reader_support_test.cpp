// The pieces both halves of the reader share: narrowing of values, warnings about odd
// lines, deletion of a text read.
#include "readers/reader_support.h"

#include <gtest/gtest.h>

#include <climits>

#include "model/run_errors.h"
#include "readers/field_reader.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;

// The message of the read failure that `f` raises, or "fits" when it raises none.
template <class F>
std::string FailureOf(F f) {
  try {
    f();
    return "fits";
  } catch (const ReadFailure& e) {
    return e.what();
  }
}

TEST(ReaderSupport, NarrowingFailsOnlyOutsideTheField) {
  const std::string byte = " does not fit a byte (0 to 255)";
  const std::string i16 = " does not fit a 16-bit value (-32768 to 32767)";
  const std::string i32 = " does not fit a 32-bit value";
  const struct {
    int64_t value;
    std::string to_byte, to_int16, to_int32;
  } cases[] = {
      {-1, "v -1" + byte, "fits", "fits"},
      {0, "fits", "fits", "fits"},
      {255, "fits", "fits", "fits"},
      {256, "v 256" + byte, "fits", "fits"},
      {-32769, "v -32769" + byte, "v -32769" + i16, "fits"},
      {32767, "v 32767" + byte, "fits", "fits"},
      {32768, "v 32768" + byte, "v 32768" + i16, "fits"},
      {int64_t{INT32_MIN}, "v -2147483648" + byte, "v -2147483648" + i16, "fits"},
      {int64_t{INT32_MAX} + 1, "v 2147483648" + byte, "v 2147483648" + i16, "v 2147483648" + i32},
      {int64_t{INT32_MIN} - 1, "v -2147483649" + byte, "v -2147483649" + i16, "v -2147483649" + i32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(FailureOf([&] { EXPECT_EQ(ToByte(c.value, "v"), c.value); }), c.to_byte);
    EXPECT_EQ(FailureOf([&] { EXPECT_EQ(ToInt16(c.value, "v"), c.value); }), c.to_int16);
    EXPECT_EQ(FailureOf([&] { EXPECT_EQ(ToInt32(c.value, "v"), c.value); }), c.to_int32);
  }
}

const char* const kKeys[] = {"pendenza", "montagna"};

TEST(ReaderSupport, UnknownKeyWarnings) {
  const struct {
    const char* what;
    const char* text;
    int field;            // the field read as the key, from 0
    const char* warning;  // nullptr: none
  } cases[] = {
      {"a near key is named", "pendnza, 1\r\n", 0,
       "unknown key 'pendnza', line ignored (did you mean 'pendenza'?)"},
      {"trailing blanks are not quoted", "pendnza  , 1\r\n", 0,
       "unknown key 'pendnza', line ignored (did you mean 'pendenza'?)"},
      {"no key is near", "zzzz\r\n", 0, "unknown key 'zzzz', line ignored"},
      {"bytes above 127 are quoted as UTF-8", "pend\xE8nza\r\n", 0,
       "unknown key 'pend\xC3\xA8nza', line ignored (did you mean 'pendenza'?)"},
      {"a value passed over as a key", "pendnza, 1\r\n", 1, nullptr},
      {"a comment", "-- pendnza --\r\n", 0, nullptr},
      {"a section head", "[pendenze]\r\n", 0, nullptr},
      {"any field with both brackets", "x]y[\r\n", 0, nullptr},
      {"a blank field", "  , 1\r\n", 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario s;
    FieldReader in(c.text);
    std::string key;
    for (int k = 0; k <= c.field; ++k) key = in.ReadText();
    const SourceRef where{SourceFile::kRoute, in.FieldLine()};
    WarnUnknownKey(s.form, in, key, where, kKeys);
    if (!c.warning) {
      EXPECT_EQ(s.form.run.diag.WarningCount(), 0u);
      continue;
    }
    ASSERT_EQ(s.form.run.diag.warnings.size(), 1u);
    EXPECT_EQ(s.form.run.diag.warnings[0].message, c.warning);
    EXPECT_EQ(s.form.run.diag.warnings[0].where.line, 1);
  }
}

TEST(ReaderSupport, UnknownKeysBeyondTheKeptWarningsAreOnlyCounted) {
  MemoryScenario s;
  const size_t route = static_cast<size_t>(SourceFile::kRoute);
  s.form.run.diag.warningsKept[route] = kWarningsKeptPerText;
  FieldReader in("pendnza, 1\r\n");
  const std::string key = in.ReadText();
  WarnUnknownKey(s.form, in, key, SourceRef{SourceFile::kRoute, 1}, kKeys);
  EXPECT_TRUE(s.form.run.diag.warnings.empty());
  EXPECT_EQ(s.form.run.diag.warningsLeftOut[route], 1u);
}

// After a line: a warning for each number that holds more than a number, and one when the
// values were taken from a later line, naming the columns.
TEST(ReaderSupport, FinishingALine) {
  const struct {
    SourceFile text;
    const char* lines;
    int values;  // read after the key, as numbers but the last when `text_last`
    bool text_last;
    std::vector<std::string> warnings;
  } cases[] = {
      {SourceFile::kRoute, "sfondo uno, 7\r\n", 1, false, {}},
      {SourceFile::kRoute, "sfondo uno\r\n7\r\n", 1, false,
       {"1:1-11 the line 'sfondo uno' has 0 of its 1 values: column 1 (background) was taken from line 2"}},
      {SourceFile::kTrain, "stazione, 1000, 8, 1000, 0,0,0, 1,1,0, 4,1,1, 0, 9,12\r\n40, NOME\r\n", 17, true,
       {"1:1-9 the line 'stazione' has 15 of its 17 values: columns 16 to 17 (second, name) were taken "
        "from line 2"}},
      {SourceFile::kRoute, "pendenza, 12O, 4.500\r\n", 2, false,
       {"1:11-14 column 1 (position) reads '12O' as 12: the characters after the number are not read",
        "1:16-21 column 2 (gradient) reads '4.500' as 4: a '.' starts the decimals, and the value is "
        "rounded to a whole number"}},
      {SourceFile::kTrain, "abbattimento, 5000, AC\r\n", 2, false, {}},
      {SourceFile::kTrain, "abbattimento, 5000, 20km\r\n", 2, false,
       {"1:21-25 column 2 (speed) reads '20km' as 20: the characters after the number are not read"}},
      {SourceFile::kTrain, "numero vetture, diciotto\r\n", 1, false,
       {"1:17-25 column 1 (coaches) reads 'diciotto' as 0: it is not a number"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines);
    MemoryScenario s;
    FieldReader in(c.lines, c.text);
    const std::string key = in.ReadText();
    in.StartLine();
    for (int v = 1; v <= c.values; ++v) {
      if (c.text_last && v == c.values) in.ReadText();
      else in.ReadInt32();
    }
    FinishLine(s.form, in, c.text, key);
    std::vector<std::string> got;
    for (const WarningRecord& w : s.form.run.diag.warnings)
      got.push_back(std::to_string(w.where.line) + ":" + std::to_string(w.where.column) + "-" +
                    std::to_string(w.where.endColumn) + " " + w.message);
    EXPECT_EQ(got, c.warnings);
  }
}

TEST(ReaderSupport, DeletingATextRead) {
  MemoryScenario s;
  const std::string path = s.Path(ScenarioFile::kRouteSource);
  s.Put(ScenarioFile::kRouteSource, "[generale]\r\n");
  s.form.run.deleteSources = false;
  DeleteSourceText(s.form, path);
  EXPECT_TRUE(s.Has(ScenarioFile::kRouteSource));
  s.form.run.deleteSources = true;
  DeleteSourceText(s.form, path);
  EXPECT_FALSE(s.Has(ScenarioFile::kRouteSource));
  // A text that cannot be deleted (here: one already gone) is a read failure.
  EXPECT_EQ(FailureOf([&] { DeleteSourceText(s.form, path); }),
            "cannot delete " + path + ": No such file or directory");
}

}  // namespace
}  // namespace sb
