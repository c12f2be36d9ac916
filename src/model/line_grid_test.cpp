#include "model/line_grid.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace sb {
namespace {

struct StepRun {
  int32_t first, last;
  double c;
};

// The plan laid out point by point, each point from the two before it, as the line is
// walked metre by metre.
std::vector<Variant> WalkedPoints(int32_t last_point, const std::vector<StepRun>& runs) {
  const size_t n = static_cast<size_t>(last_point) + 1;
  std::vector<Variant> v(2 * n);
  v[0] = Variant::Integer(0);
  v[n] = Variant::Integer(0);
  v[1] = Variant::Integer(0);
  v[n + 1] = Variant::Integer(1);
  for (const StepRun& r : runs) {
    for (int32_t i = r.first; i <= r.last; ++i) {
      size_t k = static_cast<size_t>(i);
      double x1 = v[k - 1].AsDouble(), y1 = v[n + k - 1].AsDouble();
      double dx = x1 - v[k - 2].AsDouble(), dy = y1 - v[n + k - 2].AsDouble();
      if (r.c != 0.0) {
        double nx = dx + r.c * dy;
        double ny = dy - r.c * dx;
        v[k] = Variant::Double(x1 + nx);
        v[n + k] = Variant::Double(y1 + ny);
      } else {
        v[k] = Variant::Double(x1 + dx);
        v[n + k] = Variant::Double(y1 + dy);
      }
    }
  }
  return v;
}

LineGrid Plan(int32_t last_point, const std::vector<StepRun>& runs) {
  LineGrid g;
  g.Create(last_point);
  g.Start(Variant::Integer(0), Variant::Integer(0), Variant::Integer(0), Variant::Integer(1));
  for (const StepRun& r : runs) g.Steps(r.first, r.last, r.c);
  return g;
}

std::vector<Variant> Walk(const LineGrid& g) {
  std::vector<Variant> out;
  g.ForEachElement([&](const Variant& v) { out.push_back(v); });
  return out;
}

// Same tags and bit for bit the same payloads.
void ExpectSame(const std::vector<Variant>& a, const std::vector<Variant>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t k = 0; k < a.size(); ++k) {
    ASSERT_EQ(a[k].tag, b[k].tag) << "element " << k;
    if (a[k].tag == Variant::kInteger) {
      ASSERT_EQ(a[k].i, b[k].i) << "element " << k;
    }
    if (a[k].tag == Variant::kDouble) {
      ASSERT_EQ(std::memcmp(&a[k].d, &b[k].d, sizeof(double)), 0) << "element " << k;
    }
  }
}

const std::vector<StepRun> kCurvyLine = {
    {2, 300, 0.0},    {301, 900, 0.003},  {901, 950, 0.0},   {951, 1500, -0.0004},
    {1501, 1501, 0.0}, {1502, 2500, -0.0004}, {2501, 4000, 0.001}, {4001, 4500, 0.0}, {4501, 4997, 0.0}};

TEST(LineGrid, PlanGivesThePointsOfTheMetreByMetreWalk) {
  const LineGrid g = Plan(4999, kCurvyLine);
  const std::vector<Variant> walked = WalkedPoints(4999, kCurvyLine);
  ExpectSame(Walk(g), walked);
  // Metres 4998 and 4999 were never stepped.
  EXPECT_EQ(walked[4998].tag, Variant::kEmpty);
  EXPECT_EQ(walked[5000 + 4999].tag, Variant::kEmpty);
  ExpectSame(g.Values(), walked);  // laid out
  ExpectSame(Walk(g), walked);     // and walked from the laid-out grid
}

TEST(LineGrid, PointsByIndexAndTagCounts) {
  LineGrid g = Plan(4999, kCurvyLine);
  LineGrid::TagCounts n = g.CountTags();
  EXPECT_EQ(n.integer, 4u);
  EXPECT_EQ(n.real, 2u * 4996);
  EXPECT_EQ(n.empty, 4u);
  const std::vector<Variant> walked = WalkedPoints(4999, kCurvyLine);
  EXPECT_EQ(g.At(1, 1).i, 1);
  EXPECT_EQ(g.At(2500, 0).d, walked[2500].d);
  EXPECT_EQ(g.At(2500, 1).d, walked[5000 + 2500].d);
  n = g.CountTags();  // now counted on the laid-out grid
  EXPECT_EQ(n.integer, 4u);
  EXPECT_EQ(n.real, 2u * 4996);
  EXPECT_EQ(n.empty, 4u);
}

TEST(LineGrid, StepsAfterAPointWasChangedStartFromTheChangedPoint) {
  LineGrid g = Plan(99, {{2, 50, 0.0}});
  g.At(50, 0) = Variant::Double(7.0);  // the walk goes on from here
  g.Steps(51, 60, 0.001);
  std::vector<Variant> walked = WalkedPoints(99, {{2, 50, 0.0}});
  walked[50] = Variant::Double(7.0);
  // Continue the reference walk by hand from the changed point.
  for (int32_t i = 51; i <= 60; ++i) {
    double x1 = walked[i - 1].AsDouble(), y1 = walked[100 + i - 1].AsDouble();
    double dx = x1 - walked[i - 2].AsDouble(), dy = y1 - walked[100 + i - 2].AsDouble();
    walked[i] = Variant::Double(x1 + (dx + 0.001 * dy));
    walked[100 + i] = Variant::Double(y1 + (dy - 0.001 * dx));
  }
  ExpectSame(Walk(g), walked);
}

TEST(LineGrid, StepsStayWithinTheGrid) {
  LineGrid g = Plan(9, {{0, 20, 0.001}});  // points 2 to 9 only
  ExpectSame(Walk(g), WalkedPoints(9, {{2, 9, 0.001}}));
  EXPECT_EQ(g.CountTags().real, 16u);
  g.Steps(10, 12, 0.0);  // nothing left to step
  ExpectSame(Walk(g), WalkedPoints(9, {{2, 9, 0.001}}));
  ExpectSame(g.Values(), WalkedPoints(9, {{2, 9, 0.001}}));
}

TEST(LineGrid, EmptyCreatedAndCleared) {
  LineGrid g;
  EXPECT_FALSE(g.Exists());
  EXPECT_TRUE(Walk(g).empty());
  g.Create(3);
  EXPECT_TRUE(g.Exists());
  EXPECT_EQ(g.LastPoint(), 3);
  std::vector<Variant> all = Walk(g);
  ASSERT_EQ(all.size(), 8u);
  for (const Variant& v : all) EXPECT_EQ(v.tag, Variant::kEmpty);
  EXPECT_EQ(g.CountTags().empty, 8u);
  g.At(3, 1) = Variant::Integer(5);
  g.Clear();
  EXPECT_FALSE(g.Exists());
  EXPECT_EQ(g.LastPoint(), -1);
  EXPECT_TRUE(g.Values().empty());
}

}  // namespace
}  // namespace sb
