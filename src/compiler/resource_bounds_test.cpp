// Inputs at the edges of size: the longest route with items up to its last cells, texts of
// many megabytes, fields of megabytes, and bytes that are no text at all.
#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "authoring/diagnostic_format.h"
#include "command_run.h"
#include "compiler/binary_decode.h"
#include "compiler/compile.h"
#include "model/run_errors.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;
using testing::Route;
using testing::RouteLines;
using testing::Train;
using testing::TrainLines;

// 1,000,000 m: CellCount 20,140, a plan of 1,007,001 points. Curves at both ends (the
// last one ends on point 999,999, the last the plan may bend), gradients at the extremes of
// their byte, a mountain past the end, boards and a signal in the last cells, a station
// and two slowdowns near the end (the second one ending 9 cells before the last).
std::string MaximumRoute() {
  return Route(1000000, {"curvas6,  0,  2000", "curvad5,  500000,  450", "curvad6,  998000,  1999",
                         "pendenza,  0,  155", "pendenza,  500000,  -100", "pendenza,  1006900,  3",
                         "montagna,   990000,  1010000,  12",
                         "indicatori_vmax,  1006000,  60,  70,  50,  1,  60,  70,  50,  2",
                         "cartello_indicatore,  1006850,   FINE LINEA"});
}
std::string MaximumTrain() {
  std::vector<std::string> lines = {
      "orologio,    9               12            40 ", "aderenza,   0,    100",
      "aderenza,   1006900,    70", "velocita,   0,    30", "velocita,   1006900,    250",
      "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, TORBENA",
      "stazione, 1000000,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,  18, 0, 0, ZEVA"};
  for (int p = 10000; p <= 1005000; p += 5000)
    lines.push_back("segnale, " + std::to_string(p) + ", 1, 1, 2, 3, 2, 1, 4, 5, 6, 0");
  lines.push_back("segnale, 1006900, 2, 1, 2, 3, 2, 1, 4, 5, 6, 50");
  lines.push_back("rallentamento, 992000, 30, 6000, 1, 1, 0");
  lines.push_back("rallentamento, 1000500, 30, 6000, 1, 1, 5");
  lines.push_back("abbattimento, 1006000, AC");
  return TrainLines(lines);
}

TEST(ResourceBounds, MaximumRouteCompilesEveryCellAndPoint) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, MaximumRoute());
  s.Put(ScenarioFile::kTrainSource, MaximumTrain());
  int32_t j = 1;
  memorizza_percorso(s.form, j);
  EXPECT_EQ(s.form.ErrorCode, 0);
  EXPECT_EQ(s.form.CellCount, 20140);
  ASSERT_TRUE(s.Has(ScenarioFile::kTrack));
  EXPECT_EQ(s.Get(ScenarioFile::kTrack).size(), 20141u * 15);
  std::vector<TrackCell> cells;
  std::string err;
  ASSERT_TRUE(DecodeTrack(s.Get(ScenarioFile::kTrack), &cells, &err)) << err;
  EXPECT_EQ(cells[20139].cellType, kCellSignal);
  EXPECT_EQ(cells[20138].cellType, kCellIndicationBoard);
  EXPECT_EQ(cells[20120].cellType, kCellCodeReduction);
  EXPECT_EQ(cells[20131].cellType, kCellSlowdownEnd);
  EXPECT_EQ(cells[20137].cellType, kCellLimitMarker);  // before the signal after the slowdown
  EXPECT_EQ(cells[20138].gradient, 103);  // the last gradient, taken by the end fill
  EXPECT_EQ(cells[20139].gradient, 0);    // the last two cells are not filled
  EXPECT_EQ(cells[10001].gradient, 0);  // -100 + 100
  EXPECT_EQ(cells[1].gradient, 255);
  EXPECT_EQ(cells[20140].mountain, 2);
  std::vector<Variant> points;
  ASSERT_TRUE(DecodeLineData(s.Get(ScenarioFile::kLineData), &points, &err)) << err;
  ASSERT_EQ(points.size(), 2u * 1007001);
  EXPECT_EQ(points[1006998].tag, Variant::kDouble);  // the line runs straight to the end
  EXPECT_EQ(points[1006999].tag, Variant::kEmpty);
  EXPECT_EQ(points[1007000].tag, Variant::kEmpty);
}

TEST(ResourceBounds, CurveThatWouldBendPointOneMillionIsFault103) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, Route(1000000, {"curvad6,  998000,  2000"}));
  s.Put(ScenarioFile::kTrainSource, Train());
  int32_t j = 1;
  memorizza_percorso(s.form, j);
  EXPECT_EQ(s.form.ErrorCode, 103);
}

