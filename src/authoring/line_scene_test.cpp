#include "authoring/line_scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "compiler/compile.h"
#include "test_support.h"

namespace sb {
namespace {

// A line of 20 km with a curve, two stations, a signal, a slowdown (whose limit markers the
// cell pass adds), a code reduction with a speed, speed boards and an indication board.
LineScene CompiledScene(testing::MemoryScenario& s) {
  s.Put(ScenarioFile::kRouteSource,
        testing::Route(20000, {"curvad4, 3000, 1500", "pendenza, 8000, -3",
                               "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2",
                               "cartello_indicatore, 6000, AVVISO"}));
  s.Put(ScenarioFile::kTrainSource,
        testing::Train({"velocita, 0, 100", "aderenza, 0, 90",
                        "stazione, 0, 8, 1000, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, ALFA",
                        "stazione, 15000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 30, 0, BETA",
                        "segnale, 5000, 2,4,1, 1, 0, 2, 2,1,1, 0",
                        "rallentamento, 9000, 60, 1000, 0, 1, 0",
                        "abbattimento, 13000, 80"}));
  int32_t j = 1;
  s.form.run.deleteSources = false;
  memorizza_percorso(s.form, j, BinaryFiles::kNone);
  static std::vector<StationRecord> rows;
  rows.assign(s.form.StationTable.begin(), s.form.StationTable.end());
  SceneInput in{"t", &s.form.TrackCells, &rows, nullptr, &s.form.Grid, &s.form.run.cellSource,
                &s.form.run.diag.faults};
  return BuildScene(in);
}

const SceneItem* First(const LineScene& sc, SceneKind k) {
  for (const SceneItem& it : sc.items)
    if (it.kind == k) return &it;
  return nullptr;
}

TEST(LineScene, ItemsInWordsWithTheirLinesAndWhatTheCompilerAdded) {
  testing::MemoryScenario s;
  const LineScene sc = CompiledScene(s);
  ASSERT_TRUE(s.form.run.diag.faults.empty()) << s.form.run.diag.faults[0].message;
  EXPECT_EQ(sc.length, 20000);
  ASSERT_EQ(sc.stations.size(), 2u);
  EXPECT_EQ(sc.stations[1].name, "BETA");
  EXPECT_EQ(sc.stations[1].source.file, SourceFile::kTrain);
  EXPECT_FALSE(sc.stations[1].stops.empty());

  const SceneItem* signal = First(sc, SceneKind::kSignal);
  ASSERT_NE(signal, nullptr);
  EXPECT_EQ(signal->position, 5000);
  EXPECT_EQ(signal->source.file, SourceFile::kTrain);
  EXPECT_EQ(signal->source.line, 6);  // "[generale]" is line 1
  EXPECT_EQ(signal->words.rfind("signal in cell 101 (5000 m): aspect codes", 0), 0u) << signal->words;

  const SceneItem* slow = First(sc, SceneKind::kSlowdown);
  ASSERT_NE(slow, nullptr);
  EXPECT_EQ(slow->position, 9000);
  EXPECT_EQ(slow->end, 10000);
  EXPECT_EQ(slow->label, "60");
  ASSERT_NE(First(sc, SceneKind::kSlowdownWarning), nullptr);
  EXPECT_EQ(First(sc, SceneKind::kSlowdownWarning)->position, 7800);

  // Limit markers: those of the cell pass have no line and are told as added; the one of
  // the code reduction line is not.
  int added = 0, from_text = 0;
  for (const SceneItem& it : sc.items) {
    if (it.kind != SceneKind::kLimitMarker) continue;
    if (it.added) {
      ++added;
      EXPECT_EQ(it.source.file, SourceFile::kNone);
      EXPECT_NE(it.words.find("added by the compiler"), std::string::npos);
    } else {
      ++from_text;
      EXPECT_EQ(it.position, 12950);  // a code reduction takes cell p / 50
      EXPECT_EQ(it.source.line, 8);
    }
  }
  EXPECT_GT(added, 0);
  EXPECT_EQ(from_text, 1);

  const SceneItem* boards = First(sc, SceneKind::kSpeedBoards);
  ASSERT_NE(boards, nullptr);
  EXPECT_EQ(boards->label, "60, 70, 50 | 60, 70, 50");
  EXPECT_NE(boards->words.find("1 stripes; right board 60, 70, 50 km/h, 2 stripes"), std::string::npos);
  EXPECT_EQ(boards->source.file, SourceFile::kRoute);
  const SceneItem* board = First(sc, SceneKind::kIndicationBoard);
  ASSERT_NE(board, nullptr);
  EXPECT_EQ(board->label, "AVVISO");

  // Runs end with the route, not 7000 m later; the plan too.
  EXPECT_EQ(sc.speed.back().to, 20000);
  EXPECT_EQ(sc.speed.front().value, 100);
  EXPECT_EQ(sc.adhesion.front().value, 90);
  EXPECT_EQ(sc.gradient.back().value, -3);
  EXPECT_EQ(sc.plan.x.size(), 20001u);
  EXPECT_TRUE(std::is_sorted(sc.items.begin(), sc.items.end(),
                             [](const SceneItem& a, const SceneItem& b) { return a.position < b.position; }));
}

TEST(LineScene, FaultsKeepTheirPositionAndLine) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(20000));
  s.Put(ScenarioFile::kTrainSource,
        testing::Train({"segnale, 2000, 2,4,1, 1, 0, 2, 2,1,1, 0", "segnale, 2000, 2,4,1, 1, 0, 2, 2,1,1, 0"}));
  int32_t j = 1;
  s.form.run.deleteSources = false;
  memorizza_percorso(s.form, j, BinaryFiles::kNone);
  std::vector<StationRecord> rows(s.form.StationTable.begin(), s.form.StationTable.end());
  SceneInput in{"t", &s.form.TrackCells, &rows, nullptr, &s.form.Grid, &s.form.run.cellSource,
                &s.form.run.diag.faults};
  const LineScene sc = BuildScene(in);
  ASSERT_EQ(sc.faults.size(), 1u);
  EXPECT_EQ(sc.faults[0].code, 16);
  EXPECT_EQ(sc.faults[0].position, 2000);
  EXPECT_EQ(sc.faults[0].source.line, 3);
}

