// Signals and temporary slowdowns on the track cells.
#include <gtest/gtest.h>

#include "readers/track_items.h"

namespace sb {
namespace {

class TrackItems : public ::testing::Test {
 protected:
  void SetUp() override { f.CreateTrack(10000); }  // cells 0 to 340
  void Signal(int32_t pos, int32_t sx, int32_t s1, int32_t s2, int32_t s3, int32_t rapp, int32_t dx, int32_t d1,
               int32_t d2, int32_t d3, int32_t tempo) {
    memo_segnale(f, pos, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo, SourceRef{});
  }
  void Slowdown(int32_t pos, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta, int32_t d_v) {
    memo_rallentamento(f, pos, v, l, f_tt, f_ta, d_v, SourceRef{});
  }
  TrackCell& Cell(int k) { return f.TrackCells.at(static_cast<size_t>(k)); }
  std::vector<int> CellsOfType(uint8_t type) const {
    std::vector<int> v;
    for (int k = 0; k <= f.CellCount; ++k)
      if (f.TrackCells[static_cast<size_t>(k)].cellType == type) v.push_back(k);
    return v;
  }
  Form1 f;
};

// --- Signals ------------------------------------------------------------------------------

TEST_F(TrackItems, SignalOfTheBuiltInTrain) {
  Signal(8000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);
  EXPECT_EQ(f.ErrorCode, 0);
  const TrackCell& c = Cell(161);
  EXPECT_EQ(c.cellType, kCellSignal);
  EXPECT_EQ(c.value1, 42);
  EXPECT_EQ(c.value2, 11);
  EXPECT_EQ(c.value3, 11);
  EXPECT_EQ(c.value4, 8);
  EXPECT_EQ(c.value5, 0);
  EXPECT_EQ(Cell(159).approachMark, 81);
  EXPECT_EQ(Cell(157).approachMark, 82);
  EXPECT_EQ(Cell(155).approachMark, 83);
  EXPECT_EQ(Cell(153).approachMark, 84);
  for (int k : {152, 154, 156, 158, 160, 161}) EXPECT_EQ(Cell(k).approachMark, 0) << "cell " << k;
}

TEST_F(TrackItems, SignalCodesWaitingTimeAndMarks) {
  const struct {
    int32_t sx, dx, rapp, tempo;
    int16_t value4;
    uint8_t value5;
    uint8_t first_mark;  // mark of the cell 100 m before; the next ones follow by 1
  } cases[] = {
      {2, 2, 0, 30, 8, 101, 81},   {2, 2, 0, 0, 8, 0, 81},     {2, 2, 0, 150, 8, 150, 81},
      {2, 2, 0, 1, 8, 101, 81},    {2, 2, 0, 100, 8, 101, 81}, {2, 2, 0, 101, 8, 101, 81},
      {2, 2, 0, 300, 8, 44, 81},   // low 8 bits
      {2, 2, 0, -5, 8, 251, 81},   // outside 1 to 100: stays, low 8 bits
      {1, 2, 0, 30, 5, 0, 51},     {1, 2, 3, 150, 35, 0, 51},  {0, 3, 1, 50, 13, 0, 31},
      {9, 9, 0, 0, 36, 0, 105},    // 9 x 30 + 9 x 10 + 1 = 361, low 8 bits 105
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("sx " + std::to_string(c.sx) + " dx " + std::to_string(c.dx) + " rapp " + std::to_string(c.rapp) +
                 " tempo " + std::to_string(c.tempo));
    f = Form1();
    f.CreateTrack(10000);
    Signal(8000, c.sx, 4, 1, 1, c.rapp, c.dx, 2, 1, 1, c.tempo);
    EXPECT_EQ(Cell(161).value4, c.value4);
    EXPECT_EQ(Cell(161).value5, c.value5);
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(Cell(161 - 2 * k).approachMark, c.first_mark + k - 1);
  }
}

TEST_F(TrackItems, SignalValuesKeepTheLow16Bits) {
  Signal(8000, 2, 4000, -4000, 3276, 0, 2, 0, 0, 8, 0);
  EXPECT_EQ(Cell(161).value1, -25536);
  EXPECT_EQ(Cell(161).value2, 25536);
  EXPECT_EQ(Cell(161).value3, -32768);
}

TEST_F(TrackItems, SignalCellRoundsHalfToEven) {
  Signal(8025, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);  // 161.5 -> 162
  Signal(8175, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);  // 164.5 -> 164
  EXPECT_EQ(CellsOfType(kCellSignal), (std::vector<int>{162, 164}));
}

TEST_F(TrackItems, SignalCells) {
  // A mountain marker gives way.
  Cell(161).cellType = kCellMountainMarker;
  Signal(8000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(Cell(161).cellType, kCellSignal);
  // A second signal in the same cell is refused and writes nothing.
  Cell(201 - 2).approachMark = 7;
  Cell(201).cellType = kCellStationStop;
  Cell(201).value1 = 3;
  Signal(10000, 1, 9, 9, 9, 9, 1, 9, 9, 9, 50);
  EXPECT_EQ(f.ErrorCode, 16);
  EXPECT_EQ(Cell(201).cellType, kCellStationStop);
  EXPECT_EQ(Cell(201).value1, 3);
  EXPECT_EQ(Cell(199).approachMark, 7);
  f.ErrorCode = 0;
  Signal(8010, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);  // cell 161 again
  EXPECT_EQ(f.ErrorCode, 16);
}

TEST_F(TrackItems, SignalMarksOverwriteOnlyTheMark) {
  Cell(159).cellType = kCellStationStop;
  Cell(159).value1 = 4;
  Cell(159).approachMark = 83;
  Cell(159).speedLimit = 20;
  Signal(8000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);
  EXPECT_EQ(Cell(159).approachMark, 81);
  EXPECT_EQ(Cell(159).cellType, kCellStationStop);
  EXPECT_EQ(Cell(159).value1, 4);
  EXPECT_EQ(Cell(159).speedLimit, 20);
}

// --- Slowdowns ----------------------------------------------------------------------------

TEST_F(TrackItems, SlowdownWithPreAnnouncement) {
  for (int32_t d_v : {0, 12}) {
    SCOPED_TRACE("d_v " + std::to_string(d_v));
    f = Form1();
    f.CreateTrack(10000);
    for (int k = 0; k <= f.CellCount; ++k) Cell(k).value2 = 77;  // d_v 0 must leave these alone
    Slowdown(10000, 30, 500, 7, 1, d_v);
    EXPECT_EQ(f.ErrorCode, 0);
    const int16_t v2 = d_v != 0 ? 12 : 77;
    EXPECT_EQ(Cell(201).cellType, kCellSlowdownStart);
    EXPECT_EQ(Cell(211).cellType, kCellSlowdownEnd);
    for (int k : {201, 211}) {
      EXPECT_EQ(Cell(k).value1, 30);
      EXPECT_EQ(Cell(k).value2, v2);
      EXPECT_EQ(Cell(k).value3, 7);
    }
    EXPECT_EQ(Cell(177).cellType, kCellSlowdownWarning);
    EXPECT_EQ(Cell(177).value1, 30);
    EXPECT_EQ(Cell(177).value2, v2);
    EXPECT_EQ(Cell(177).value3, 0);
    for (int k = 0; k < 4; ++k) {
      const TrackCell& c = Cell(176 - k);
      EXPECT_EQ(c.cellType, kCellSlowdownPreannounce);
      EXPECT_EQ(c.value1, k + 1);
      EXPECT_EQ(c.value2, d_v != 0 ? k + 1 : 77);
    }
    EXPECT_EQ(CellsOfType(kCellSlowdownPreannounce), (std::vector<int>{173, 174, 175, 176}));
  }
}

TEST_F(TrackItems, SlowdownWithoutPreAnnouncement) {
  Slowdown(10000, 30, 500, 7, 0, 0);
  EXPECT_EQ(CellsOfType(kCellSlowdownWarning), std::vector<int>{177});
  EXPECT_TRUE(CellsOfType(kCellSlowdownPreannounce).empty());
}

TEST_F(TrackItems, WarningOnlyBeyond1500m) {
  Slowdown(1500, 60, 300, 0, 1, 0);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(CellsOfType(kCellSlowdownStart), std::vector<int>{31});
  EXPECT_EQ(CellsOfType(kCellSlowdownEnd), std::vector<int>{37});
  EXPECT_TRUE(CellsOfType(kCellSlowdownWarning).empty());
  EXPECT_TRUE(CellsOfType(kCellSlowdownPreannounce).empty());
  f = Form1();
  f.CreateTrack(10000);
  Slowdown(1550, 60, 300, 0, 1, 0);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(CellsOfType(kCellSlowdownWarning), std::vector<int>{8});
  EXPECT_EQ(CellsOfType(kCellSlowdownPreannounce), (std::vector<int>{4, 5, 6, 7}));
}

TEST_F(TrackItems, ShortSlowdowns) {
  Slowdown(10000, 30, 20, 7, 0, 0);  // start and end in cell 201: it ends as a start
  EXPECT_EQ(CellsOfType(kCellSlowdownStart), std::vector<int>{201});
  EXPECT_TRUE(CellsOfType(kCellSlowdownEnd).empty());
  EXPECT_EQ(Cell(201).value1, 30);
  EXPECT_EQ(Cell(201).value3, 7);
  f = Form1();
  f.CreateTrack(10000);
  Slowdown(10020, 30, 10, 7, 0, 0);  // 201.4 and 201.6: two cells, though under 25 m
  EXPECT_EQ(CellsOfType(kCellSlowdownStart), std::vector<int>{201});
  EXPECT_EQ(CellsOfType(kCellSlowdownEnd), std::vector<int>{202});
}

TEST_F(TrackItems, PreAnnouncementAtAnOddMultipleOf25) {
  // 8825 m before: warning in 177.5 -> 178, block from 176.5 -> 176 down: cell 177 stays empty.
  Slowdown(10025, 30, 500, 0, 1, 0);
  EXPECT_EQ(f.ErrorCode, 0);
  EXPECT_EQ(CellsOfType(kCellSlowdownWarning), std::vector<int>{178});
  EXPECT_EQ(CellsOfType(kCellSlowdownPreannounce), (std::vector<int>{173, 174, 175, 176}));
  EXPECT_EQ(Cell(177).cellType, kCellEmpty);
  // 8875 m: warning in 178.5 -> 178, block from 177.5 -> 178: it meets the warning cell.
  f = Form1();
  f.CreateTrack(10000);
  Slowdown(10075, 30, 500, 0, 1, 0);
  EXPECT_EQ(f.ErrorCode, 20);
  EXPECT_EQ(CellsOfType(kCellSlowdownWarning), std::vector<int>{178});
  EXPECT_TRUE(CellsOfType(kCellSlowdownPreannounce).empty());
}

TEST_F(TrackItems, RefusedSlowdowns) {
  const struct {
    const char* what;
    int taken;  // cell occupied beforehand
    int32_t code;
    bool steps_written;  // start, end and warning written before the refusal
  } cases[] = {
      {"warning cell", 177, 17, false},
      {"start cell", 201, 18, false},
      {"end cell", 211, 19, false},
      {"nearest pre-announcement cell", 176, 20, true},
      {"farthest pre-announcement cell", 173, 20, true},
      {"a mountain marker is free", -1, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    f = Form1();
    f.CreateTrack(10000);
    if (c.taken >= 0) Cell(c.taken).cellType = kCellSignal;
    if (c.taken < 0)
      for (int k : {174, 177, 201, 211}) Cell(k).cellType = kCellMountainMarker;
    Slowdown(10000, 30, 500, 7, 1, 5);
    EXPECT_EQ(f.ErrorCode, c.code);
    EXPECT_EQ(Cell(201).cellType == kCellSlowdownStart, c.steps_written);
    EXPECT_EQ(Cell(211).cellType == kCellSlowdownEnd, c.steps_written);
    EXPECT_EQ(Cell(177).cellType == kCellSlowdownWarning, c.steps_written);
    EXPECT_EQ(Cell(201).value1, c.steps_written ? 30 : 0);
    EXPECT_EQ(CellsOfType(kCellSlowdownPreannounce).size(), c.code == 0 ? 4u : 0u);
    if (c.taken >= 0) {
      EXPECT_EQ(Cell(c.taken).cellType, kCellSignal);
    }
  }
}

TEST_F(TrackItems, ErrorCodeIsNeverCleared) {
  f.ErrorCode = 15;
  Signal(8000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);
  Slowdown(10000, 30, 500, 7, 1, 0);
  EXPECT_EQ(f.ErrorCode, 15);
  EXPECT_EQ(Cell(161).cellType, kCellSignal);
  EXPECT_EQ(Cell(201).cellType, kCellSlowdownStart);
}

// A refusal is reported through ErrorCode only: the reader that calls them sets the position.
TEST_F(TrackItems, RefusalsLeaveErrorPositionToTheCaller) {
  Cell(161).cellType = kCellSignal;
  f.ErrorPosition = -4242;
  Signal(8000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0);
  EXPECT_EQ(f.ErrorCode, 16);
  EXPECT_EQ(f.ErrorPosition, -4242);
  Slowdown(10000, 30, 500, 0, 0, 0);
  Slowdown(10000, 30, 500, 0, 0, 0);
  EXPECT_EQ(f.ErrorCode, 17);
  EXPECT_EQ(f.ErrorPosition, -4242);
}

}  // namespace
}  // namespace sb