// Pseudo-random bytes, the same on every run.
std::string Garbage(size_t n, unsigned seed) {
  std::mt19937 gen(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

std::string Repeat(const std::string& line, size_t bytes) {
  std::string s;
  s.reserve(bytes + line.size());
  while (s.size() < bytes) s += line;
  return s;
}

constexpr size_t kMiB = 1 << 20;

enum class Outcome {
  kCompiles,    // the three files are written; ErrorCode as given
  kNoTrack,     // CompileStop: no binary file
  kRunFailure,  // RunFailure naming the settings file: no binary file
};

struct LargeInput {
  const char* name;
  std::string (*route)();
  std::string (*train)();
  Outcome outcome;
  int32_t error_code;  // when the compile completes
};

const LargeInput kLargeInputs[] = {
    {"EightMegabytesOfGradientLines",
     [] { return Route(20000) + Repeat("pendenza,  0,  1\r\n", 8 * kMiB); },
     [] { return Train(); }, Outcome::kCompiles, 0},
    {"EightMegabytesOfCommentLinesInTheTrain",
     [] { return Route(20000); },
     [] { return Train() + Repeat("-- nota, --, -x-\r\n", 8 * kMiB); }, Outcome::kCompiles, 0},
    {"OneLineOfSixteenMegabytesAsKey",
     [] { return Route(20000) + std::string(16 * kMiB, 'x') + "\r\n[fine]\r\n"; },
     [] { return Train(); }, Outcome::kCompiles, 0},
    {"OneLineOfSixteenMegabytesWithoutGeneralSection",
     [] { return std::string(16 * kMiB, 'y'); }, [] { return Train(); }, Outcome::kNoTrack, 0},
    {"RouteLengthOfAMegabyteOfNines",
     [] { return "[generale]\r\nlunghezza percorso, " + std::string(kMiB, '9') + "\r\n[fine]\r\n"; },
     [] { return Train(); }, Outcome::kNoTrack, 0},
    {"RouteLengthAfterAMegabyteOfZeros",
     [] { return "[generale]\r\nlunghezza percorso, " + std::string(kMiB, '0') + "20000\r\n[fine]\r\n"; },
     [] { return Train(); }, Outcome::kCompiles, 0},
    {"BoardTextLongerThanItsLengthField",
     [] { return Route(20000) + "cartello_indicatore, 1000, " + std::string(70000, 'B') + "\r\n"; },
     [] { return Train(); }, Outcome::kRunFailure, 0},
    {"StationNameOfAMegabyte",
     [] { return Route(20000); },
     [] {
       return TrainLines({"stazione, 5000, 2, 600, 0,0,0, 1,1,0, 4,1,1, 0, 0,0,0, " +
                          std::string(kMiB, 'S')});
     },
     Outcome::kRunFailure, 0},
    {"BinaryGarbageAsRouteText", [] { return Garbage(4 * kMiB, 1); }, [] { return Train(); },
     Outcome::kNoTrack, 0},
    // A train text without "[generale]" is passed over whole, without a fault.
    {"BinaryGarbageAsTrainText", [] { return Route(20000); }, [] { return Garbage(4 * kMiB, 2); },
     Outcome::kCompiles, 0},
};

class LargeInputs : public ::testing::TestWithParam<LargeInput> {};

TEST_P(LargeInputs, EndWithoutCrashAndWithAClearOutcome) {
  const LargeInput& c = GetParam();
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, c.route());
  s.Put(ScenarioFile::kTrainSource, c.train());
  int32_t j = 1;
  const ScenarioFile outputs[] = {ScenarioFile::kLineData, ScenarioFile::kTrainSettings,
                                  ScenarioFile::kTrack};
  const std::clock_t start = std::clock();
  switch (c.outcome) {
    case Outcome::kCompiles:
      memorizza_percorso(s.form, j);
      EXPECT_EQ(s.form.ErrorCode, c.error_code);
      for (ScenarioFile f : outputs) EXPECT_TRUE(s.Has(f));
      break;
    case Outcome::kNoTrack:
      try {
        memorizza_percorso(s.form, j);
        ADD_FAILURE() << "the compile completed";
      } catch (const CompileStop& e) {
        EXPECT_NE(std::string(e.what()).find("no track"), std::string::npos) << e.what();
      }
      for (ScenarioFile f : outputs) EXPECT_FALSE(s.Has(f));
      break;
    case Outcome::kRunFailure:
      try {
        memorizza_percorso(s.form, j);
        ADD_FAILURE() << "the compile completed";
      } catch (const RunFailure& e) {
        EXPECT_EQ(e.file(), s.Path(ScenarioFile::kTrainSettings));
        EXPECT_NE(e.description().find("65,535"), std::string::npos) << e.description();
      }
      for (ScenarioFile f : outputs) EXPECT_FALSE(s.Has(f));
      break;
  }
  EXPECT_FALSE(s.Has(ScenarioFile::kRouteSource));
  // A field of megabytes is quoted by its start: the messages stay a line long.
  for (const FaultRecord& f : s.form.run.diag.faults)
    EXPECT_LT(f.message.size(), 300u) << f.message.substr(0, 300);
  for (const WarningRecord& w : s.form.run.diag.warnings)
    EXPECT_LT(w.message.size(), 300u) << w.message.substr(0, 300);
  // Linear in the size of the text: a few tenths of a second; seconds would mean a search
  // that grows with the length of a field.
  EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, 20.0);
}

