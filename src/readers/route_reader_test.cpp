// Route half of the reader: general section, feature lines, gradients, curves, indication
// boards, faults and the fate of the texts.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>

#include "compiler/compile.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::BuiltInRouteText;
using testing::Crlf;
using testing::CrlfLines;
using testing::MemoryScenario;
using testing::ReadSources;
using testing::Route;
using testing::RouteLines;
using testing::Train;

constexpr ScenarioFile kRouteText = ScenarioFile::kRouteSource;
constexpr ScenarioFile kTrainText = ScenarioFile::kTrainSource;
constexpr int32_t kUntouched = -4242;  // ErrorPosition before the read

class RouteReader : public ::testing::Test {
 protected:
  void Read(const std::string& route, int32_t flag = 0,
            const std::string& train = Train({"numero vetture, 5"})) {
    s.Put(kRouteText, route);
    s.Put(kTrainText, train);
    f.ErrorPosition = kUntouched;
    ReadSources(s, flag);
  }
  const TrackCell& Cell(int k) const { return f.TrackCells.at(static_cast<size_t>(k)); }
  const Variant& Point(int metre, int comp) const { return f.Grid.At(metre, comp); }
  int CountType(uint8_t type) const {
    int n = 0;
    for (const TrackCell& c : f.TrackCells) n += c.cellType == type;
    return n;
  }
  // Every cell of k0..k1 has the gradient field g.
  void ExpectGradient(int k0, int k1, int g) const {
    for (int k = k0; k <= k1; ++k) ASSERT_EQ(Cell(k).gradient, g) << "cell " << k;
  }

  MemoryScenario s;
  Form1& f = s.form;
};

TEST_F(RouteReader, BuiltInRoute) {
  Read(BuiltInRouteText(), 1);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_TRUE(f.run.diag.faults.empty());
  EXPECT_FALSE(s.Has(kRouteText));
  ASSERT_EQ(f.TotalLength, 383000);
  ASSERT_EQ(f.CellCount, 7660);
  ASSERT_EQ(f.TrackCells.size(), 7661u);

  // Settings rows.
  for (int row : {kRowKmTre, kRowKmDue, kRowKmUno}) {
    const StationRecord& r = f.StationTable[row];
    EXPECT_EQ(r.extentStart, 0);
    EXPECT_EQ(r.extentEnd, 0);
    EXPECT_EQ(r.position, 0);
  }
  EXPECT_EQ(f.StationTable[kRowTrain].extentEnd, 376000);
  const StationRecord& line = f.StationTable[kRowLine];
  EXPECT_EQ(line.extentStart, 1);
  EXPECT_EQ(line.extentEnd, 0);
  EXPECT_EQ(line.position, 0);
  EXPECT_EQ(line.name, "Torbena-Sarvico-Zeva");
  const StationRecord& sig = f.StationTable[kRowSignals];
  EXPECT_EQ(sig.extentStart, 1500);
  EXPECT_EQ(sig.extentEnd, 360000);
  EXPECT_EQ(sig.position, 9);
  EXPECT_EQ(sig.name, "47302");

  // Gradients, cell by cell.
  const struct { int k0, k1, g; } gradients[] = {
      {0, 79, 100},      {80, 589, 101},    {590, 3722, 100},  {3723, 4173, 98},
      {4174, 4293, 100}, {4294, 4487, 103}, {4488, 5528, 100}, {5529, 5718, 99},
      {5719, 7657, 100}, {7658, 7660, 0}};
  for (const auto& r : gradients) ExpectGradient(r.k0, r.k1, r.g);

  // Indication boards.
  EXPECT_EQ(Cell(2200).cellType, kCellIndicationBoard);
  EXPECT_EQ(Cell(2200).value1, 80);
  EXPECT_EQ(f.StationTable[80].name, "(   INIZIO LINEA)(   DIRETTISSIMA)");
  EXPECT_EQ(Cell(3977).cellType, kCellIndicationBoard);
  EXPECT_EQ(Cell(3977).value1, 79);
  EXPECT_EQ(f.StationTable[79].name, "(    DEPRESSIONE )(  - 19.6  s.l.m.)");
  EXPECT_EQ(f.StationTable[78].name, "");

  // Speed indicator board pairs.
  for (int k : {21, 51, 71, 91, 2172, 3961, 4001, 6001})
    EXPECT_EQ(Cell(k).cellType, kCellSpeedBoards) << "cell " << k;
  EXPECT_EQ(Cell(21).value1, 1212);
  EXPECT_EQ(Cell(21).value2, 1414);
  EXPECT_EQ(Cell(21).value3, 1010);
  EXPECT_EQ(Cell(21).value4, 12);
  EXPECT_EQ(Cell(2172).value1, 5050);
  EXPECT_EQ(Cell(2172).value2, 4450);
  EXPECT_EQ(Cell(2172).value3, 5044);
  EXPECT_EQ(Cell(2172).value4, 22);

  // Mountain stretches: eight of type 2, every fourth cell a marker.
  EXPECT_EQ(f.MountainCount, 8);
  int mountain_cells = 0;
  for (const TrackCell& c : f.TrackCells) {
    if (c.mountain != 0) {
      ++mountain_cells;
      EXPECT_EQ(c.mountain, 2);
    }
  }
  EXPECT_EQ(mountain_cells, 10 + 40 + 120 + 38 + 60 + 51 + 20 + 100);
  EXPECT_EQ(Cell(59).mountain, 0);
  EXPECT_EQ(Cell(60).mountain, 2);
  EXPECT_EQ(Cell(69).mountain, 2);
  EXPECT_EQ(Cell(70).mountain, 0);
  EXPECT_EQ(Cell(63).cellType, kCellMountainMarker);
  EXPECT_EQ(Cell(67).cellType, kCellMountainMarker);

  // Nothing else stands in the cells.
  EXPECT_EQ(CountType(kCellMountainMarker), 108);
  EXPECT_EQ(CountType(kCellSpeedBoards), 8);
  EXPECT_EQ(CountType(kCellIndicationBoard), 2);
  EXPECT_EQ(CountType(kCellEmpty), 7661 - 108 - 8 - 2);

  // Plan of the line.
  ASSERT_TRUE(f.Grid.Exists());
  ASSERT_EQ(f.Grid.LastPoint(), 383000);
  EXPECT_NEAR(Point(12000, 0).d, -4597.55, 0.01);
  EXPECT_NEAR(Point(12000, 1).d, 10414.67, 0.01);
  EXPECT_NEAR(Point(376000, 0).d, 19587.73, 0.01);
  EXPECT_NEAR(Point(376000, 1).d, 301266.95, 0.01);
  double dx = Point(376000, 0).d - Point(375999, 0).d;
  double dy = Point(376000, 1).d - Point(375999, 1).d;
  EXPECT_NEAR(std::hypot(dx, dy), 1.016, 0.0005);
  EXPECT_NEAR(std::atan2(dx, dy) * 180.0 / std::acos(-1.0), 45.3, 0.05);
  for (int comp : {0, 1}) {
    EXPECT_EQ(Point(0, comp).tag, Variant::kInteger);
    EXPECT_EQ(Point(1, comp).tag, Variant::kInteger);
    EXPECT_EQ(Point(2, comp).tag, Variant::kDouble);
    EXPECT_EQ(Point(382998, comp).tag, Variant::kDouble);
    EXPECT_EQ(Point(382999, comp).tag, Variant::kEmpty);
    EXPECT_EQ(Point(383000, comp).tag, Variant::kEmpty);
  }
  EXPECT_EQ(Point(1, 1).i, 1);
}

