#include "compiler/compile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/binary_decode.h"
#include "model/run_errors.h"
#include "replacement_log.h"
#include "scenario/scenario_texts.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::Hex;
using testing::MemoryScenario;
using testing::Route;
using testing::Train;

constexpr ScenarioFile kBinaries[] = {ScenarioFile::kLineData, ScenarioFile::kTrainSettings,
                                      ScenarioFile::kTrack};

// Compiles the texts in the folder; returns the paths of the binary files written, in order.
std::vector<std::string> Compile(MemoryScenario& s, int32_t j = 1) {
  testing::ReplacementLog log(s.fs);
  s.form.run.fs = &log;
  struct Restore {
    MemoryScenario& s;
    ~Restore() { s.form.run.fs = &s.fs; }
  } restore{s};
  memorizza_percorso(s.form, j);
  return log.replaced;
}

// The built-in scenario compiled once for the tests that read its files.
class DefaultRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    scenario_ = new MemoryScenario;
    dati_linea(scenario_->form);
    dati_treno(scenario_->form);
    written_ = new std::vector<std::string>(Compile(*scenario_));
  }
  static void TearDownTestSuite() {
    delete written_;
    delete scenario_;
    written_ = nullptr;
    scenario_ = nullptr;
  }
  static const std::string& File(ScenarioFile f) { return scenario_->Get(f); }

  static MemoryScenario* scenario_;
  static std::vector<std::string>* written_;
};
MemoryScenario* DefaultRun::scenario_ = nullptr;
std::vector<std::string>* DefaultRun::written_ = nullptr;

TEST_F(DefaultRun, WritesTheThreeFilesInOrderAndDeletesTheSources) {
  EXPECT_EQ(scenario_->form.ErrorCode, 0);
  ASSERT_EQ(written_->size(), 3u);
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ((*written_)[k], scenario_->Path(kBinaries[k]));
  EXPECT_EQ(scenario_->fs.files().size(), 3u);
  EXPECT_FALSE(scenario_->Has(ScenarioFile::kRouteSource));
  EXPECT_FALSE(scenario_->Has(ScenarioFile::kTrainSource));
}

TEST_F(DefaultRun, TrackFile) {
  const std::string& bytes = File(ScenarioFile::kTrack);
  ASSERT_EQ(bytes.size(), 114915u);
  EXPECT_EQ(Hex(bytes.substr(0, 15)), "00 00 00 00 00 00 00 00 00 00 00 00 06 64 64");
  // Cell 1: 5121 and the og code 2290.
  EXPECT_EQ(Hex(bytes.substr(15 + 1, 4)), "01 14 F2 08");

  std::vector<TrackCell> cells;
  std::string err;
  ASSERT_TRUE(DecodeTrack(bytes, &cells, &err)) << err;
  ASSERT_EQ(cells.size(), 7661u);
  // No slowdown in the train text: the pass adds no limit marker; the one there is the
  // code reduction at 205250 m.
  for (size_t k = 0; k < cells.size(); ++k) {
    if (cells[k].cellType == kCellLimitMarker) {
      EXPECT_TRUE(k == 4105 && cells[k].value1 == 180) << "limit marker in cell " << k;
    }
  }
  EXPECT_EQ(cells[4105].cellType, kCellLimitMarker);
}

TEST_F(DefaultRun, SettingsFile) {
  const std::string& bytes = File(ScenarioFile::kTrainSettings);
  std::vector<StationRecord> rows;
  std::string err;
  ASSERT_TRUE(DecodeTrainSettings(bytes, &rows, &err)) << err;
  ASSERT_EQ(rows.size(), 87u);

  std::vector<size_t> offset(88, 0);
  for (size_t r = 0; r < 87; ++r) offset[r + 1] = offset[r] + 34 + rows[r].name.size();
  ASSERT_EQ(offset[87], bytes.size());
  auto record = [&](size_t r) { return std::string_view(bytes).substr(offset[r], offset[r + 1] - offset[r]); };

  // Row 85: backgrounds 1, 0, 0; the scenario name; 610; the st code 32088.
  EXPECT_EQ(record(85).size(), 54u);
  EXPECT_EQ(Hex(record(85)),
            "00 01 00 00 00 00 00 00 00 00 00 00 00 00 14 00 " + Hex("Torbena-Sarvico-Zeva") +
                " 62 02 00 00 00 00 00 00 00 00 00 00 00 00 58 7D 00 00");
  // Row 86: signal repetition 1500, 360000 with 9 codes; the train number; sand 60;
  // clock 9:12:40.
  EXPECT_EQ(Hex(record(86)),
            "00 DC 05 00 00 40 7E 05 00 09 00 00 00 00 05 00 " + Hex("47302") +
                " 3C 00 00 00 09 00 0C 00 28 00 00 00 00 00 00 00 00 00");
  // Row 84: braked mass 160 %, route length 376000, 18 coaches.
  EXPECT_EQ(rows[84].extentStart, 160);
  EXPECT_EQ(rows[84].extentEnd, 376000);
  EXPECT_EQ(rows[84].position, 18);
  // Rows no reader wrote: row 0 and the rows between the 23 stations and the 2 board texts.
  const std::string cleared(34, '\0');
  EXPECT_EQ(record(0), cleared);
  for (size_t r = 24; r <= 78; ++r) EXPECT_EQ(record(r), cleared) << "row " << r;
}

