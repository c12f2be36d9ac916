// Train half of the reader: settings, speed limits and adhesion, stations, code reductions,
// faults and the fate of the text.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "test_support.h"

namespace sb {
namespace {

using testing::BuiltInRouteText;
using testing::BuiltInTrainText;
using testing::Crlf;
using testing::CrlfLines;
using testing::MemoryScenario;
using testing::ReadSources;
using testing::Route;
using testing::RouteLines;
using testing::TrainLines;

constexpr ScenarioFile kRouteText = ScenarioFile::kRouteSource;
constexpr ScenarioFile kTrainText = ScenarioFile::kTrainSource;
constexpr int32_t kUntouched = -4242;  // ErrorPosition before the read

// A station line; columns 7 to 13 and the time are fixed.
std::string Station(int32_t pos, int kind, int32_t length, int flag2 = 0, int flag3 = 0,
                    const std::string& name = "S") {
  return "stazione, " + std::to_string(pos) + ", " + std::to_string(kind) + ", " + std::to_string(length) +
         ", 0, " + std::to_string(flag2) + ", " + std::to_string(flag3) + ",  1,1,0,  4,1,1,  0,  10,20,30, " + name;
}

std::string Signal(int32_t pos, int sx = 2, int dx = 2, int tempo = 0) {
  return "segnale, " + std::to_string(pos) + ", " + std::to_string(sx) + ", 4, 1, 1, 0, " + std::to_string(dx) +
         ", 2, 1, 1, " + std::to_string(tempo);
}

// A route of 10,000 m: cells 0 to 340; lines may lie up to 16,900 m, stations up to 16,200 m.
std::string Route10k(std::initializer_list<const char*> features = {}) { return Route(10000, features); }

class TrainReader : public ::testing::Test {
 protected:
  void Read(const std::vector<std::string>& train, const std::string& route = Route10k()) {
    ReadText(TrainLines(train), route);
  }
  void ReadText(const std::string& train, const std::string& route = Route10k()) {
    s.Put(kRouteText, route);
    s.Put(kTrainText, train);
    for (StationRecord& r : f.StationTable) r = StationRecord();
    f.run.diag.Clear();
    f.ErrorPosition = kUntouched;
    ReadSources(s, 0);
  }
  const TrackCell& Cell(int k) const { return f.TrackCells.at(static_cast<size_t>(k)); }
  void ExpectSpeed(int k0, int k1, int v) const {
    for (int k = k0; k <= k1; ++k) ASSERT_EQ(Cell(k).speedLimit, v) << "cell " << k;
  }
  void ExpectAdhesion(int k0, int k1, int v) const {
    for (int k = k0; k <= k1; ++k) ASSERT_EQ(Cell(k).adhesion, v) << "cell " << k;
  }