TEST_F(RouteReader, BuiltInRouteWithoutLineDataGivesTheSameCells) {
  Read(BuiltInRouteText(), 1);
  std::vector<TrackCell> with_grid = f.TrackCells;
  MemoryScenario other;
  other.Put(kRouteText, BuiltInRouteText());
  other.Put(kTrainText, Train());
  ReadSources(other, 0);
  EXPECT_EQ(other.form.ErrorCode, 0);
  EXPECT_FALSE(other.form.Grid.Exists());
  ASSERT_EQ(other.form.TrackCells.size(), with_grid.size());
  for (size_t k = 0; k < with_grid.size(); ++k) {
    const TrackCell& a = with_grid[k];
    const TrackCell& b = other.form.TrackCells[k];
    ASSERT_TRUE(a.cellType == b.cellType && a.value1 == b.value1 && a.value2 == b.value2 &&
                a.value3 == b.value3 && a.value4 == b.value4 && a.mountain == b.mountain &&
                a.gradient == b.gradient)
        << "cell " << k;
  }
}

// --- Faults ---------------------------------------------------------------------------

enum class TrainFate { kNotRead, kRead, kDeletedUnread };

struct FaultCase {
  const char* what;
  std::string route;
  int32_t flag;
  int32_t code;
  std::optional<int32_t> position;
  TrainFate train;
};

TEST_F(RouteReader, EachFaultWithItsPositionAndTheTextGone) {
  const std::string general = "[generale]\r\nlunghezza percorso, 1000\r\n";
  const FaultCase cases[] = {
      {"no [generale]", Crlf({"lunghezza percorso, 1000", "[fine]"}), 0, 102, {}, TrainFate::kNotRead},
      {"[generale] as the last field", Crlf({"x", "[generale]"}), 0, 102, {}, TrainFate::kNotRead},
      {"route length above 1,000,000", Route(1000001), 0, 1, {}, TrainFate::kNotRead},
      {"negative route length", Route(-1), 0, 1, {}, TrainFate::kNotRead},
      {"first repetition value", general + Crlf({"ripetizione segnali 9 codici, 1525, 3000", "[curve]"}),
       0, 3, {}, TrainFate::kNotRead},
      {"second repetition value", general + Crlf({"ripetizione segnali 9 codici, 1500, 3010", "[curve]"}),
       0, 4, {}, TrainFate::kNotRead},
      {"repetition key without 4 or 9", general + Crlf({"ripetizione segnali codici, 1500, 3000", "[curve]"}),
       0, 5, {}, TrainFate::kNotRead},
      {"curve key without a class digit", Route(1000, {"curvad, 100, 50"}), 1, 103, {},
       TrainFate::kNotRead},
      {"grid cursor past 1,000,000", Route(1000000, {"curvad1, 999950, 100"}), 1, 103, {},
       TrainFate::kNotRead},
      {"feature beyond the cells", Route(1000, {"pendenza, 7901, 1"}), 0, 15, 7901, TrainFate::kRead},
      {"feature position near the 32-bit limit", Route(1000, {"pendenza, 2147483600, 1"}), 0, 15, 2147483600,
       TrainFate::kRead},
      {"indication board on a speed board pair",
       Route(1000, {"indicatori_vmax, 1000, 60, 70, 50, 1, 60, 70, 50, 2", "cartello_indicatore, 1000, X"}),
       0, 6, 1000, TrainFate::kNotRead},
      {"speed board pair on an indication board",
       Route(1000, {"cartello_indicatore, 1000, X", "indicatori_vmax, 1000, 60, 70, 50, 1, 60, 70, 50, 2"}),
       0, 21, 1000, TrainFate::kNotRead},
      {"last line short of values", general + Crlf({"[curve]", "pendenza, 1000"}), 0, 25, {},
       TrainFate::kDeletedUnread},
      {"text ends inside the general comment rule", general + Crlf({"-", "-"}), 0, 25, {},
       TrainFate::kDeletedUnread},
      {"gradient + 100 beyond a byte", Route(1000, {"pendenza, 0, 200", "pendenza, 1000, 0"}), 0, 25, {},
       TrainFate::kDeletedUnread},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, c.route);
    t.Put(kTrainText, Train({"numero vetture, 5"}));
    t.form.ErrorPosition = kUntouched;
    ReadSources(t, c.flag);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_EQ(t.form.ErrorPosition, c.position.value_or(kUntouched));
    ASSERT_FALSE(t.form.run.diag.faults.empty());
    EXPECT_EQ(t.form.run.diag.faults.back().code, c.code);
    EXPECT_EQ(t.form.run.diag.faults.back().position, c.position);
    EXPECT_FALSE(t.Has(kRouteText));
    EXPECT_EQ(t.Has(kTrainText), c.train == TrainFate::kNotRead);
    EXPECT_EQ(t.form.StationTable[kRowTrain].position, c.train == TrainFate::kRead ? 5 : 0);
  }
}