TEST_F(DefaultRun, LineDataFile) {
  const std::string& bytes = File(ScenarioFile::kLineData);
  std::vector<Variant> v;
  std::string err;
  ASSERT_TRUE(DecodeLineData(bytes, &v, &err)) << err;
  constexpr size_t kPoints = 383001;
  ASSERT_EQ(v.size(), 2 * kPoints);
  // Each block: two integers, doubles, two empty elements.
  EXPECT_EQ(bytes.size(), 2 * (2 * 4 + (kPoints - 4) * 10 + 2 * 2));
  for (size_t comp = 0; comp < 2; ++comp) {
    const Variant* p = &v[comp * kPoints];
    EXPECT_EQ(p[0].tag, Variant::kInteger);
    EXPECT_EQ(p[0].i, 0);
    EXPECT_EQ(p[1].tag, Variant::kInteger);
    EXPECT_EQ(p[1].i, comp == 0 ? 0 : 1);
    size_t not_double = 0;
    for (size_t m = 2; m <= kPoints - 3; ++m) not_double += p[m].tag != Variant::kDouble;
    EXPECT_EQ(not_double, 0u) << "component " << comp;
    EXPECT_EQ(p[kPoints - 2].tag, Variant::kEmpty);
    EXPECT_EQ(p[kPoints - 1].tag, Variant::kEmpty);
  }
}

// Small scenarios: a 3000 m route (cells 0 to 200) and a train text of a few lines.
struct Fixture {
  const char* what;
  std::string route;
  std::string train;
};

TEST(Compile, CellPassFaultsStillWriteAllThreeFiles) {
  const struct {
    Fixture f;
    int32_t code, position;
  } cases[] = {
      {{"fault 11: signal in cell 130, cells 129 and 128 taken, warning point in cell 137",
        Route(3000),
        Train({"rallentamento, 8000, 150, 500, 0, 0, 0", "abbattimento, 6450, 0",
               "abbattimento, 6400, 0", "segnale, 6450, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0"})},
       11, 130 * 50},
      {{"fault 12: slowdown start in cell 100, cells 93 to 95 taken", Route(3000),
        Train({"rallentamento, 4950, 150, 500, 0, 0, 0", "abbattimento, 4750, 0",
               "abbattimento, 4700, 0", "abbattimento, 4650, 0"})},
       12, 100 * 50},
      {{"fault 13: slowdown from cell 100 to 120 at 60 km/h, cells 107 to 109 taken", Route(3000),
        Train({"rallentamento, 4950, 60, 1000, 0, 0, 0", "abbattimento, 5350, 0",
               "abbattimento, 5400, 0", "abbattimento, 5450, 0"})},
       13, 108 * 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.f.what);
    MemoryScenario s;
    s.Put(ScenarioFile::kRouteSource, c.f.route);
    s.Put(ScenarioFile::kTrainSource, c.f.train);
    Compile(s);
    EXPECT_EQ(s.form.ErrorCode, c.code);
    EXPECT_EQ(s.form.ErrorPosition, c.position);
    for (ScenarioFile b : kBinaries) EXPECT_TRUE(s.Has(b)) << ScenarioFilePath(s.form, b);
  }
}