  MemoryScenario s;
  Form1& f = s.form;
};

TEST_F(TrainReader, BuiltInTrain) {
  ReadText(BuiltInTrainText(), BuiltInRouteText());
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_TRUE(f.run.diag.faults.empty());
  EXPECT_FALSE(s.Has(kTrainText));
  ASSERT_EQ(f.CellCount, 7660);

  // Settings.
  EXPECT_EQ(f.StationTable[kRowTrain].extentStart, 160);
  EXPECT_EQ(f.StationTable[kRowTrain].position, 18);
  EXPECT_EQ(f.StationTable[kRowTrain].extentEnd, 376000);
  const StationRecord& r86 = f.StationTable[kRowSignals];
  EXPECT_EQ(r86.stationValue1, 60);
  EXPECT_EQ(r86.stationValue3, 9);
  EXPECT_EQ(r86.stationValue4, 12);
  EXPECT_EQ(r86.stationValue5, 40);

  // Speed limit and adhesion, cell by cell.
  const struct { int k0, k1, v; } speeds[] = {
      {0, 19, 6},       {20, 49, 12},     {50, 69, 22},     {70, 89, 32},     {90, 119, 36},
      {120, 3973, 50},  {3974, 3999, 36}, {4000, 5999, 32}, {6000, 7657, 36}, {7658, 7660, 0}};
  for (const auto& r : speeds) ExpectSpeed(r.k0, r.k1, r.v);
  ExpectAdhesion(0, 7657, 100);
  ExpectAdhesion(7658, 7660, 0);

  // Code reductions.
  EXPECT_EQ(Cell(4515).cellType, kCellCodeReduction);
  EXPECT_EQ(Cell(4105).cellType, kCellLimitMarker);
  EXPECT_EQ(Cell(4105).value1, 180);

  // First station.
  const StationRecord& first = f.StationTable[1];
  EXPECT_EQ(first.name, "TORBENA S.M.N.");
  EXPECT_EQ(first.kind, 8);
  EXPECT_EQ(first.position, 0);
  EXPECT_EQ(first.extentStart, -1000);
  EXPECT_EQ(first.extentEnd, 1000);
  EXPECT_EQ(first.stationFlag1, 0);
  EXPECT_EQ(first.stationFlag2, 0);
  EXPECT_EQ(first.stationFlag3, 0);
  EXPECT_EQ(first.stationValue1, 1);
  EXPECT_EQ(first.stationValue2, 1);
  EXPECT_EQ(first.stationFlag4, 0);
  EXPECT_EQ(first.stationValue3, 4);
  EXPECT_EQ(first.stationValue4, 1);
  EXPECT_EQ(first.stationValue5, 1);
  EXPECT_EQ(first.stationFlag5, 1);
  EXPECT_EQ(first.timetableSeconds, 9 * 3600 + 12 * 60 + 40);
  EXPECT_EQ(Cell(15).approachMark, 84);
  EXPECT_EQ(Cell(16).approachMark, 83);
  EXPECT_EQ(Cell(17).approachMark, 82);
  EXPECT_EQ(Cell(18).approachMark, 81);
  EXPECT_EQ(Cell(19).cellType, kCellStationStop);
  EXPECT_EQ(Cell(19).value1, 1);

  // A station in the middle and the last one.
  EXPECT_EQ(f.StationTable[17].name, "SARVICO");
  EXPECT_EQ(f.StationTable[17].timetableSeconds, 11 * 3600 + 50 * 60 + 40);
  EXPECT_EQ(f.StationTable[17].stationFlag2, 0);
  EXPECT_EQ(f.StationTable[17].stationValue3, 2);
  const StationRecord& last = f.StationTable[23];
  EXPECT_EQ(last.name, "ZEVA TERMINI");
  EXPECT_EQ(last.kind, 6);
  EXPECT_EQ(last.extentStart, 373800);
  EXPECT_EQ(last.extentEnd, 376150);
  EXPECT_EQ(last.stationFlag3, 0);
  EXPECT_EQ(last.timetableSeconds, 12 * 3600);
  EXPECT_EQ(Cell(7522).cellType, kCellStationStop);
  EXPECT_EQ(Cell(7522).value1, 23);
  for (int k = 7516; k <= 7521; ++k) EXPECT_EQ(Cell(k).approachMark, 0) << "cell " << k;
  EXPECT_EQ(f.StationTable[24].name, "");
  EXPECT_EQ(f.StationTable[24].position, 0);

  // Signals: the one at 8000 m, and all 132 placed.
  const TrackCell& sig = Cell(161);
  EXPECT_EQ(sig.cellType, kCellSignal);
  EXPECT_EQ(sig.value1, 42);
  EXPECT_EQ(sig.value2, 11);
  EXPECT_EQ(sig.value3, 11);
  EXPECT_EQ(sig.value4, 8);
  EXPECT_EQ(sig.value5, 0);
  EXPECT_EQ(Cell(159).approachMark, 81);
  EXPECT_EQ(Cell(157).approachMark, 82);
  EXPECT_EQ(Cell(155).approachMark, 83);
  EXPECT_EQ(Cell(153).approachMark, 84);
  int signals = 0, stops = 0;
  for (const TrackCell& c : f.TrackCells) {
    signals += c.cellType == kCellSignal;
    stops += c.cellType == kCellStationStop;
  }
  EXPECT_EQ(signals, 132);
  EXPECT_EQ(stops, 23);
}

// --- Faults -----------------------------------------------------------------------------

struct TrainFault {
  const char* what;
  std::string route;
  std::vector<std::string> train;
  int32_t code;
  std::optional<int32_t> position;
  bool tails;  // the end-of-text steps ran
};

TEST_F(TrainReader, EachFaultWithItsPosition) {
  const std::string km_off =
      Crlf({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica due, 1000, 2025, 0", "[fine]"});
  std::vector<std::string> stations79;
  for (int k = 0; k < 79; ++k) stations79.push_back(Station(1000 * k, 30, 100));
  const std::string boards2 = Route(80000, {"cartello_indicatore, 500, A", "cartello_indicatore, 600, B"});
  std::vector<std::string> stations77(stations79.begin(), stations79.begin() + 77);
  const TrainFault cases[] = {
      {"speed limit beyond the cells", Route10k(), {"velocita, 16901, 30"}, 15, 16901, true},
      {"adhesion beyond the cells", Route10k(), {"aderenza, 16901, 30"}, 15, 16901, true},
      {"signal beyond the cells", Route10k(), {Signal(16901)}, 15, 16901, true},
      {"slowdown beyond the cells", Route10k(), {"rallentamento, 16901, 30, 0, 0, 0, 0"}, 15, 16901, true},
      {"code reduction beyond the cells", Route10k(), {"abbattimento, 16901, 30"}, 15, 16901, true},
      {"station beyond the cells", Route10k(), {Station(16250, 30, 100)}, 15, 16250, true},
      {"signal whose marks would fall before cell 0", Route10k(), {Signal(300)}, 15, 300, true},
      {"slowdown ending beyond the last cell", Route10k(), {"rallentamento, 16000, 30, 2000, 0, 0, 0"}, 15,
       16000, true},
      {"station whose stop mark lies beyond the last cell", Route10k(), {Station(16200, 8, 1000)}, 15, 16200,
       true},
      {"code reduction on an occupied cell", Route10k(), {"abbattimento, 5000, 30", "abbattimento, 5010, 0"}, 7,
       5010, false},
      {"signal on an occupied cell", Route10k(), {Signal(5000), Signal(5010)}, 16, 5010, false},
      {"slowdown warning cell taken", Route10k(), {Signal(8800), "rallentamento, 10000, 30, 500, 0, 1, 0"}, 17,
       10000, false},
      {"slowdown start cell taken", Route10k(), {Signal(10000), "rallentamento, 10000, 30, 500, 0, 1, 0"}, 18,
       10000, false},
      {"slowdown end cell taken", Route10k(), {Signal(10500), "rallentamento, 10000, 30, 500, 0, 1, 0"}, 19,
       10000, false},
      {"pre-announcement cell taken", Route10k(), {Signal(8750), "rallentamento, 10000, 30, 500, 0, 1, 0"}, 20,
       10000, false},
      {"station position not a multiple of 50", Route10k(), {Station(12025, 30, 100)}, 8, 12025, false},
      {"station length not a multiple of 100", Route10k(), {Station(5000, 30, 1250)}, 9, 5000, false},
      {"station extent ending at 50 m", Route10k(), {Station(0, 12, 100)}, 24, {}, false},
      {"station extent ending at 100 m", Route10k(), {Station(0, 12, 200)}, 24, {}, false},
      {"stations out of order", Route10k(), {Station(5000, 30, 100), Station(4000, 30, 100)}, 22, 4000, false},
      {"79th station without boards", Route(80000), stations79, 10, {}, false},
      {"77th station with two boards", boards2, stations77, 10, {}, false},
      {"kilometric reference not a multiple of 50", km_off, {}, 2, {}, true},
      {"16-bit field overflow", Route10k(), {"sabbia, 32768"}, 25, {}, false},
      {"8-bit field overflow", Route10k(), {Station(5000, 256, 100)}, 25, {}, false},
      {"station extent beyond 32 bits", Route10k(), {Station(1000, 7, 2147483600)}, 25, {}, false},
      {"timetable seconds beyond 32 bits",
       Route10k(), {"stazione, 1000, 30, 100, 0,0,0, 1,1,0, 4,1,1, 0, 600000,0,0, S"}, 25, {}, false},
      {"code reduction speed above 32767", Route10k(), {"abbattimento, 5000, 32768"}, 25, {}, false},
      {"code reduction before cell 0", Route10k(), {"abbattimento, -100, 30"}, 25, {}, false},
      {"slowdown starting before cell 0", Route10k(), {"rallentamento, -200, 30, 500, 0, 0, 0"}, 25, {}, false},
      {"speed whose fifth does not fit a byte", Route10k(), {"velocita, 0, 1300", "velocita, 1000, 0"}, 25, {},
       false},
  };
  for (const TrainFault& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, c.route);
    std::vector<std::string> train = {"velocita, 0, 50"};
    train.insert(train.end(), c.train.begin(), c.train.end());
    t.Put(kTrainText, TrainLines(train));
    t.form.ErrorPosition = kUntouched;
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_EQ(t.form.ErrorPosition, c.position.value_or(kUntouched));
    ASSERT_FALSE(t.form.run.diag.faults.empty());
    EXPECT_EQ(t.form.run.diag.faults.back().code, c.code);
    EXPECT_EQ(t.form.run.diag.faults.back().position, c.position);
    EXPECT_FALSE(t.Has(kTrainText));
    EXPECT_EQ(t.form.TrackCells.at(100).speedLimit, c.tails ? 10 : 0);
  }
}

TEST_F(TrainReader, MissingOrEmptyTrainTextIsFault25) {
  {
    SCOPED_TRACE("missing");
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 25);
    EXPECT_TRUE(t.form.HasTrack);
  }
  for (const char* text : {"", "[generale]\r\nvelocita, 1000\r\n"}) {
    SCOPED_TRACE(text);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, text);
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 25);
    EXPECT_FALSE(t.Has(kTrainText));
  }
}