TEST_F(RouteReader, MissingRouteTextIsFault101AndNothingIsDeleted) {
  s.Put(kTrainText, Train());
  ReadSources(s, 0);
  EXPECT_EQ(f.ErrorCode, 101);
  EXPECT_FALSE(f.HasTrack);
  EXPECT_TRUE(s.Has(kTrainText));
  EXPECT_EQ(f.StationTable[kRowLine].name, "Torbena-Sarvico-Zeva");
  EXPECT_EQ(f.StationTable[kRowSignals].name, "47302");
}

TEST_F(RouteReader, FaultsPointAtTheFieldAtFault) {
  // The board's key is on line 12 (ten lines of general section, then the speed boards), its
  // position, the value at fault, on line 13.
  Read(Route(1000, {"indicatori_vmax, 1000, 60, 70, 50, 1, 60, 70, 50, 2", "cartello_indicatore\r\n1000, X"}));
  ASSERT_EQ(f.ErrorCode, 6);
  const FaultRecord& fault = f.run.diag.faults.back();
  EXPECT_EQ(fault.where.file, SourceFile::kRoute);
  EXPECT_EQ(fault.where.line, 13);
  EXPECT_EQ(fault.where.column, 1);
  EXPECT_EQ(fault.where.endColumn, 5);
  // The cell is the speed boards' one: a note points at their position on line 11.
  ASSERT_GE(fault.notes.size(), 1u);
  EXPECT_EQ(fault.notes[0].where.line, 11);
  EXPECT_EQ(fault.notes[0].where.column, 18);
  EXPECT_EQ(fault.notes[0].message, "the speed indicator boards already in cell 21 (1000 m) were placed here");
}

TEST_F(RouteReader, Fault15EndsOnlyTheFeatureLines) {
  Read(Route(1000, {"pendenza, 1000, 1", "pendenza, 7901, 2", "pendenza, 2000, 3"}), 1);
  EXPECT_EQ(f.ErrorCode, 15);
  EXPECT_EQ(f.ErrorPosition, 7901);
  // The gradient in force before the refused line runs on to the end; the later line is not read.
  ExpectGradient(0, 19, 100);
  ExpectGradient(20, 157, 101);
  ExpectGradient(158, 160, 0);
  EXPECT_EQ(Point(7998, 1).tag, Variant::kDouble);
  EXPECT_EQ(Point(7998, 1).d, 7998.0);
  EXPECT_EQ(Point(7999, 1).tag, Variant::kEmpty);
  EXPECT_EQ(f.StationTable[kRowTrain].position, 5);
}

TEST_F(RouteReader, RouteLengthSizesTheTrack) {
  const struct { int length, total, cells; } cases[] = {
      {376000, 383000, 7660}, {1000000, 1007000, 20140}, {376025, 383025, 7660},
      {376075, 383075, 7662}, {3025, 10025, 200},        {3075, 10075, 202},
      {0, 7000, 140},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.length);
    MemoryScenario t;
    t.Put(kRouteText, Route(c.length));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 0);
    EXPECT_EQ(t.form.TotalLength, c.total);
    EXPECT_EQ(t.form.CellCount, c.cells);
    EXPECT_EQ(t.form.TrackCells.size(), static_cast<size_t>(c.cells) + 1);
    EXPECT_EQ(t.form.StationTable[kRowTrain].extentEnd, c.length);
  }
}

TEST_F(RouteReader, BadSecondLengthLineKeepsTheFirstTrackAndTheCompileGoesOn) {
  s.Put(kRouteText, Crlf({"[generale]", "lunghezza percorso, 1000", "lunghezza percorso, 2000000", "[fine]"}));
  s.Put(kTrainText, Train());
  int32_t j = 0;
  EXPECT_NO_THROW(memorizza_percorso(f, j));
  EXPECT_EQ(f.ErrorCode, 1);
  EXPECT_EQ(f.CellCount, 160);
  EXPECT_EQ(f.StationTable[kRowTrain].extentEnd, 2000000);
  EXPECT_TRUE(s.Has(ScenarioFile::kTrack));
  EXPECT_TRUE(s.Has(kTrainText));  // the train half did not run
}