TEST(Compile, OccupiedStampPlaceStopsBeforeAnyBinaryFile) {
  const struct {
    Fixture f;
    const char* code;
  } cases[] = {
      {{"limit marker of a code reduction in cell 1", Route(3000), Train({"abbattimento, 50, 180"})},
       "1250"},
      {{"indication board at 0 m", Route(3000, {"cartello_indicatore,  0,   (  PARTENZA )"}), Train()},
       "1250"},
      {{"slowdown of 0 km/h at 0 m with d_v 5: value1 0, value2 5 in cell 1", Route(3000),
        Train({"rallentamento, 0, 0, 0, 0, 0, 5"})},
       "1251"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.f.what);
    MemoryScenario s;
    s.Put(ScenarioFile::kRouteSource, c.f.route);
    s.Put(ScenarioFile::kTrainSource, c.f.train);
    s.Put(ScenarioFile::kTrack, "earlier track");
    try {
      Compile(s);
      FAIL() << "the compile went through";
    } catch (const StampPlaceTaken& e) {
      EXPECT_EQ(e.code(), c.code);
      EXPECT_EQ(std::string(e.what()), std::string(" Errore n. ") + c.code);
    }
    EXPECT_EQ(s.form.ErrorCode, 0);
    EXPECT_FALSE(s.Has(ScenarioFile::kLineData));
    EXPECT_FALSE(s.Has(ScenarioFile::kTrainSettings));
    EXPECT_EQ(s.Get(ScenarioFile::kTrack), "earlier track");
  }
}

TEST(Compile, NoTrackStopsTheCompile) {
  const struct {
    const char* what;
    const char* route;  // nullptr: no route text
    int32_t code;
  } cases[] = {
      {"no route length line", "[generale]\r\nsfondo uno,    1\r\n[curve]\r\n[fine]\r\n", 0},
      {"fault 101: no route text", nullptr, 101},
      {"fault 102: no [generale]", "lunghezza percorso,    3000\r\n[fine]\r\n", 102},
      {"fault 1: route length over 1000000 m", "[generale]\r\nlunghezza percorso,    1000001\r\n[fine]\r\n", 1},
      {"fault 25 before the length", "[generale]\r\nsfondo uno,    99999999999\r\nlunghezza percorso,    3000\r\n[fine]\r\n", 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario s;
    if (c.route) s.Put(ScenarioFile::kRouteSource, c.route);
    s.Put(ScenarioFile::kTrainSource, Train());
    s.Put(ScenarioFile::kTrainSettings, "earlier settings");
    EXPECT_THROW(Compile(s), CompileStop);
    EXPECT_EQ(s.form.ErrorCode, c.code);
    EXPECT_FALSE(s.Has(ScenarioFile::kLineData));
    EXPECT_FALSE(s.Has(ScenarioFile::kTrack));
    EXPECT_EQ(s.Get(ScenarioFile::kTrainSettings), "earlier settings");
  }
}

TEST(Compile, WithoutLineDataFlagTheLineDataFileIsLeftAsItWas) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, Route(3000, {"curvad1,  1000,  500"}));
  s.Put(ScenarioFile::kTrainSource, Train());
  s.Put(ScenarioFile::kLineData, "earlier line data");
  const std::vector<std::string> written = Compile(s, 0);
  EXPECT_EQ(s.form.LineDataFlag, 0);
  EXPECT_EQ(s.Get(ScenarioFile::kLineData), "earlier line data");
  EXPECT_EQ(written, (std::vector<std::string>{s.Path(ScenarioFile::kTrainSettings),
                                                   s.Path(ScenarioFile::kTrack)}));
  EXPECT_EQ(s.Get(ScenarioFile::kTrack).size(), 15u * 201u);
}

TEST(Compile, TextTooLongForItsLengthFieldWritesNoBinaryFile) {
  const std::string board = "cartello_indicatore,  1000,   " + std::string(65536, 'X');
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, Route(3000, {board.c_str()}));
  s.Put(ScenarioFile::kTrainSource, Train());
  try {
    Compile(s);
    FAIL() << "the compile went through";
  } catch (const RunFailure& e) {
    EXPECT_NE(std::string(e.what()).find("row 80"), std::string::npos) << e.what();
  }
  for (ScenarioFile b : kBinaries) EXPECT_FALSE(s.Has(b)) << ScenarioFilePath(s.form, b);
}

TEST(Compile, FailedWriteNamesTheFileAndStopsTheLaterOnes) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, Route(3000));
  s.Put(ScenarioFile::kTrainSource, Train());
  s.fs.FailReplace(s.Path(ScenarioFile::kLineData), WriteStep::kCreate);
  try {
    Compile(s);
    FAIL() << "the compile went through";
  } catch (const RunFailure& e) {
    EXPECT_EQ(e.file(), s.Path(ScenarioFile::kLineData));
    EXPECT_NE(e.description().find("Permission denied"), std::string::npos) << e.what();
  }
  for (ScenarioFile b : kBinaries) EXPECT_FALSE(s.Has(b)) << ScenarioFilePath(s.form, b);
}

}  // namespace
}  // namespace sb