TEST_F(TrainReader, FaultsNameTheLineOfTheirKey) {
  Read({"numero vetture, 18", Signal(5000), "", Signal(5000)});
  ASSERT_EQ(f.ErrorCode, 16);
  EXPECT_EQ(f.run.diag.faults.back().where.file, SourceFile::kTrain);
  EXPECT_EQ(f.run.diag.faults.back().where.line, 5);
}

TEST_F(TrainReader, Fault2KeepsThePositionOfAnEarlierFault15) {
  const std::string km_off =
      Crlf({"[generale]", "lunghezza percorso, 10000", "progressiva chilometrica uno, 1025, 2000, 0", "[curve]",
            "pendenza, 99999, 1", "[fine]"});
  Read({"velocita, 0, 50"}, km_off);  // the route stops at 99999 m with fault 15
  EXPECT_EQ(f.ErrorCode, 2);
  EXPECT_EQ(f.ErrorPosition, 99999);
  Read({"velocita, 0, 50", "velocita, 20000, 60"});
  EXPECT_EQ(f.ErrorCode, 15);
  EXPECT_EQ(f.ErrorPosition, 20000);
}

TEST_F(TrainReader, AfterARouteFault15TheFirstSignalOrSlowdownEndsTheReading) {
  const std::string route = Route10k({"pendenza, 99999, 1"});
  for (const std::string& item : {Signal(2000), std::string("rallentamento, 2000, 30, 100, 0, 0, 0")}) {
    SCOPED_TRACE(item);
    MemoryScenario t;
    t.Put(kRouteText, route);
    t.Put(kTrainText, TrainLines({"velocita, 0, 50", "velocita, 1000, 60", item, "numero vetture, 5", Signal(6000)}));
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 15);
    EXPECT_EQ(t.form.ErrorPosition, 2000);
    EXPECT_NE(t.form.TrackCells[41].cellType, kCellEmpty);  // placed
    EXPECT_EQ(t.form.TrackCells[121].cellType, kCellEmpty);  // the next signal is not read
    EXPECT_EQ(t.form.StationTable[kRowTrain].position, 0);
    EXPECT_EQ(t.form.TrackCells[0].speedLimit, 10);  // lines before it were read
    EXPECT_EQ(t.form.TrackCells[20].speedLimit, 0);  // the tails did not run
    EXPECT_FALSE(t.Has(kTrainText));
    // The route fault keeps its own position; the line that ends the reading is a warning.
    const Diagnostics& d = t.form.run.diag;
    ASSERT_EQ(d.faults.size(), 1u);
    EXPECT_EQ(d.faults[0].where.file, SourceFile::kRoute);
    EXPECT_EQ(d.faults[0].position, 99999);
    ASSERT_EQ(d.warnings.size(), 1u);
    EXPECT_EQ(d.warnings[0].where.file, SourceFile::kTrain);
    EXPECT_EQ(d.warnings[0].where.line, 4);
    EXPECT_EQ(d.warnings[0].message,
              "the train text is read no further: the route text stopped at a position beyond the track "
              "(fault 15), and this line at 2000 m ends the reading; later lines and the speed and "
              "adhesion tails are not applied");
  }
}