TEST_F(RouteReader, WithoutARouteLengthNothingIsCompiled) {
  const struct { const char* what; std::string route; int32_t code; } cases[] = {
      {"no length line",
       Crlf({"[generale]", "progressiva chilometrica uno, 1000, 2000, 1", "[curve]", "pendenza, 0, 1", "[fine]"}), 0},
      {"fault 25 before the length line", Crlf({"[generale]", "-", "-"}), 25},
      {"length line as the last field", Crlf({"[generale]", "lunghezza percorso"}), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, c.route);
    t.Put(kTrainText, Train({"numero vetture, 5"}));
    int32_t j = 1;
    EXPECT_THROW(memorizza_percorso(t.form, j), CompileStop);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_FALSE(t.form.HasTrack);
    EXPECT_FALSE(t.Has(kRouteText));
    EXPECT_EQ(t.Has(kTrainText), c.code != 25);
    EXPECT_EQ(t.form.StationTable[kRowTrain].position, 0);
    if (c.code == 0 && c.route.find("progressiva") != std::string::npos) {
      // The kilometric entries were not put in order.
      EXPECT_EQ(t.form.StationTable[kRowKmUno].extentStart, 1000);
      EXPECT_EQ(t.form.StationTable[kRowKmUno].extentEnd, 2000);
      EXPECT_EQ(t.form.StationTable[kRowKmTre].extentStart, 0);
    }
    for (ScenarioFile out : {ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
      EXPECT_FALSE(t.Has(out));
  }
}

TEST_F(RouteReader, KeepingTheTextsIsTheCallersChoice) {
  const struct { const char* what; std::string route; int32_t code; } cases[] = {
      {"a clean read", Route(1000), 0},
      {"fault 15", Route(1000, {"pendenza, 9000, 1"}), 15},
      {"fault 3", Crlf({"[generale]", "lunghezza percorso, 1000", "ripetizione segnali 9, 5, 0"}), 3},
      {"fault 25", Crlf({"[generale]", "lunghezza percorso, 1000", "[curve]", "pendenza, 1000"}), 25},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.form.run.deleteSources = false;
    t.Put(kRouteText, c.route);
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_TRUE(t.Has(kRouteText));
    EXPECT_TRUE(t.Has(kTrainText));
  }
}

// --- General section ----------------------------------------------------------------

TEST_F(RouteReader, SettingsRowsOfTheGeneralSection) {
  Read(Crlf({"[generale]", "lunghezza percorso, 1000", "progressiva chilometrica uno, 1000, 2000, 1",
             "sfondo uno, 11", "sfondo due, 22", "sfondo tre, 33", "ripetizione segnali 4 codici, 50, 100",
             "[fine]"}));
  EXPECT_EQ(f.ErrorCode, 0);
  const StationRecord& line = f.StationTable[kRowLine];
  EXPECT_EQ(line.extentStart, 11);
  EXPECT_EQ(line.position, 22);
  EXPECT_EQ(line.extentEnd, 33);
  const StationRecord& sig = f.StationTable[kRowSignals];
  EXPECT_EQ(sig.extentStart, 50);
  EXPECT_EQ(sig.extentEnd, 100);
  EXPECT_EQ(sig.position, 4);
  // The only kilometric entry is the greatest: it moves to row 81 with its flag applied.
  EXPECT_EQ(f.StationTable[kRowKmTre].extentStart, 1000);
  EXPECT_EQ(f.StationTable[kRowKmTre].extentEnd, 2100);
  EXPECT_EQ(f.StationTable[kRowKmTre].position, 1);
  EXPECT_EQ(f.StationTable[kRowKmUno].extentStart, 0);
  EXPECT_EQ(f.StationTable[kRowKmUno].extentEnd, 0);
}

// A line of the general section stores its values only once all of them are read: a value
// that does not fit (fault 25) leaves the row as it was.
TEST_F(RouteReader, ALineWithAnUnreadableValueStoresNone) {
  const struct {
    const char* line;
    int row;
  } cases[] = {
      {"progressiva chilometrica uno, 1000, 2000, 99999999999", kRowKmUno},
      {"progressiva chilometrica tre, 1000, 99999999999, 1", kRowKmTre},
      {"ripetizione segnali 9 codici, 1500, 99999999999", kRowSignals},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MemoryScenario t;
    t.Put(kRouteText, Crlf({"[generale]", "lunghezza percorso, 1000", c.line, "[fine]"}));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 25);
    StationRecord cleared;
    if (c.row == kRowSignals) cleared.name = "47302";
    EXPECT_EQ(t.form.StationTable[static_cast<size_t>(c.row)], cleared);
  }
}

TEST_F(RouteReader, SignalRepetitionKey) {
  const struct {
    const char* key;
    int a, b;
    int32_t code;
    int32_t codes;  // row 86 position
  } cases[] = {
      {"ripetizione segnali 9 codici", 1500, 3000, 0, 9},
      {"ripetizione segnali 4 codici", 1500, 3000, 0, 4},
      {"ripetizione segnali 9 o 4 codici", 1500, 3000, 0, 4},  // "4" is tested first
      {"ripetizione segnali 49", 1500, 3000, 0, 4},
      {"ripetizione segnali 9 codici", 1500, 0, 0, 0},
      {"ripetizione segnali 4 codici", 0, 0, 0, 0},
      {"ripetizione segnali codici", 1500, 3000, 5, 0},
      {"ripetizione segnali codici", 1500, 0, 5, 0},  // the digit test comes before the zero test
      {"ripetizione segnali 9 codici", -50, 3000, 0, 9},
      {"ripetizione segnali 9 codici", 1525, 3010, 3, 0},
      {"ripetizione segnali codici", 1500, 3010, 4, 0},
      {"Ripetizione segnali 9 codici", 1500, 3000, 0, 0},  // case-sensitive: not recognised
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.a) + " " + std::to_string(c.b));
    MemoryScenario t;
    std::string line = std::string(c.key) + ", " + std::to_string(c.a) + ", " + std::to_string(c.b);
    t.Put(kRouteText, CrlfLines({"[generale]", "lunghezza percorso, 1000", line, "[fine]"}));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    const StationRecord& r = t.form.StationTable[kRowSignals];
    bool recognised = c.key[0] == 'r';
    EXPECT_EQ(r.extentStart, recognised ? c.a : 0);
    EXPECT_EQ(r.extentEnd, recognised ? c.b : 0);
    EXPECT_EQ(r.position, c.codes);
  }
}

