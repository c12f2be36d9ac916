#include "authoring/plot_command.h"

#include <gtest/gtest.h>

#include "authoring/plot_svg.h"
#include "command_run.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

size_t Count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

// A small line with one curve, two stations, two signals, a slowdown and a code reduction.
void SmallScenario(testing::MemoryScenario& s) {
  s.Put(ScenarioFile::kRouteSource,
        testing::Route(20000, {"curvad4, 3000, 1500", "pendenza, 0, 2", "pendenza, 8000, -3"}));
  s.Put(ScenarioFile::kTrainSource,
        testing::TrainLines({"velocita, 0, 100", "aderenza, 0, 100",
                             "stazione, 0, 8, 1000, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, A & B",
                             "stazione, 15000, 2, 600, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 30, 0, <C\xC0>",
                             "segnale, 5000, 2,4,1, 1, 0, 2, 2,1,1, 0",
                             "segnale, 12000, 2,4,1, 1, 0, 2, 2,1,1, 0",
                             "rallentamento, 9000, 60, 1000, 0, 1, 0",
                             "abbattimento, 13000, AC"}));
}

TEST(PlotCommand, DrawsPlanAndProfileOfACompiledScenario) {
  testing::MemoryScenario s;
  SmallScenario(s);
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 0);
  CommandResult r = RunInMemory(s.fs, {"plot", "/scn", "--out", "/out/p.svg"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string& svg = s.fs.files().at("/out/p.svg");
  EXPECT_EQ(svg.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg ", 0), 0u);
  EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
  EXPECT_EQ(svg.find("http://www.w3.org/2000/svg\""), svg.find("xmlns=") + 7);
  EXPECT_EQ(svg.find("href"), std::string::npos);  // self-contained
  EXPECT_EQ(Count(svg, "<polyline class=\"track\""), 1u);
  // Names escaped and in UTF-8, each in the plan and in the profile.
  EXPECT_EQ(Count(svg, ">A &amp; B</text>"), 2u);
  EXPECT_EQ(Count(svg, ">&lt;C\xC3\x80&gt;</text>"), 2u);
  EXPECT_EQ(Count(svg, "class=\"signal\""), 2u);
  EXPECT_EQ(Count(svg, "<rect class=\"slowdown\""), 2u);  // the slowdown and its legend
  EXPECT_EQ(Count(svg, "<path class=\"reduction\""), 2u);
  // The cell pass put limit markers around the slowdown.
  EXPECT_GT(Count(svg, "<path class=\"limit added\""), 2u);
  EXPECT_EQ(Count(svg, "<path class=\"speed\""), 1u);
  EXPECT_EQ(Count(svg, "<path class=\"gradient\""), 1u);
  // Every element that opens is closed.
  EXPECT_EQ(Count(svg, "<text"), Count(svg, "</text>"));
}

TEST(PlotCommand, BoardsAdhesionExtentsAddedMarkersAndATooltipOnEveryItem) {
  testing::MemoryScenario s;
  SmallScenario(s);
  s.Put(ScenarioFile::kRouteSource,
        testing::Route(20000, {"curvad4, 3000, 1500",
                               "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2",
                               "cartello_indicatore, 6000, AVVISO"}));
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 0);
  ASSERT_EQ(RunInMemory(s.fs, {"plot", "/scn", "--out", "/p.svg"}).status, 0);
  const std::string& svg = s.fs.files().at("/p.svg");
  EXPECT_EQ(Count(svg, "<rect class=\"board\""), 1u);
  EXPECT_NE(svg.find(">60, 70, 50 | 60, 70, 50</text>"), std::string::npos);
  EXPECT_EQ(Count(svg, "<rect class=\"indication\""), 1u);
  EXPECT_NE(svg.find(">AVVISO</text>"), std::string::npos);
  EXPECT_EQ(Count(svg, "<path class=\"adhesion\""), 1u);
  EXPECT_EQ(Count(svg, "<rect class=\"extent\""), 2u);
  // The markers the cell pass put around the slowdown, told apart from the legend's.
  EXPECT_GT(Count(svg, "<path class=\"limit added\""), 1u);
  EXPECT_NE(svg.find("<title>limit marker in cell"), std::string::npos);
  EXPECT_NE(svg.find("added by the compiler around a slowdown"), std::string::npos);
  // Every signal, slowdown, board and station has its tooltip.
  EXPECT_EQ(Count(svg, "<line class=\"signal\""), Count(svg, "<title>signal in cell"));
  EXPECT_EQ(Count(svg, "<title>station 'A &amp; B'"), 3u);  // extent, name, plan circle
  // The plan ends with the route: 20 km, not the 27 km of the line data file.
  // Its kilometre points every 5 km stop before the end.
  EXPECT_NE(svg.find(">15 km</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">20 km</text>"), std::string::npos);
  EXPECT_EQ(svg.find(">25 km</text>"), std::string::npos);
}

TEST(PlotCommand, WithoutLineDataThePlanSaysSo) {
  testing::MemoryScenario s;
  SmallScenario(s);
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn", "--no-line-data"}).status, 0);
  ASSERT_EQ(RunInMemory(s.fs, {"plot", "/scn", "--out", "/p.svg"}).status, 0);
  const std::string& svg = s.fs.files().at("/p.svg");
  EXPECT_NE(svg.find("no line data file"), std::string::npos);
  EXPECT_EQ(svg.find("<polyline"), std::string::npos);
}

TEST(PlotCommand, RefusesMissingOrMalformedFiles) {
  testing::MemoryScenario s;
  SmallScenario(s);
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 0);
  EXPECT_EQ(RunInMemory(s.fs, {"plot", "/scn"}).status, 2);  // --out is required
  EXPECT_EQ(RunInMemory(s.fs, {"plot", "/scn", "--train", "9", "--out", "/p.svg"}).status, 2);
  CommandResult clash = RunInMemory(s.fs, {"plot", "/scn", "--train", "Linea", "--out", "/p.svg"});
  EXPECT_EQ(clash.status, 2);
  EXPECT_EQ(clash.err.rfind("scenario-builder plot: the train number 'Linea' makes the track file "
                            "name Torbena-Sarvico-Zeva_Linea.dat equal to", 0),
            0u)
      << clash.err;
  std::string& line = s.fs.files().at(s.Path(ScenarioFile::kLineData));
  line.resize(line.size() - 1);
  CommandResult r = RunInMemory(s.fs, {"plot", "/scn", "--out", "/p.svg"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("not a valid line data file"), std::string::npos) << r.err;
  EXPECT_FALSE(s.fs.Exists("/p.svg"));
}

TEST(PlotSvg, XmlText) {
  EXPECT_EQ(XmlText("a<b>&\"c\"\x01\n"), "a&lt;b&gt;&amp;&quot;c&quot;  ");
}

}  // namespace
}  // namespace sb