// A signal or slowdown refused after a route fault 15 ends the reading at its own fault.
TEST_F(TrainReader, AfterARouteFault15ARefusedSignalOrSlowdownIsAFaultOfItsOwn) {
  const std::string route = Route10k({"cartello_indicatore, 2000, X", "pendenza, 99999, 1"});
  for (const auto& [item, code] : {std::pair{Signal(2000), 16},
                                   std::pair{std::string("rallentamento, 2000, 30, 100, 0, 0, 0"), 18}}) {
    SCOPED_TRACE(item);
    MemoryScenario t;
    t.Put(kRouteText, route);
    t.Put(kTrainText, TrainLines({"velocita, 0, 50", item, Signal(6000)}));
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, code);
    EXPECT_EQ(t.form.ErrorPosition, 2000);
    EXPECT_EQ(t.form.TrackCells[121].cellType, kCellEmpty);  // the next signal is not read
    EXPECT_FALSE(t.Has(kTrainText));
    const Diagnostics& d = t.form.run.diag;
    ASSERT_EQ(d.faults.size(), 2u);
    EXPECT_EQ(d.faults[0].code, 15);
    EXPECT_EQ(d.faults[0].position, 99999);
    EXPECT_EQ(d.faults[1].code, code);
    EXPECT_EQ(d.faults[1].position, 2000);
    EXPECT_EQ(d.faults[1].where.line, 3);
    EXPECT_TRUE(d.warnings.empty());
  }
}

TEST_F(TrainReader, RangeLimitsAndExactArithmetic) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    int32_t code;
    std::optional<int32_t> position;
  } cases[] = {
      {"a line at the last position", {"velocita, 16900, 30"}, 0, {}},
      {"a position near the 32-bit limit", {"velocita, 2147483600, 30"}, 15, 2147483600},
      {"a station near the 32-bit limit", {Station(2147483600, 30, 100)}, 15, 2147483600},
      {"a station at its last position", {Station(16200, 30, 100)}, 0, {}},
      {"a signal in cell 8", {Signal(325)}, 0, {}},  // 7.5 rounds to 8
      {"a signal in cell 7", {Signal(324)}, 15, 324},
      {"a slowdown ending in the last cell", {"rallentamento, 16000, 30, 950, 0, 0, 0"}, 0, {}},
      {"a slowdown ending past it", {"rallentamento, 16000, 30, 1000, 0, 0, 0"}, 15, 16000},
      {"a slowdown whose end passes 32 bits", {"rallentamento, 16000, 30, 2147483000, 0, 0, 0"}, 15, 16000},
      {"the spacing test is exact", {Station(0, 30, 100), Station(50, 5, 2147483600)}, 22, 50},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Read(c.lines);
    EXPECT_EQ(f.ErrorCode, c.code);
    EXPECT_EQ(f.ErrorPosition, c.position.value_or(kUntouched));
  }
}

