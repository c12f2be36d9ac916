#include "compiler/cell_pass.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace sb {
namespace {

constexpr uint8_t kS = kCellSignal;
constexpr uint8_t kE = kCellSlowdownEnd;
constexpr uint8_t kSt = kCellSlowdownStart;
constexpr uint8_t kW = kCellSlowdownWarning;
constexpr uint8_t kM = kCellMountainMarker;
constexpr uint8_t kL = kCellLimitMarker;
constexpr uint8_t kX = kCellCodeReduction;  // an item that occupies its cell

struct Item {
  int cell;
  uint8_t type;
  int16_t value1 = 0;
};

struct Case {
  const char* what;
  std::vector<Item> items;
  std::map<int, int16_t> limits;  // every limit marker after the pass, with its speed
  int32_t code = 0;
  int32_t position = 0;
};

// Track of a 3000 m route: cells 0 to 200.
Form1 Track(const std::vector<Item>& items) {
  Form1 f;
  f.CreateTrack(3000);
  EXPECT_EQ(f.CellCount, 200);
  for (TrackCell& c : f.TrackCells) {
    c.speedLimit = 36;
    c.gradient = 100;
    c.adhesion = 90;
  }
  for (const Item& it : items) {
    TrackCell& c = f.TrackCells[static_cast<size_t>(it.cell)];
    c.cellType = it.type;
    c.value1 = it.value1;
    c.value2 = 7;
    if (it.type == kM) c.mountain = 12;
  }
  return f;
}

std::string Describe(const TrackCell& c) {
  return "type " + std::to_string(c.cellType) + " v " + std::to_string(c.value1) + "," +
         std::to_string(c.value2) + "," + std::to_string(c.value3) + "," + std::to_string(c.value4) +
         "," + std::to_string(c.value5) + " approach " + std::to_string(c.approachMark) +
         " mountain " + std::to_string(c.mountain) + " speed " + std::to_string(c.speedLimit) +
         " gradient " + std::to_string(c.gradient) + " adhesion " + std::to_string(c.adhesion);
}

void Check(const Case& c) {
  SCOPED_TRACE(c.what);
  Form1 before = Track(c.items);
  Form1 f = Track(c.items);
  RunCellPass(f);

  std::map<int, int16_t> limits;
  for (int k = 0; k <= f.CellCount; ++k)
    if (f.TrackCells[k].cellType == kL) limits[k] = f.TrackCells[k].value1;
  EXPECT_EQ(limits, c.limits);

  // Marking sets the type and the speed of a cell; nothing else changes anywhere.
  for (int k = 0; k <= f.CellCount; ++k) {
    TrackCell expected = before.TrackCells[k];
    if (c.limits.count(k)) {
      expected.cellType = kL;
      expected.value1 = c.limits.at(k);
    }
    EXPECT_EQ(Describe(f.TrackCells[k]), Describe(expected)) << "cell " << k;
  }
  EXPECT_EQ(f.ErrorCode, c.code);
  EXPECT_EQ(f.ErrorPosition, c.position);
}

// Rule 1: a warning point in cell 50, signals before it.
TEST(CellPass, WarningPointMarksBeforeSignals) {
  const Case cases[] = {
      {"free cell before the signal", {{50, kW, 60}, {45, kS}}, {{44, 180}}},
      {"cell before taken: the one before that", {{50, kW, 60}, {45, kS}, {44, kX}}, {{43, 180}}},
      {"a mountain marker is free", {{50, kW, 60}, {45, kS}, {44, kM}}, {{44, 180}}},
      {"marker of 250 with no free cell: lowered to 180",
       {{50, kW, 60}, {45, kS}, {44, kL, 250}, {43, kX}}, {{44, 180}}},
      {"marker of 120 with no free cell: kept",
       {{50, kW, 60}, {45, kS}, {44, kL, 120}, {43, kX}}, {{44, 120}}},
      {"marker before the signal, free cell behind it: that cell marked, marker left",
       {{50, kW, 60}, {45, kS}, {44, kL, 250}}, {{44, 250}, {43, 180}}},
      {"second cell a marker of 250: lowered",
       {{50, kW, 60}, {45, kS}, {44, kX}, {43, kL, 250}}, {{43, 180}}},
      {"no room: fault 11 at the signal's cell x 50",
       {{50, kW, 60}, {45, kS}, {44, kX}, {43, kX}}, {}, 11, 45 * 50},
      {"every signal of the 20 cells", {{50, kW, 60}, {45, kS}, {40, kS}}, {{44, 180}, {39, 180}}},
      {"signal 20 cells back", {{50, kW, 60}, {30, kS}}, {{29, 180}}},
      {"signal 21 cells back: not considered", {{50, kW, 60}, {29, kS}}, {}},
      {"signal after the warning point: not considered", {{50, kW, 60}, {55, kS}}, {}},
      {"signal in cell 3", {{10, kW, 60}, {3, kS}}, {{2, 180}}},
      {"signal in cell 2: never considered", {{10, kW, 60}, {2, kS}}, {}},
      {"warning point in cell CellCount - 2", {{198, kW, 60}, {195, kS}}, {{194, 180}}},
      {"warning point in cell CellCount - 1: never the current cell", {{199, kW, 60}, {195, kS}}, {}},
  };
  for (const Case& c : cases) Check(c);
}

// Rule 2a: windows (5, 6, 7), (11, 12, 13), (18, 19, 20) before a start at 150 km/h.
TEST(CellPass, WindowsBeforeSlowdownStart) {
  const Case cases[] = {
      {"start in cell 7: no window", {{7, kSt, 150}}, {}},
      {"start in cell 8: first window only", {{8, kSt, 150}}, {{3, 180}}},
      {"start in cell 13: first window only", {{13, kSt, 150}}, {{8, 180}}},
      {"start in cell 14: two windows", {{14, kSt, 150}}, {{9, 180}, {3, 180}}},
      {"start in cell 20: two windows", {{20, kSt, 150}}, {{15, 180}, {9, 180}}},
      {"start in cell 21: three windows", {{21, kSt, 150}}, {{16, 180}, {10, 180}, {3, 180}}},
      {"all free", {{100, kSt, 150}}, {{95, 180}, {89, 180}, {82, 180}}},
      {"i - 5 taken", {{100, kSt, 150}, {95, kX}}, {{94, 180}, {89, 180}, {82, 180}}},
      {"a limit marker does not satisfy the window", {{100, kSt, 150}, {95, kL, 250}},
       {{95, 250}, {94, 180}, {89, 180}, {82, 180}}},
      {"a mountain marker is free", {{100, kSt, 150}, {95, kM}}, {{95, 180}, {89, 180}, {82, 180}}},
      {"window full: fault 12 at the start's cell x 50",
       {{100, kSt, 150}, {95, kX}, {94, kX}, {93, kL, 250}},
       {{93, 250}, {89, 180}, {82, 180}}, 12, 100 * 50},
      {"start in cell CellCount - 1: never the current cell", {{199, kSt, 150}}, {}},
  };
  for (const Case& c : cases) Check(c);
}

// Rules 2b and 2c: a slowdown from cell 100 to cell 130.
TEST(CellPass, StretchThroughSlowSlowdown) {
  const std::map<int, int16_t> windows = {{95, 180}, {89, 180}, {82, 180}};
  auto with = [&](std::map<int, int16_t> more) {
    more.insert(windows.begin(), windows.end());
    return more;
  };
  const Case cases[] = {
      {"60 km/h: every 8 cells", {{100, kSt, 60}, {130, kE, 60}},
       with({{108, 180}, {116, 180}, {124, 180}})},
      {"109 km/h: every 8 cells", {{100, kSt, 109}, {130, kE, 109}},
       with({{108, 180}, {116, 180}, {124, 180}})},
      {"exactly 110 km/h: no stretch", {{100, kSt, 110}, {130, kE, 110}}, windows},
      {"cell 124 taken: 123", {{100, kSt, 60}, {130, kE, 60}, {124, kX}},
       with({{108, 180}, {116, 180}, {123, 180}})},
      {"cells 123 and 124 taken: 125", {{100, kSt, 60}, {130, kE, 60}, {124, kX}, {123, kX}},
       with({{108, 180}, {116, 180}, {125, 180}})},
      {"cell 124 taken, 123 marked: the count restarts from 1",
       {{100, kSt, 60}, {160, kE, 60}, {124, kX}},
       with({{108, 180}, {116, 180}, {123, 180}, {131, 180}, {139, 180}, {147, 180}, {155, 180}})},
      {"cell 123 to 125 taken: fault 13 at 124 x 50, no further marker",
       {{100, kSt, 60}, {160, kE, 60}, {123, kX}, {124, kX}, {125, kX}},
       with({{108, 180}, {116, 180}}), 13, 124 * 50},
      {"end in the eighth cell: marker beside it", {{100, kSt, 60}, {108, kE, 60}},
       with({{107, 180}})},
      {"no end: the stretch stops at the last cell without a fault", {{180, kSt, 60}},
       {{175, 180}, {169, 180}, {162, 180}, {188, 180}, {196, 180}}},
      {"no end, eighth cell is the last cell", {{192, kSt, 60}},
       {{187, 180}, {181, 180}, {174, 180}, {200, 180}}},
      {"no end, last two cells taken: the cell past the track is not free",
       {{192, kSt, 60}, {200, kX}, {199, kX}},
       {{187, 180}, {181, 180}, {174, 180}}, 13, 200 * 50},
  };
  for (const Case& c : cases) Check(c);
}

TEST(CellPass, FirstSignalAfterSlowSlowdown) {
  const std::map<int, int16_t> base = {{95, 180}, {89, 180}, {82, 180},
                                       {108, 180}, {116, 180}, {124, 180}};
  auto with = [&](std::map<int, int16_t> more) {
    more.insert(base.begin(), base.end());
    return more;
  };
  const Case cases[] = {
      {"signal 5 cells after the end", {{100, kSt, 60}, {130, kE, 60}, {135, kS}}, with({{134, 180}})},
      {"signal 12 cells after the end", {{100, kSt, 60}, {130, kE, 60}, {142, kS}}, with({{141, 180}})},
      {"signal 13 cells after the end: not searched", {{100, kSt, 60}, {130, kE, 60}, {143, kS}}, base},
      {"only the first signal", {{100, kSt, 60}, {130, kE, 60}, {133, kS}, {136, kS}},
       with({{132, 180}})},
      {"signal next to the end: the end cell is taken, the one before is marked",
       {{100, kSt, 60}, {130, kE, 60}, {131, kS}}, with({{129, 180}})},
      {"cell before the signal taken", {{100, kSt, 60}, {130, kE, 60}, {135, kS}, {134, kX}},
       with({{133, 180}})},
      {"no room: fault 13 at the end cell x 50",
       {{100, kSt, 60}, {130, kE, 60}, {135, kS}, {134, kX}, {133, kX}}, base, 13, 130 * 50},
      {"110 km/h: no marker before the signal after the end",
       {{100, kSt, 110}, {130, kE, 110}, {135, kS}}, {{95, 180}, {89, 180}, {82, 180}}},
      {"a later warning point sees the marker placed before the signal",
       {{100, kSt, 60}, {130, kE, 60}, {135, kS}, {150, kW, 60}}, with({{134, 180}, {133, 180}})},
  };
  for (const Case& c : cases) Check(c);
}

TEST(CellPass, LastFaultWins) {
  const Case cases[] = {
      {"two faults 12, then a fault 11",
       {{30, kSt, 150}, {25, kX}, {24, kX}, {23, kX},
        {60, kSt, 150}, {55, kX}, {54, kX}, {53, kX},
        {90, kW, 60}, {85, kS}, {84, kX}, {83, kX}},
       {{19, 180}, {12, 180}, {49, 180}, {42, 180}}, 11, 85 * 50},
      {"a fault 11, then a fault 12",
       {{20, kW, 60}, {15, kS}, {14, kX}, {13, kX},
        {60, kSt, 150}, {55, kX}, {54, kX}, {53, kX}},
       {{49, 180}, {42, 180}}, 12, 60 * 50},
  };
  for (const Case& c : cases) Check(c);
}

TEST(Minimo, SmallerOfTheTwoAndXOnATie) {
  const Variant a = minimo(Variant::Integer(180), Variant::Integer(250));
  EXPECT_EQ(a.tag, Variant::kInteger);
  EXPECT_EQ(a.i, 180);
  EXPECT_EQ(minimo(Variant::Integer(180), Variant::Integer(120)).i, 120);
  const Variant tie = minimo(Variant::Integer(180), Variant::Double(180.0));
  EXPECT_EQ(tie.tag, Variant::kInteger);
  const Variant d = minimo(Variant::Integer(180), Variant::Double(179.5));
  EXPECT_EQ(d.tag, Variant::kDouble);
  EXPECT_EQ(d.d, 179.5);
}

}  // namespace
}  // namespace sb