// --- Reading rules ------------------------------------------------------------------------

struct RuleCase {
  const char* what;
  std::string route;
  int32_t code;
  std::function<void(const Form1&)> check;
};

std::vector<std::string> Dashes(int n) { return std::vector<std::string>(static_cast<size_t>(n), "-"); }

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST_F(RouteReader, ReadingRules) {
  const std::vector<std::string> head = {"[generale]", "lunghezza percorso, 1000"};
  auto gradient_of_cell_20 = [](int g) {
    return [g](const Form1& f) { EXPECT_EQ(f.TrackCells[20].gradient, g); };
  };
  auto background = [](int v) {
    return [v](const Form1& f) { EXPECT_EQ(f.StationTable[kRowLine].extentStart, v); };
  };
  const RuleCase cases[] = {
      {"a last field that is a key is never interpreted",
       Crlf({"[generale]", "lunghezza percorso, 1000", "[curve]", "pendenza, 1000, 2", "cartello_indicatore"}), 0,
       [](const Form1& f) {
         for (const TrackCell& c : f.TrackCells) EXPECT_NE(c.cellType, kCellIndicationBoard);
         EXPECT_EQ(f.TrackCells[20].gradient, 102);
       }},
      {"a last field of the general section is never interpreted",
       Crlf({"[generale]", "lunghezza percorso, 1000", "sfondo uno"}), 0, background(0)},
      {"ten dash fields: the tenth is passed over",
       CrlfLines(Concat(Concat(head, Dashes(9)), {"- sfondo uno, 7", "[fine]"})), 0, background(0)},
      {"eleven dash fields: the eleventh is a key",
       CrlfLines(Concat(Concat(head, Dashes(10)), {"- sfondo uno, 7", "[fine]"})), 0, background(7)},
      {"an eleventh dash field with brackets does not end the general section",
       CrlfLines(Concat(Concat(head, Dashes(10)), {"-[x]", "sfondo uno, 7", "[fine]"})), 0, background(7)},
      {"a head reached by the general comment rule ends it",
       CrlfLines(Concat(Concat(head, Dashes(9)), {"[x]", "sfondo uno, 7", "[fine]"})), 0, background(0)},
      {"a field reached by the general comment rule is interpreted even at the end of the text",
       Crlf({"[generale]", "lunghezza percorso, 1000", "-", "sfondo uno"}), 25, nullptr},
      {"two dash fields among the features: the third is a key",
       RouteLines(1000, {"-", "-", "- pendenza, 1000, 2"}), 0, gradient_of_cell_20(102)},
      {"one dash field among the features: the second is passed over",
       RouteLines(1000, {"-", "- pendenza, 1000, 2"}), 0, gradient_of_cell_20(100)},
      {"the text ends inside the feature comment rule",
       Crlf({"[generale]", "lunghezza percorso, 1000", "[curve]", "-", "pendenza"}), 0, nullptr},
      {"a capital route length key is recognised",
       Crlf({"[generale]", "LUNGHEZZA PERCORSO, 1000", "[fine]"}), 0,
       [](const Form1& f) { EXPECT_EQ(f.CellCount, 160); }},
      {"a capital kilometric key is not, and its values pass as keys",
       Crlf({"[generale]", "lunghezza percorso, 1000", "Progressiva chilometrica tre, 1000, 2000, 1", "[fine]"}), 0,
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowKmTre].extentStart, 0);
         EXPECT_EQ(f.StationTable[kRowKmTre].extentEnd, 0);
       }},
      {"a capital background key is not recognised",
       Crlf({"[generale]", "lunghezza percorso, 1000", "SFONDO UNO, 7", "[fine]"}), 0, background(0)},
      {"capital feature keys are recognised",
       RouteLines(1000, {"PENDENZA, 1000, 2", "MONTAGNA, 3000, 3500, 12", "INDICATORI_VMAX, 1000, 1, 1, 1, 1, 1, 1, 1, 1",
                         "CARTELLO_INDICATORE, 2000, X"}),
       0,
       [](const Form1& f) {
         EXPECT_EQ(f.TrackCells[20].gradient, 102);
         EXPECT_EQ(f.TrackCells[60].mountain, 2);
         EXPECT_EQ(f.TrackCells[21].cellType, kCellSpeedBoards);
         EXPECT_EQ(f.TrackCells[41].cellType, kCellIndicationBoard);
       }},
      {"values are taken from the next line",
       Crlf({"[generale]", "lunghezza percorso", "1000", "sfondo uno", "7", "[curve]", "pendenza, 1000", "2", "[fine]"}),
       0,
       [](const Form1& f) {
         EXPECT_EQ(f.CellCount, 160);
         EXPECT_EQ(f.StationTable[kRowLine].extentStart, 7);
         EXPECT_EQ(f.TrackCells[20].gradient, 102);
       }},
      {"general keys are not recognised after the section",
       Crlf({"[generale]", "lunghezza percorso, 1000", "[altro]", "sfondo uno, 7", "lunghezza percorso, 2000", "[fine]"}),
       0,
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowLine].extentStart, 0);
         EXPECT_EQ(f.CellCount, 160);
       }},
      {"any field with both brackets ends the general section",
       Crlf({"[generale]", "lunghezza percorso, 1000", "x]y[z", "sfondo uno, 7", "[fine]"}), 0, background(0)},
      {"feature keys are not recognised in the general section",
       Crlf({"[generale]", "lunghezza percorso, 1000", "pendenza, 0, 5", "cartello_indicatore, 1000, X", "[fine]"}),
       0,
       [](const Form1& f) {
         EXPECT_EQ(f.TrackCells[0].gradient, 100);
         EXPECT_EQ(f.TrackCells[21].cellType, kCellEmpty);
       }},
      {"a general section that runs to the end of the text",
       Crlf({"[generale]", "lunghezza percorso, 1000", "sfondo uno, 7"}), 0,
       [](const Form1& f) {
         EXPECT_EQ(f.StationTable[kRowLine].extentStart, 7);
         EXPECT_EQ(f.TrackCells[157].gradient, 100);
       }},
      {"fields before [generale] are passed over; its search ignores case",
       Crlf({"lunghezza percorso, 5000", "[Generale]", "lunghezza percorso, 1000", "[fine]"}), 0,
       [](const Form1& f) { EXPECT_EQ(f.CellCount, 160); }},
  };
  for (const RuleCase& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario t;
    t.Put(kRouteText, c.route);
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    if (c.check) c.check(t.form);
  }
}

