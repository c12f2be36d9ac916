// Kilometric references, mountain stretches and speed indicator board pairs.
#include <gtest/gtest.h>

#include <climits>

#include "model/run_errors.h"
#include "readers/route_features.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;
using testing::ReadSources;
using testing::Train;

struct Entry {
  int32_t start, end, flag;
  bool operator==(const Entry&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Entry& e) {
  return os << "(" << e.start << ", " << e.end << ", " << e.flag << ")";
}

Entry Row(const Form1& f, int row) {
  const StationRecord& r = f.StationTable[row];
  return {r.extentStart, r.extentEnd, r.position};
}

void SetRow(Form1& f, int row, Entry e) {
  StationRecord& r = f.StationTable[row];
  r.extentStart = e.start;
  r.extentEnd = e.end;
  r.position = e.flag;
}

TEST(KilometricOrdering, EntriesMoveWholeAndFlagsApply) {
  const Entry Z{0, 0, 0};
  const struct {
    const char* what;
    Entry t, d, u;       // rows 81, 82, 83 before
    Entry t2, d2, u2;    // after
  } cases[] = {
      {"all zero", Z, Z, Z, Z, Z, Z},
      {"T greatest, D > U", {4000, 1, 0}, {2000, 2, 0}, {1000, 3, 0}, {4000, 1, 0}, {2000, 2, 0}, {1000, 3, 0}},
      {"T greatest, D = U", {4000, 1, 0}, {1000, 2, 0}, {1000, 3, 0}, {4000, 1, 0}, {1000, 3, 0}, {1000, 2, 0}},
      {"D greatest, T > U", {1000, 1, 0}, {4000, 2, 0}, {500, 3, 0}, {4000, 2, 0}, {1000, 1, 0}, {500, 3, 0}},
      {"D greatest, T < U", {0, 1, 0}, {5000, 2, 0}, {2000, 3, 0}, {5000, 2, 0}, {2000, 3, 0}, {0, 1, 0}},
      {"U greatest, T > D", {2000, 1, 0}, {1000, 2, 0}, {4000, 3, 0}, {4000, 3, 0}, {2000, 1, 0}, {1000, 2, 0}},
      {"U greatest, T < D", {1000, 1, 0}, {2000, 2, 0}, {4000, 3, 0}, {4000, 3, 0}, {2000, 2, 0}, {1000, 1, 0}},
      {"two share the greatest", {3000, 1, 0}, {3000, 2, 0}, {1000, 3, 0}, Z, Z, Z},
      {"three share the greatest", {1000, 1, 1}, {1000, 2, 1}, {1000, 3, 1}, Z, Z, Z},
      {"zero sum, only U's end positive", {0, -50, 0}, {0, 0, 2}, {0, 300, 0}, {0, 300, 0}, {0, 0, 2}, {0, -50, 0}},
      {"zero sum, T's and D's ends positive", {0, 100, 0}, {0, 200, 0}, Z, {0, 200, 0}, {0, 100, 0}, Z},
      {"zero sum, all three ends positive", {0, 100, 0}, {0, 200, 0}, {0, 300, 0}, {0, 300, 0}, {0, 200, 0},
       {0, 100, 0}},
      {"zero sum, no end positive", {0, -100, 1}, {0, 0, 1}, {0, -50, 1}, Z, Z, Z},
      {"starts -100, 100, 0 sum to zero", {-100, 0, 0}, {100, 0, 0}, {0, 50, 0}, {0, 50, 0}, {100, 0, 0},
       {-100, 0, 0}},
      {"flag 1 adds 100 wherever the entry goes, flag 2 does not", {1000, 2000, 1}, {3000, 4000, 2},
       {500, 600, 1}, {3000, 4000, 2}, {1000, 2100, 1}, {500, 700, 1}},
      {"the sum is exact, not wrapped to 32 bits", {INT32_MAX, 10, 0}, {INT32_MAX, 20, 0}, {2, 30, 0}, Z, Z,
       Z},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Form1 f;
    SetRow(f, kRowKmTre, c.t);
    SetRow(f, kRowKmDue, c.d);
    SetRow(f, kRowKmUno, c.u);
    progressive_ordina(f);
    EXPECT_EQ(Row(f, kRowKmTre), c.t2);
    EXPECT_EQ(Row(f, kRowKmDue), c.d2);
    EXPECT_EQ(Row(f, kRowKmUno), c.u2);
  }
}

TEST(KilometricOrdering, FlagThatOverflowsIsAReadFailure) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource,
        testing::Crlf({"[generale]", "lunghezza percorso, 1000",
                       "progressiva chilometrica uno, 1000, 2147483600, 1", "[fine]"}));
  s.Put(ScenarioFile::kTrainSource, Train());
  ReadSources(s, 0);
  EXPECT_EQ(s.form.ErrorCode, 25);
}

