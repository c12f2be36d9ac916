#include "authoring/view_page.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>

namespace sb {
namespace {

TEST(ViewPage, DataStaysInsideItsScriptElementAndReadsBack) {
  LineScene sc;
  sc.title = "A </script> B";
  sc.length = 1000;
  sc.items.push_back(SceneItem{SceneKind::kIndicationBoard, 500, 500, 11, {SourceFile::kRoute, 7},
                               false, "</script><b>", "board"});
  sc.speed.push_back(SceneRun{0, 1000, 80});
  ViewSources src{"/d/r_linea.txt", "/d/r_1-.txt", {{7, "cartello_indicatore, 500, x"}}, {}};
  const std::string json = ViewDataJson(sc, src);
  EXPECT_EQ(json.find("</"), std::string::npos);
  const nlohmann::json d = nlohmann::json::parse(json);
  EXPECT_EQ(d["title"], "A </script> B");
  EXPECT_EQ(d["items"][0]["l"], "</script><b>");
  EXPECT_EQ(d["items"][0]["s"], nlohmann::json::array({0, 7}));
  EXPECT_EQ(d["lines"][0]["7"], "cartello_indicatore, 500, x");
  EXPECT_EQ(d["speed"], nlohmann::json::array({0, 1000, 80}));
  EXPECT_TRUE(d["plan"].empty());

  const std::string page = ViewPageHtml(json, "A & B", false);
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(page.find("<title>A &amp; B</title>"), std::string::npos);
  EXPECT_NE(page.find("const SB_LIVE = false;"), std::string::npos);
  // Self-contained: nothing is loaded from elsewhere.
  EXPECT_EQ(page.find("src=\""), std::string::npos);
  EXPECT_EQ(page.find("http://"), std::string::npos);
  EXPECT_EQ(page.find("https://"), std::string::npos);
}

TEST(ViewPage, PlanLevelsGetCoarserAndKeepTheirBound) {
  // 50 km of alternating arcs of radius 500 m.
  ScenePlan plan;
  double x = 0, y = 0, heading = 0;
  for (int m = 0; m <= 50000; ++m) {
    plan.x.push_back(x);
    plan.y.push_back(y);
    heading += ((m / 2000) % 2 ? 1 : -1) / 500.0;
    x += std::sin(heading);
    y += std::cos(heading);
  }
  const std::vector<PlanLevel> levels = PlanLevels(plan);
  ASSERT_GE(levels.size(), 4u);
  for (size_t k = 0; k < levels.size(); ++k) {
    const PlanLevel& l = levels[k];
    EXPECT_EQ(l.points.front(), 0);
    EXPECT_EQ(l.points.back(), 50000);
    if (k > 0) {
      EXPECT_LT(l.points.size(), levels[k - 1].points.size());
      EXPECT_GT(l.tolerance, levels[k - 1].tolerance);
    }
    // Every point lies within the bound of its chord.
    for (size_t i = 1; i < l.points.size(); ++i) {
      const int32_t a = l.points[i - 1], b = l.points[i];
      const double dx = plan.x[b] - plan.x[a], dy = plan.y[b] - plan.y[a];
      const double len = std::hypot(dx, dy);
      for (int32_t m = a + 1; m < b; m += 7) {
        const double d = std::abs((plan.x[m] - plan.x[a]) * dy - (plan.y[m] - plan.y[a]) * dx) / len;
        ASSERT_LE(d, l.tolerance) << "level " << k << " metre " << m;
      }
    }
  }
  EXPECT_LE(levels.back().points.size(), 300u);
  EXPECT_LT(levels.front().points.size(), 50001u / 10);
}

TEST(ViewPage, QuoteLinesTakesTheWantedLinesInUtf8) {
  const std::string text = "uno\r\ndue \xE0\r\ntre\r\n";
  const auto lines = QuoteLines(text, {3, 2, 2, 9});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines.at(2), "due \xC3\xA0");
  EXPECT_EQ(lines.at(3), "tre");
  EXPECT_EQ(QuoteLines(std::string(500, 'x'), {1}).at(1).size(), 164u);  // cut, " ..." added
}

}  // namespace
}  // namespace sb