// --- Gradients ----------------------------------------------------------------------------

TEST_F(RouteReader, GradientFill) {
  Read(Route(1000, {"pendenza, 0, 3", "pendenza, 500, -2", "pendenza, 510, 1", "pendenza, 2000, 0"}));
  EXPECT_EQ(f.ErrorCode, 0);
  ExpectGradient(0, 9, 103);     // position 0 fills nothing, it only sets the first gradient
  ExpectGradient(10, 10, 98);    // a line in an already filled cell still fills one cell
  ExpectGradient(11, 39, 101);
  ExpectGradient(40, 157, 100);  // the finishing step
  ExpectGradient(158, 160, 0);   // the last three cells
}

TEST_F(RouteReader, GradientValuesThatDoNotFitAByte) {
  const struct {
    std::vector<std::string> lines;
    int32_t code;
    int cell0;  // gradient of cell 0 afterwards
  } cases[] = {
      {{"pendenza, 0, 155", "pendenza, 100, 0"}, 0, 255},
      {{"pendenza, 0, -100", "pendenza, 100, 0"}, 0, 0},
      {{"pendenza, 0, 156", "pendenza, 100, 0"}, 25, 0},
      {{"pendenza, 0, -101", "pendenza, 100, 0"}, 25, 0},
      {{"pendenza, 100, 1", "pendenza, 200, 300"}, 25, 100},  // stored by the finishing step
      {{"pendenza, 0, 300", "pendenza, 0, 1"}, 0, 101},      // replaced before any cell took it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines[0] + " / " + c.lines[1]);
    MemoryScenario t;
    t.Put(kRouteText, RouteLines(1000, c.lines));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    EXPECT_EQ(t.form.TrackCells[0].gradient, c.cell0);
  }
}

TEST_F(RouteReader, GradientFillNeverPassesTheLastCell) {
  // Each further line at 7900 m fills one more cell: 158, 159, 160, then cell 161 does not exist.
  const std::vector<std::string> lines = {"pendenza, 7900, 1", "pendenza, 7900, 2", "pendenza, 7900, 3",
                                          "pendenza, 7900, 4", "pendenza, 7900, 5"};
  for (size_t n : {size_t{4}, size_t{5}}) {  // 4: the finishing step fails; 5: the fifth line
    SCOPED_TRACE(n);
    MemoryScenario t;
    t.Put(kRouteText, RouteLines(1000, std::vector<std::string>(lines.begin(), lines.begin() + n)));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 25);
    EXPECT_EQ(t.form.TrackCells[157].gradient, 100);
    EXPECT_EQ(t.form.TrackCells[158].gradient, 101);
    EXPECT_EQ(t.form.TrackCells[159].gradient, 102);
    EXPECT_EQ(t.form.TrackCells[160].gradient, 103);
    EXPECT_FALSE(t.Has(kRouteText));
    EXPECT_FALSE(t.Has(kTrainText));
  }
}

// --- Curves -------------------------------------------------------------------------------