// --- Reading rules --------------------------------------------------------------------------

TEST_F(TrainReader, ReadingRules) {
  auto coaches = [](int n) {
    return [n](const Form1& f) { EXPECT_EQ(f.StationTable[kRowTrain].position, n); };
  };
  const struct {
    const char* what;
    std::string text;
    std::function<void(const Form1&)> check;
  } cases[] = {
      {"capital keys are recognised", TrainLines({"NUMERO VETTURE, 7"}), coaches(7)},
      {"a dash line before a key", TrainLines({"----", "numero vetture, 7"}), coaches(7)},
      {"two dash fields, then a third tested as a key", TrainLines({"-", "-", "- numero vetture, 7"}), coaches(7)},
      {"one dash field: the second is passed over", TrainLines({"-", "- numero vetture, 7"}), coaches(0)},
      {"three dash lines, then a key line", TrainLines({"---", "---", "---", "numero vetture, 7"}), coaches(7)},
      {"a last one-field line is never interpreted", Crlf({"[generale]", "numero vetture"}), coaches(0)},
      {"the text ends inside the comment rule", Crlf({"[generale]", "-", "numero vetture"}), coaches(0)},
      {"lines before [generale] are passed over; its search ignores case",
       Crlf({"numero vetture, 3", "[GENERALE]", "sabbia, 5", "[fine]"}),
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowTrain].position, 0);
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue1, 5);
       }},
      {"without [generale] nothing is interpreted", Crlf({"numero vetture, 3", "velocita, 0, 50", "[fine]"}),
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowTrain].position, 0);
         EXPECT_EQ(f.TrackCells[0].speedLimit, 0);
       }},
      {"values are taken from the next line", TrainLines({"numero vetture", "7"}), coaches(7)},
      {"clock numbers separated by blanks", TrainLines({"orologio,    9               12            40 "}),
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue3, 9);
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue4, 12);
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue5, 40);
       }},
      {"braked mass needs both words", TrainLines({"percentuale massa, 100", "massa frenata, 150"}),
       [](const Form1& f) { EXPECT_EQ(f.StationTable[kRowTrain].extentStart, 150); }},
      {"a key matching two tests reads the values of both, in test order",
       TrainLines({"sabbia orologio, 1, 2, 3, 4"}),
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue3, 1);
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue5, 3);
         EXPECT_EQ(f.StationTable[kRowSignals].stationValue1, 4);
       }},
      {"section heads and unknown lines are dropped",
       TrainLines({"[vel_limite]", "qualcosa, 1, 2", "[stazioni]", "numero vetture, 7", "[codici]"}), coaches(7)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, c.text);
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 0);
    EXPECT_FALSE(t.Has(kTrainText));
    c.check(t.form);
  }
}

// --- Speed limits and adhesion ---------------------------------------------------------------

TEST_F(TrainReader, SpeedLimitSteps) {
  Read({"velocita, 0, 30", "velocita, 1000, 60", "velocita, 2000, 32", "velocita, 2000, 38", "velocita, 3000, 1275"});
  EXPECT_EQ(f.ErrorCode, 0);
  ExpectSpeed(0, 19, 6);
  ExpectSpeed(20, 39, 12);
  ExpectSpeed(40, 40, 6);   // the same position again still fills one cell (32 / 5 = 6.4)
  ExpectSpeed(41, 59, 8);   // 38 / 5 = 7.6
  ExpectSpeed(60, 337, 255);
  ExpectSpeed(338, 340, 0);
}

TEST_F(TrainReader, SpeedAndAdhesionBeforeTheFirstLineAreZero) {
  Read({"velocita, 1000, 60", "aderenza, 500, 90"});
  EXPECT_EQ(f.ErrorCode, 0);
  ExpectSpeed(0, 19, 0);
  ExpectSpeed(20, 337, 12);
  ExpectAdhesion(0, 9, 0);
  ExpectAdhesion(10, 337, 90);
  ExpectAdhesion(338, 340, 0);
}

TEST_F(TrainReader, SpeedFifthsThatDoNotFitAByte) {
  const struct { std::vector<std::string> lines; int32_t code; } cases[] = {
      {{"velocita, 0, 1300", "velocita, 0, 100"}, 0},  // replaced before any cell took it
      {{"velocita, 0, 1277"}, 0},                      // 255.4
      {{"velocita, 0, 1278"}, 25},                     // 255.6, stored by the tail
      {{"velocita, 0, -5"}, 25},
      {{"velocita, 0, -2"}, 0},                        // -0.4 rounds to 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines[0]);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, TrainLines(c.lines));
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
  }
}