// --- Mountain stretches ---------------------------------------------------------------

class Mountains : public ::testing::Test {
 protected:
  void SetUp() override { f.CreateTrack(1000); }  // cells 0 to 160
  int32_t Stretch(int32_t inizio, int32_t fine, int32_t tipo) {
    memo_montagna(f, inizio, fine, tipo);
    return tipo;
  }
  std::vector<int> MountainCells() const {
    std::vector<int> v;
    for (int k = 0; k <= f.CellCount; ++k)
      if (f.TrackCells[static_cast<size_t>(k)].mountain != 0) v.push_back(k);
    return v;
  }
  std::vector<int> Markers() const {
    std::vector<int> v;
    for (int k = 0; k <= f.CellCount; ++k)
      if (f.TrackCells[static_cast<size_t>(k)].cellType == kCellMountainMarker) v.push_back(k);
    return v;
  }
  static std::vector<int> Span(int a, int b) {
    std::vector<int> v;
    for (int k = a; k <= b; ++k) v.push_back(k);
    return v;
  }
  Form1 f;
};

TEST_F(Mountains, TypeMarkersAndCoveredCells) {
  const struct {
    int32_t inizio, fine, tipo;
    int32_t tipo_after;
    std::vector<int> cells, markers;
  } cases[] = {
      {3000, 3500, 12, 2, Span(60, 69), {63, 67}},
      {3000, 3500, 10, 10, Span(60, 69), {}},
      {3000, 3500, 13, 3, Span(60, 69), {63, 67}},
      {3000, 3500, 2, 2, Span(60, 69), {}},
      {3000, 3020, 12, 2, {}, {}},    // last cell 59.4 -> 59
      {3000, 3040, 12, 2, {60}, {}},  // 59.8 -> 60
      {3000, 3025, 12, 2, {60}, {}},  // 59.5 -> 60
      {3025, 3300, 12, 2, Span(60, 65), {63}},  // 60.5 -> 60
      {3075, 3300, 12, 2, Span(62, 65), {65}},  // 61.5 -> 62
      {3000, 2000, 12, 2, {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.inizio) + ", " + std::to_string(c.fine) + ", " + std::to_string(c.tipo));
    f = Form1();
    f.CreateTrack(1000);
    f.MountainCount = 0;
    EXPECT_EQ(Stretch(c.inizio, c.fine, c.tipo), c.tipo_after);
    EXPECT_EQ(MountainCells(), c.cells);
    EXPECT_EQ(Markers(), c.markers);
    for (int k : c.cells) EXPECT_EQ(f.TrackCells[static_cast<size_t>(k)].mountain, c.tipo_after);
    EXPECT_EQ(f.MountainCount, 1);
    EXPECT_EQ(f.MountainStarts[1], c.inizio);
    EXPECT_EQ(f.MountainEnds[1], c.fine);
  }
}

