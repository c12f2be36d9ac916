// The interactive viewer of a scenario: one self-contained HTML page (its script and style
// inline, no network) that draws the plan and the profile of the line from the page data,
// a JSON document made from a LineScene.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "authoring/line_scene.h"

namespace sb {

// The two texts the items of a scene come from: their paths (UTF-8, absolute, for editor
// links) and the lines the items point at, in UTF-8.
struct ViewSources {
  std::string routePath, trainPath;
  std::map<int32_t, std::string> routeLines, trainLines;
};

// The plan at one level of detail: no point of the line lies farther than `tolerance` metres
// from the polyline of the points kept (their coordinates rounded to 0.1 m as well).
struct PlanLevel {
  double tolerance;
  std::vector<int32_t> points;  // metres along the line, increasing
};
// From 0.1 m up, four times coarser each, until a level keeps a few hundred points.
std::vector<PlanLevel> PlanLevels(const ScenePlan& plan);

// The page data: the scene, the plan levels (points as differences in decimetres), the
// sources. `generation` counts the compiles of `serve`.
std::string ViewDataJson(const LineScene& scene, const ViewSources& sources, int generation = 0);

// The whole page with the data inside. `live`: the page listens to /events and fetches
// /data.json again on every new compile (what `serve` gives).
std::string ViewPageHtml(const std::string& data_json, const std::string& title, bool live);

// The line of a text (without its line end, in UTF-8, a long one cut) for every line in
// `wanted`: what the hover of an item quotes.
std::map<int32_t, std::string> QuoteLines(const std::string& cp1252_text,
                                          const std::vector<int32_t>& wanted);

}  // namespace sb