TEST_F(RouteReader, CurveStepsInDoublePrecision) {
  Read(Route(0, {"curvad4, 2, 3"}), 1);
  ASSERT_EQ(f.ErrorCode, 0);
  // Straight to metre 2, then three steps turned by 0.001 each, then straight again.
  const struct { int m; double x, y; } points[] = {
      {2, 0.0, 2.0},
      {3, 0.001, 3.0},
      {4, 0.003, 3.999999},
      {5, 0.005999999, 4.999996},
      {6, 0.008999998, 5.999993},
  };
  for (const auto& p : points) {
    EXPECT_EQ(Point(p.m, 0).tag, Variant::kDouble);
    EXPECT_NEAR(Point(p.m, 0).d, p.x, 1e-12) << "metre " << p.m;
    EXPECT_NEAR(Point(p.m, 1).d, p.y, 1e-12) << "metre " << p.m;
  }
  EXPECT_EQ(Point(6998, 0).tag, Variant::kDouble);
  EXPECT_EQ(Point(6999, 0).tag, Variant::kEmpty);
  EXPECT_EQ(Point(7000, 1).tag, Variant::kEmpty);
}

std::vector<Variant> GridOf(const std::vector<std::string>& curves) {
  MemoryScenario t;
  t.Put(kRouteText, RouteLines(1000, curves));
  t.Put(kTrainText, Train());
  ReadSources(t, 1);
  EXPECT_EQ(t.form.ErrorCode, 0);
  return t.form.Grid.Values();
}

bool SameGrid(const std::vector<Variant>& a, const std::vector<Variant>& b, bool mirrored_x) {
  if (a.size() != b.size()) return false;
  size_t half = a.size() / 2;
  for (size_t k = 0; k < a.size(); ++k) {
    if (a[k].tag != b[k].tag) return false;
    double sign = mirrored_x && k < half ? -1.0 : 1.0;
    if (a[k].AsDouble() != sign * b[k].AsDouble()) return false;
  }
  return true;
}

TEST_F(RouteReader, CurveKeysLengthsAndOverlaps) {
  const auto right = GridOf({"curvad3, 100, 400"});
  EXPECT_NE(right[4000].AsDouble(), 0.0);  // x of metre 4000 has moved
  EXPECT_GT(right[4000].AsDouble(), 0.0);  // to the right
  EXPECT_TRUE(SameGrid(GridOf({"curvas3, 100, 400"}), right, true));
  EXPECT_TRUE(SameGrid(GridOf({"CURVAS3, 100, 400"}), right, true));
  EXPECT_TRUE(SameGrid(GridOf({"curvas12, 100, 400"}), GridOf({"curvas1, 100, 400"}), false));
  EXPECT_TRUE(SameGrid(GridOf({"curvad1, 100, 0"}), GridOf({}), false));  // length 0 bends nothing
  EXPECT_TRUE(SameGrid(GridOf({"curvad1, 100, 100", "curvad1, 150, 100"}), GridOf({"curvad1, 100, 150"}),
                       false));  // a start behind the cursor bends from the cursor on
  const auto straight = GridOf({});
  EXPECT_EQ(straight[7998].AsDouble(), 0.0);
  EXPECT_EQ(straight[8001 + 7998].AsDouble(), 7998.0);
}

TEST_F(RouteReader, CurveRunningPastTheLastPoint) {
  Read(Route(0, {"curvad1, 6900, 500"}), 1);
  EXPECT_EQ(f.ErrorCode, 25);
  EXPECT_EQ(Point(7000, 0).tag, Variant::kDouble);  // written up to the last point
  EXPECT_GT(Point(7000, 0).d, 0.0);
  EXPECT_FALSE(s.Has(kRouteText));
  EXPECT_FALSE(s.Has(kTrainText));
}

TEST_F(RouteReader, CurvesMayReachTheLastTwoPoints) {
  Read(Route(0, {"curvad1, 6900, 100"}), 1);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Point(6999, 0).tag, Variant::kDouble);
  EXPECT_EQ(Point(7000, 1).tag, Variant::kDouble);
}

TEST_F(RouteReader, TheMillionPointLimitOfCurves) {
  // The limit is tested after each step: a curve that ends on point 1,000,000 passes it.
  const struct { const char* line; int32_t code; } cases[] = {
      {"curvad1, 999900, 99", 0},
      {"curvad1, 999900, 100", 103},
      {"curvad1, 1000000, 0", 103},  // the straight run to the curve passes it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MemoryScenario t;
    t.Put(kRouteText, Route(1000000, {c.line}));
    t.Put(kTrainText, Train());
    ReadSources(t, 1);
    EXPECT_EQ(t.form.ErrorCode, c.code);
    // Without a fault the line runs on straight, past 1,000,000 points, to the end.
    EXPECT_EQ(t.form.Grid.At(1006998, 1).tag, c.code == 0 ? Variant::kDouble : Variant::kEmpty);
    EXPECT_EQ(t.form.Grid.At(1000000, 1).tag, Variant::kDouble);
  }
}