TEST_F(TrainReader, AdhesionKeepsTheLow8Bits) {
  Read({"aderenza, 0, 300", "aderenza, 1000, -1"});
  EXPECT_EQ(f.ErrorCode, 0);
  ExpectAdhesion(0, 19, 44);
  ExpectAdhesion(20, 337, 255);
}

TEST_F(TrainReader, SpeedStepsStopAtTheLastCellAndTheTailMayReachIt) {
  // 16900 m is the last position a line may have: cell 338. Each repeated line fills one more cell.
  Read({"velocita, 16900, 60", "velocita, 16900, 60", "velocita, 16900, 60", "velocita, 16900, 60",
        "velocita, 16900, 60"});
  EXPECT_EQ(f.ErrorCode, 0);
  ExpectSpeed(0, 337, 0);
  ExpectSpeed(338, 340, 12);  // 338 and 339 by the steps, 340 by the tail
}

TEST_F(TrainReader, AdhesionStepsDoNotStopAtTheLastCell) {
  // Filled up to cell 340 by the steps; the tail then needs cell 341.
  Read({"aderenza, 16900, 60", "aderenza, 16900, 60", "aderenza, 16900, 60", "aderenza, 16900, 60"});
  EXPECT_EQ(f.ErrorCode, 25);
  ExpectAdhesion(338, 340, 60);
  // One more line needs cell 341 itself.
  Read({"aderenza, 16900, 60", "aderenza, 16900, 60", "aderenza, 16900, 60", "aderenza, 16900, 60",
        "aderenza, 16900, 60"});
  EXPECT_EQ(f.ErrorCode, 25);
}

// --- Code reductions ---------------------------------------------------------------------------

TEST_F(TrainReader, CodeReductions) {
  const struct {
    const char* line;
    int cell;
    uint8_t type;
    int16_t value1;
  } cases[] = {
      {"abbattimento, 5250, 180", 105, kCellLimitMarker, 180},
      {"abbattimento, 5250, AC", 105, kCellCodeReduction, 0},
      {"abbattimento, 5250, 0", 105, kCellCodeReduction, 0},
      {"abbattimento, 5250, -30", 105, kCellCodeReduction, 0},
      {"abbattimento, 5275, 32767", 106, kCellLimitMarker, 32767},  // 105.5 rounds to 106
      {"abbattimento, 5225, 30", 104, kCellLimitMarker, 30},        // 104.5 rounds to 104
      {"abbattimento, -25, 30", 0, kCellLimitMarker, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, TrainLines({c.line}));
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 0);
    EXPECT_EQ(t.form.TrackCells[static_cast<size_t>(c.cell)].cellType, c.type);
    EXPECT_EQ(t.form.TrackCells[static_cast<size_t>(c.cell)].value1, c.value1);
  }
  // A mountain marker gives way.
  Read({"abbattimento, 3150, 90"}, Route10k({"montagna, 3000, 3500, 12"}));
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Cell(63).cellType, kCellLimitMarker);
}

// --- Stations ------------------------------------------------------------------------------------

TEST_F(TrainReader, StationFieldsAndTimetable) {
  Read({Station(0, 30, 100), "stazione, 5000, 12, 600, 3, 1, 1, 7, 8, 9, 10, 11, 12, 13, 1, 2, 3, NOME CON  SPAZI "});
  ASSERT_EQ(f.ErrorCode, 0);
  const StationRecord& r = f.StationTable[2];
  EXPECT_EQ(r.position, 5000);
  EXPECT_EQ(r.kind, 12);
  EXPECT_EQ(r.stationFlag1, 3);
  EXPECT_EQ(r.stationFlag2, 1);
  EXPECT_EQ(r.stationFlag3, 1);
  EXPECT_EQ(r.stationValue1, 7);
  EXPECT_EQ(r.stationValue2, 8);
  EXPECT_EQ(r.stationFlag4, 9);
  EXPECT_EQ(r.stationValue3, 10);
  EXPECT_EQ(r.stationValue4, 11);
  EXPECT_EQ(r.stationValue5, 12);
  EXPECT_EQ(r.stationFlag5, 13);
  EXPECT_EQ(r.timetableSeconds, 3723);
  EXPECT_EQ(r.name, "NOME CON  SPAZI ");
}