TEST(SimplifyPlan, KeepsEveryPointWithinTheTolerance) {
  // A straight line keeps its ends; an arc of radius 300 m keeps what its tolerance needs.
  std::vector<double> xs, ys;
  for (int m = 0; m <= 1000; ++m) {
    xs.push_back(0);
    ys.push_back(m);
  }
  std::vector<int32_t> all(xs.size());
  std::iota(all.begin(), all.end(), 0);
  EXPECT_EQ(SimplifyPlan(xs, ys, all, 0.1), (std::vector<int32_t>{0, 1000}));

  xs.clear();
  ys.clear();
  for (int m = 0; m <= 900; ++m) {
    xs.push_back(300 * std::cos(m / 300.0));
    ys.push_back(300 * std::sin(m / 300.0));
  }
  all.resize(xs.size());
  std::iota(all.begin(), all.end(), 0);
  for (double tol : {0.1, 1.0, 10.0}) {
    const std::vector<int32_t> kept = SimplifyPlan(xs, ys, all, tol);
    EXPECT_EQ(kept.front(), 0);
    EXPECT_EQ(kept.back(), 900);
    // Sagitta of a chord of length s on radius r: s^2 / 8r; every chord needs it <= tol.
    for (size_t i = 1; i < kept.size(); ++i) {
      const double s = kept[i] - kept[i - 1];
      EXPECT_LE(s * s / 2400, tol * 1.01) << tol;
    }
    // And not many more than the fewest chords that would do.
    EXPECT_LT(static_cast<double>(kept.size()), 2 * 900 / std::sqrt(2400 * tol) + 3) << tol;
  }
}

}  // namespace
}  // namespace sb