// The plan of the built-in line, worked out step by step from the curve lines, bit for bit.
TEST_F(RouteReader, BuiltInPlanBitForBit) {
  Read(BuiltInRouteText(), 1);
  ASSERT_EQ(f.ErrorCode, 0);
  const int32_t last = f.TotalLength;
  std::vector<double> x(static_cast<size_t>(last) + 1), y(x.size());
  x[1] = 0.0;
  y[1] = 1.0;
  int64_t i = 2;
  auto step = [&](double c) {
    double dx = x[i - 1] - x[i - 2], dy = y[i - 1] - y[i - 2];
    if (c == 0.0) {
      x[i] = x[i - 1] + dx;
      y[i] = y[i - 1] + dy;
    } else {
      double nx = dx + c * dy, ny = dy - c * dx;
      x[i] = x[i - 1] + nx;
      y[i] = y[i - 1] + ny;
    }
    ++i;
  };
  const double curvature[] = {0, 0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};
  int curves = 0;
  for (const std::string& line : RouteTextLines()) {
    char side = 0;
    int cls = 0, start = 0, length = 0;
    if (std::sscanf(line.c_str(), "curva%c%d, %d, %d", &side, &cls, &start, &length) != 4) continue;
    ++curves;
    double c = side == 's' ? -curvature[cls] : curvature[cls];
    while (i <= start) step(0.0);
    while (i <= int64_t{start} + length) step(c);
  }
  ASSERT_EQ(curves, 36);
  while (i <= last - 2) step(0.0);
  int mismatches = 0;
  for (int32_t m = 2; m <= last - 2 && mismatches < 5; ++m) {
    for (int comp : {0, 1}) {
      const Variant& v = Point(m, comp);
      double want = comp == 0 ? x[static_cast<size_t>(m)] : y[static_cast<size_t>(m)];
      if (v.tag != Variant::kDouble || std::memcmp(&v.d, &want, sizeof want) != 0) {
        ADD_FAILURE() << "metre " << m << " component " << comp << ": " << v.d << " instead of " << want;
        ++mismatches;
      }
    }
  }
}

TEST_F(RouteReader, CurvesAreNotReadWithoutLineData) {
  Read(Route(1000, {"curva, 100, 50", "curvad1, 100, 7000", "pendenza, 1000, 2"}), 0);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_FALSE(f.Grid.Exists());
  EXPECT_EQ(Cell(20).gradient, 102);
}

// --- Indication boards --------------------------------------------------------------------

TEST_F(RouteReader, IndicationBoards) {
  Read(Route(1000, {"montagna, 3000, 3500, 12", "cartello_indicatore, 3100,   ( UNO )  due  ",
                    "cartello_indicatore, -75, SECONDO, con virgola", "cartello_indicatore, 4000, TERZO"}));
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Cell(63).cellType, kCellIndicationBoard);  // a mountain marker gives way
  EXPECT_EQ(Cell(63).value1, 80);
  EXPECT_EQ(Cell(63).mountain, 2);
  EXPECT_EQ(f.StationTable[80].name, "( UNO )  due  ");
  EXPECT_EQ(Cell(0).cellType, kCellIndicationBoard);  // -75 / 50 + 1 = -0.5 rounds to 0
  EXPECT_EQ(Cell(0).value1, 79);
  EXPECT_EQ(f.StationTable[79].name, "SECONDO");
  EXPECT_EQ(Cell(81).value1, 78);
  EXPECT_EQ(f.StationTable[78].name, "TERZO");
}

TEST_F(RouteReader, IndicationBoardRows) {
  std::vector<std::string> boards;
  for (int k = 0; k < 81; ++k) boards.push_back("cartello_indicatore, " + std::to_string(100 * k) + ", T" + std::to_string(k));
  {
    SCOPED_TRACE("81 boards fill rows 80 to 0");
    MemoryScenario t;
    t.Put(kRouteText, RouteLines(10000, boards));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 0);
    EXPECT_EQ(t.form.StationTable[0].name, "T80");
    EXPECT_EQ(t.form.TrackCells[161].value1, 0);
  }
  {
    SCOPED_TRACE("an 82nd board has no row: fault 25, not placed");
    MemoryScenario t;
    t.Put(kRouteText, RouteLines(10000, Concat(boards, {"cartello_indicatore, 9000, T81"})));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 25);
    EXPECT_EQ(t.form.StationTable[0].name, "T80");
    EXPECT_EQ(t.form.TrackCells[181].cellType, kCellEmpty);
  }
  {
    SCOPED_TRACE("an 82nd board on an occupied cell: the occupied test comes first");
    MemoryScenario t;
    t.Put(kRouteText, RouteLines(10000, Concat(boards, {"cartello_indicatore, 0, T81"})));
    t.Put(kTrainText, Train());
    t.form.ErrorPosition = kUntouched;
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, 6);
    EXPECT_EQ(t.form.ErrorPosition, 0);
  }
}

TEST_F(RouteReader, StripesAreRead32Bit) {
  Read(Route(1000, {"indicatori_vmax, 1000, 0, 0, 0, 100000, 0, 0, 0, 7"}));
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Cell(21).value4, 16967);  // low 16 bits of 1,000,007
}

TEST_F(RouteReader, NegativeFeaturePositionsFailWhenACellIsTouched) {
  const struct { const char* line; int32_t code; } cases[] = {
      {"cartello_indicatore, -100, X", 25},
      {"indicatori_vmax, -100, 1, 1, 1, 1, 1, 1, 1, 1", 25},
      {"montagna, -200, 1000, 2", 25},
      {"montagna, -200, -200, 2", 0},  // covers no cell
      {"pendenza, -5000, 2", 0},       // fills nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    MemoryScenario t;
    t.Put(kRouteText, Route(1000, {c.line}));
    t.Put(kTrainText, Train());
    ReadSources(t, 0);
    EXPECT_EQ(t.form.ErrorCode, c.code);
  }
}

}  // namespace
}  // namespace sb