// A station line is read step by step: position, range and multiple-of-50 tests; kind and
// length, length test; columns 4 to 16 and the timetable; the name. A fault leaves the row
// with exactly what the steps before it stored. The other lines of the train text store
// their values only once all are read.
TEST_F(TrainReader, AFaultAtEachStepKeepsWhatTheStepsBeforeStored) {
  auto row = [](std::function<void(StationRecord&)> set) {
    StationRecord r;
    set(r);
    return r;
  };
  auto flags_to = [](StationRecord& r, int upto) {  // columns 4 to 13 as in kFull
    r.stationFlag1 = 1;
    r.stationFlag2 = 2;
    r.stationFlag3 = 3;
    if (upto < 7) return;
    r.stationValue1 = 4;
    r.stationValue2 = 5;
    r.stationFlag4 = 6;
    r.stationValue3 = 7;
    r.stationValue4 = 8;
    r.stationValue5 = 9;
    r.stationFlag5 = 10;
  };
  const struct {
    const char* what;
    std::string text;  // the whole train text
    int32_t code;
    std::optional<int32_t> position;
    int row;  // the row checked whole
    StationRecord expected;
    bool tails;
  } cases[] = {
      {"fault 15: the rest of the line is never read, the tails run",
       TrainLines({"velocita, 0, 50", "stazione, 16250, 256, 100, 1,2,3, 4,5,6, 7,8,9, 10, 10,20,30, S"}), 15,
       16250, 1, row([](StationRecord& r) { r.position = 16250; }), true},
      {"fault 8 before the kind is read (kind 256 would not fit)",
       TrainLines({"velocita, 0, 50", "stazione, 2025, 256, 100, 1,2,3, 4,5,6, 7,8,9, 10, 10,20,30, S"}), 8, 2025,
       1, row([](StationRecord& r) { r.position = 2025; }), false},
      {"fault 9 keeps position and kind",
       TrainLines({"velocita, 0, 50", "stazione, 2000, 7, 1250, 300,2,3, 4,5,6, 7,8,9, 10, 10,20,30, S"}), 9, 2000,
       1, row([](StationRecord& r) { r.position = 2000; r.kind = 7; }), false},
      {"a 16-bit column that does not fit keeps the columns before it",
       TrainLines({"velocita, 0, 50", "stazione, 2000, 30, 100, 1,2,3, 40000,5,6, 7,8,9, 10, 10,20,30, S"}), 25,
       std::nullopt, 1,
       row([&](StationRecord& r) { r.position = 2000; r.kind = 30; flags_to(r, 6); }), false},
      {"a timetable that does not fit 32 bits: no timetable, no name",
       TrainLines({"velocita, 0, 50", "stazione, 2000, 30, 100, 1,2,3, 4,5,6, 7,8,9, 10, 600000,0,0, S"}), 25,
       std::nullopt, 1, row([&](StationRecord& r) { r.position = 2000; r.kind = 30; flags_to(r, 13); }), false},
      {"a text that ends where the name should be keeps the timetable",
       Crlf({"[generale]", "velocita, 0, 50", "stazione, 2000, 30, 100, 1,2,3, 4,5,6, 7,8,9, 10, 10,20,30"}), 25,
       std::nullopt, 1,
       row([&](StationRecord& r) {
         r.position = 2000;
         r.kind = 30;
         flags_to(r, 13);
         r.timetableSeconds = (10 * 60 + 20) * 60 + 30;
       }),
       false},
      {"a clock with an unreadable minute stores no hour",
       TrainLines({"velocita, 0, 50", "orologio, 9, 40000, 5"}), 25, std::nullopt, kRowSignals,
       row([](StationRecord& r) {  // the route's signal repetition, no clock
         r.extentStart = 1500;
         r.extentEnd = 360000;
         r.position = 9;
         r.name = "47302";
       }),
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, c.text);
    t.form.ErrorPosition = kUntouched;
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_EQ(t.form.ErrorPosition, c.position.value_or(kUntouched));
    EXPECT_EQ(t.form.StationTable[static_cast<size_t>(c.row)], c.expected);
    EXPECT_EQ(t.form.TrackCells.at(200).speedLimit, c.tails ? 10 : 0);
    EXPECT_EQ(t.form.TrackCells.at(200).adhesion, 0);  // no adhesion line: the tail stores 0
  }
}