INSTANTIATE_TEST_SUITE_P(Texts, LargeInputs, ::testing::ValuesIn(kLargeInputs),
                         [](const ::testing::TestParamInfo<LargeInput>& info) {
                           return std::string(info.param.name);
                         });

// A text of thousands of unknown keys: the engine keeps the first 1000 warnings of each text
// and counts the rest; standard error shows the first 100 of each text and a note with the
// number left out, --json the kept ones and the numbers of those left out. Only the quoted
// lines of the kept warnings are read back.
TEST(ResourceBounds, WarningsKeptAndShownAreBounded) {
  std::vector<std::string> route_keys(5000, "foo, 1, 2"), train_keys(150, "bar, 3");
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, RouteLines(20000, route_keys));
  s.Put(ScenarioFile::kTrainSource, TrainLines(train_keys));
  const std::string route = s.Path(ScenarioFile::kRouteSource);
  const std::string train = s.Path(ScenarioFile::kTrainSource);

  int32_t j = 0;
  s.form.run.deleteSources = false;
  memorizza_percorso(s.form, j, BinaryFiles::kNone);
  EXPECT_EQ(s.form.run.diag.warnings.size(), 1150u);
  EXPECT_EQ(s.form.run.diag.warningsLeftOut[static_cast<size_t>(SourceFile::kRoute)], 4000u);
  EXPECT_EQ(s.form.run.diag.warningsLeftOut[static_cast<size_t>(SourceFile::kTrain)], 0u);
  EXPECT_EQ(s.form.run.diag.WarningCount(), 5150u);
  SourceTexts texts = LoadSourceTexts(s.form);
  EXPECT_EQ(texts.route_lines.size(), 1000u);
  EXPECT_EQ(texts.train_lines.size(), 150u);

  testing::CommandResult r = testing::RunInMemory(s.fs, {"compile", testing::kDir, "--check"});
  EXPECT_EQ(r.status, 0) << r.err.substr(0, 2000);
  size_t route_warnings = 0, train_warnings = 0;
  std::vector<std::string> others;
  for (const std::string& line : testing::Lines(r.err)) {
    if (line.rfind(route + ":", 0) == 0 && line.find(": warning: ") != std::string::npos)
      ++route_warnings;
    else if (line.rfind(train + ":", 0) == 0 && line.find(": warning: ") != std::string::npos)
      ++train_warnings;
    else if (line.rfind(" ", 0) != 0 && line.rfind("help: ", 0) != 0)
      others.push_back(line);
  }
  EXPECT_EQ(route_warnings, 100u);
  EXPECT_EQ(train_warnings, 100u);
  EXPECT_EQ(others,
            (std::vector<std::string>{
                route + ": note: 4900 more warnings of this text left out; the first 100 are shown",
                train + ": note: 50 more warnings of this text left out; the first 100 are shown",
                "scenario-builder: 0 faults, 5150 warnings; checked only, no file written"}));

  r = testing::RunInMemory(s.fs, {"compile", testing::kDir, "--check", "--json"});
  const nlohmann::json json = testing::JsonOut(r);
  const nlohmann::json& warnings = json.at("warnings");
  ASSERT_EQ(warnings.size(), 1150u);
  EXPECT_EQ(warnings[999].at("file").get<std::string>(), route);
  EXPECT_EQ(warnings[999].at("line").get<int64_t>(), 1010);
  EXPECT_EQ(warnings[1000].at("file").get<std::string>(), train);
  EXPECT_EQ(json.at("warningsLeftOut").at("route").get<int64_t>(), 4000);
  EXPECT_EQ(json.at("warningsLeftOut").at("train").get<int64_t>(), 0);
}

}  // namespace
}  // namespace sb