TEST_F(Mountains, JoinedStretchesTakeType3) {
  const struct {
    const char* what;
    int32_t first_inizio, first_fine, inizio, fine, tipo;
    int32_t tipo_after;
  } cases[] = {
      {"150 m after the previous end", 3000, 3500, 3650, 4000, 12, 3},
      {"151 m after", 3000, 3500, 3651, 4000, 12, 2},
      {"overlapping the previous one", 3000, 3500, 3400, 4000, 5, 3},
      {"the gap is exact, not wrapped", -2147483600, -2147483600, 2000, 2500, 2, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    f = Form1();
    f.CreateTrack(1000);
    Stretch(c.first_inizio, c.first_fine, 2);
    EXPECT_EQ(Stretch(c.inizio, c.fine, c.tipo), c.tipo_after);
    EXPECT_EQ(f.TrackCells[static_cast<size_t>(c.inizio / 50 + 1)].mountain, c.tipo_after);
  }
  // A joined stretch keeps its own marker choice.
  f = Form1();
  f.CreateTrack(1000);
  Stretch(3000, 3500, 12);
  EXPECT_EQ(Stretch(3650, 4000, 12), 3);
  EXPECT_EQ(Markers(), (std::vector<int>{63, 67, 76}));
  // The first stretch is never joined, whatever the tables hold from before.
  f = Form1();
  f.CreateTrack(1000);
  f.MountainEnds[0] = 3000;
  EXPECT_EQ(Stretch(3100, 3500, 12), 2);
}

TEST_F(Mountains, MarkersOnlyOnEmptyCellsAndLaterStretchesWin) {
  f.TrackCells[63].cellType = kCellSpeedBoards;
  Stretch(3000, 3500, 12);
  EXPECT_EQ(f.TrackCells[63].cellType, kCellSpeedBoards);  // counted, but not replaced
  EXPECT_EQ(f.TrackCells[63].mountain, 2);
  EXPECT_EQ(Markers(), (std::vector<int>{67}));
  // The next stretch overlaps the first, so it is joined (type 3), and it covers cells 66 to 73.
  EXPECT_EQ(Stretch(3300, 3700, 4), 3);
  EXPECT_EQ(f.TrackCells[66].mountain, 3);
  EXPECT_EQ(f.TrackCells[65].mountain, 2);
}

TEST_F(Mountains, StretchesBeyondTheLastCellAreCut) {
  EXPECT_EQ(Stretch(7800, 9000, 12), 2);
  EXPECT_EQ(MountainCells(), Span(156, 160));
  EXPECT_EQ(Markers(), (std::vector<int>{159}));
}

TEST_F(Mountains, MoreThan80Stretches) {
  f = Form1();
  f.CreateTrack(100000);
  for (int n = 1; n <= 85; ++n) Stretch(1000 * n, 1000 * n + 100, 2);
  EXPECT_EQ(f.MountainCount, 85);
  ASSERT_GE(f.MountainStarts.size(), 86u);
  ASSERT_GE(f.MountainEnds.size(), 86u);
  EXPECT_EQ(f.MountainStarts[81], 81000);
  EXPECT_EQ(f.MountainEnds[85], 85100);
  EXPECT_EQ(f.TrackCells[1700].mountain, 2);
}

TEST_F(Mountains, ANegativeStartFailsOnlyWhenItTouchesACell) {
  EXPECT_THROW(Stretch(-200, 1000, 2), ReadFailure);
  f = Form1();
  f.CreateTrack(1000);
  EXPECT_NO_THROW(Stretch(-200, -200, 2));
}

TEST(MountainsInTheRoute, CountRestartsAndOnlyTheStartIsRangeTested) {
  MemoryScenario s;
  s.form.MountainCount = 7;  // left by an earlier compile
  s.Put(ScenarioFile::kRouteSource,
        testing::Route(1000, {"montagna, 7800, 900000, 12", "montagna, 7901, 8000, 12"}));
  s.Put(ScenarioFile::kTrainSource, Train());
  s.form.ErrorPosition = 0;
  ReadSources(s, 0);
  EXPECT_EQ(s.form.ErrorCode, 15);
  EXPECT_EQ(s.form.ErrorPosition, 7901);
  EXPECT_EQ(s.form.MountainCount, 1);
  EXPECT_EQ(s.form.TrackCells[160].mountain, 2);
}

// --- Speed indicator board pairs ------------------------------------------------------

struct Boards {
  int32_t vas, vbs, vcs, strisces, vad, vbd, vcd, strisced;
};

void PlaceBoards(Form1& f, int32_t posizione, Boards b) {
  memo_indicatori_v_max(f, posizione, b.vas, b.vbs, b.vcs, b.strisces, b.vad, b.vbd, b.vcd, b.strisced,
                        SourceRef{});
}

TEST(SpeedBoards, PackedValues) {
  const struct {
    const char* what;
    Boards b;
    int16_t v1, v2, v3, v4;
  } cases[] = {
      {"the first pair of the line", {60, 70, 50, 1, 60, 70, 50, 2}, 1212, 1414, 1010, 12},
      {"the pair at 108550 m", {250, 220, 250, 2, 250, 250, 220, 2}, 5050, 4450, 5044, 22},
      {"a fifth rounded", {60, 60, 60, 0, 172, 173, 171, 0}, 1234, 1235, 1234, 0},
      {"negative values round too", {60, 0, -1, 0, -3, -2, 0, 0}, 1199, 0, -20, 0},
      {"stripes keep the low 16 bits", {0, 0, 0, 4000, 0, 0, 0, 0}, 0, 0, 0, -25536},
      {"stripes at 32768", {0, 0, 0, 3276, 0, 0, 0, 8}, 0, 0, 0, -32768},
      {"stripes of 32-bit size", {0, 0, 0, 100000, 0, 0, 0, 7}, 0, 0, 0, 16967},
      {"the largest packed value", {1638, 0, 0, 0, 35, 0, 0, 0}, 32767, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Form1 f;
    f.CreateTrack(1000);
    PlaceBoards(f, 1000, c.b);
    const TrackCell& cell = f.TrackCells[21];
    EXPECT_EQ(f.ErrorCode, 0);
    EXPECT_EQ(cell.cellType, kCellSpeedBoards);
    EXPECT_EQ(cell.value1, c.v1);
    EXPECT_EQ(cell.value2, c.v2);
    EXPECT_EQ(cell.value3, c.v3);
    EXPECT_EQ(cell.value4, c.v4);
  }
}

TEST(SpeedBoards, PackedValueBeyond16BitsIsAReadFailure) {
  for (Boards b : {Boards{1638, 0, 0, 0, 40, 0, 0, 0}, Boards{0, 0, -1639, 0, 0, 0, 0, 0}}) {
    Form1 f;
    f.CreateTrack(1000);
    EXPECT_THROW(PlaceBoards(f, 1000, b), ReadFailure);
  }
}

TEST(SpeedBoards, FreeAndOccupiedCells) {
  const struct {
    uint8_t before;
    int32_t code;
    uint8_t after;
  } cases[] = {
      {kCellEmpty, 0, kCellSpeedBoards},
      {kCellMountainMarker, 0, kCellSpeedBoards},
      {kCellIndicationBoard, 21, kCellIndicationBoard},
      {kCellSpeedBoards, 21, kCellSpeedBoards},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.before));
    Form1 f;
    f.CreateTrack(1000);
    f.TrackCells[21].cellType = c.before;
    f.TrackCells[21].value1 = 99;
    PlaceBoards(f, 1000, {60, 70, 50, 1, 60, 70, 50, 2});
    EXPECT_EQ(f.ErrorCode, c.code);
    EXPECT_EQ(f.TrackCells[21].cellType, c.after);
    EXPECT_EQ(f.TrackCells[21].value1, c.code == 0 ? 1212 : 99);
    EXPECT_EQ(f.TrackCells[21].value4, c.code == 0 ? 12 : 0);
  }
}

// A refusal is reported through ErrorCode only: the reader that calls it sets the position.
TEST(SpeedBoards, RefusalLeavesErrorPositionToTheCaller) {
  Form1 f;
  f.CreateTrack(1000);
  f.TrackCells[21].cellType = kCellIndicationBoard;
  f.ErrorPosition = -4242;
  PlaceBoards(f, 1000, {60, 70, 50, 1, 60, 70, 50, 2});
  EXPECT_EQ(f.ErrorCode, 21);
  EXPECT_EQ(f.ErrorPosition, -4242);
}

}  // namespace
}  // namespace sb