TEST_F(TrainReader, StationExtentsFlagsAndMarks) {
  const struct {
    const char* what;
    int kind, length, flag2, flag3;
    int32_t start, end;
    int flag2_after, flag3_after;
    std::vector<int> marks;  // cells of the marks 81, 82, 83, 84
    int stop;                // cell of the stop mark, -1 for none
  } cases[] = {
      {"kind 12, long, flag 3 set", 12, 600, 1, 1, 4700, 5350, 1, 1, {105, 104, 103, 102}, 106},
      {"kind 12, under 600 m", 12, 500, 1, 0, 4750, 5250, 0, 0, {103, 102, 101, 100}, 104},
      {"kind 5", 5, 400, 0, 1, 4600, 5150, 0, 0, {}, 102},
      {"kind 6", 6, 2200, 1, 1, 2800, 5150, 1, 0, {}, 102},
      {"kind 7", 7, 400, 0, 1, 4600, 5400, 0, 0, {106, 105, 104, 103}, 107},
      {"kind 8", 8, 1000, 1, 0, 4000, 6000, 1, 0, {118, 117, 116, 115}, 119},
      {"kind 24", 24, 400, 0, 0, 4800, 5200, 0, 0, {102, 101, 100, 99}, 103},
      {"kind 25: no marks", 25, 400, 0, 1, 4800, 5250, 0, 1, {}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, Route10k());
    t.Put(kTrainText, TrainLines({Station(0, 30, 100), Station(5000, c.kind, c.length, c.flag2, c.flag3)}));
    ReadSources(t, 0);
    ASSERT_EQ(t.form.ErrorCode, 0);
    const StationRecord& r = t.form.StationTable[2];
    EXPECT_EQ(r.extentStart, c.start);
    EXPECT_EQ(r.extentEnd, c.end);
    EXPECT_EQ(r.stationFlag2, c.flag2_after);
    EXPECT_EQ(r.stationFlag3, c.flag3_after);
    std::vector<int> marked(4, -1);
    int stop = -1;
    for (int k = 0; k <= t.form.CellCount; ++k) {
      const TrackCell& cell = t.form.TrackCells[static_cast<size_t>(k)];
      if (cell.approachMark >= 81 && cell.approachMark <= 84) marked[cell.approachMark - 81] = k;
      if (cell.cellType == kCellStationStop) {
        EXPECT_EQ(stop, -1);
        stop = k;
        EXPECT_EQ(cell.value1, 2);
      }
    }
    EXPECT_EQ(marked, c.marks.empty() ? std::vector<int>(4, -1) : c.marks);
    EXPECT_EQ(stop, c.stop);
  }
}

TEST_F(TrainReader, FirstStationClearsFlags2And3) {
  Read({Station(1000, 12, 600, 1, 1)});
  ASSERT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(f.StationTable[1].stationFlag2, 0);
  EXPECT_EQ(f.StationTable[1].stationFlag3, 0);
  EXPECT_EQ(f.StationTable[1].extentEnd, 1350);  // the extent used the flag as read
}

TEST_F(TrainReader, StationMarksOverwriteWithoutLooking) {
  Read({Signal(5000), Station(5000, 12, 200)});  // stop mark at 5100 / 50 - 1 = 101, on the signal
  ASSERT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Cell(101).cellType, kCellStationStop);
  EXPECT_EQ(Cell(101).value1, 1);
  EXPECT_EQ(Cell(99).approachMark, 82);  // over the signal's own mark 81
}

TEST_F(TrainReader, StationSpacing) {
  Read({Station(0, 30, 100), Station(450, 30, 100)});  // starts 350 m after the first ends
  EXPECT_EQ(f.ErrorCode, 0);
  Read({Station(0, 30, 100), Station(400, 12, 100)});
  EXPECT_EQ(f.ErrorCode, 22);
  EXPECT_EQ(f.ErrorPosition, 400);
  EXPECT_EQ(Cell(8).cellType, kCellStationStop);  // written before the spacing test
  EXPECT_EQ(f.StationTable[2].extentEnd, 450);
}

TEST_F(TrainReader, StationRowsReachTheBoardRows) {
  std::vector<std::string> stations;
  for (int k = 0; k < 79; ++k) {
    std::string name = "S";
    name += std::to_string(k + 1);
    stations.push_back(Station(1000 * k, 30, 100, 0, 0, name));
  }
  Read(stations, Route(80000));
  EXPECT_EQ(f.ErrorCode, 10);
  EXPECT_EQ(f.ErrorPosition, kUntouched);
  EXPECT_EQ(f.StationTable[79].name, "S79");  // stored before the fault
  EXPECT_EQ(f.StationTable[80].name, "");
  stations.pop_back();
  Read(stations, Route(80000));
  EXPECT_EQ(f.ErrorCode, 0);
}

TEST_F(TrainReader, StopMarkBeyondTheLastCell) {
  Read({"velocita, 0, 50", Station(16200, 8, 1000), "numero vetture, 5"});
  EXPECT_EQ(f.ErrorCode, 15);
  EXPECT_EQ(f.ErrorPosition, 16200);
  // The row is filled, no mark is written, reading ends and the tails run.
  EXPECT_EQ(f.StationTable[1].extentStart, 15200);
  EXPECT_EQ(f.StationTable[1].extentEnd, 17200);
  EXPECT_EQ(f.StationTable[1].timetableSeconds, 10 * 3600 + 20 * 60 + 30);
  for (int k = 330; k <= 340; ++k) {
    EXPECT_EQ(Cell(k).approachMark, 0) << "cell " << k;
    EXPECT_EQ(Cell(k).cellType, kCellEmpty) << "cell " << k;
  }
  EXPECT_EQ(f.StationTable[kRowTrain].position, 0);
  EXPECT_EQ(Cell(337).speedLimit, 10);
  EXPECT_FALSE(s.Has(kTrainText));
}

}  // namespace
}  // namespace sb
