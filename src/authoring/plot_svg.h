// A picture of a compiled scenario: the plan of the line with its stations, and under it
// the profile along the line (stations, signals, slowdowns, code reductions, speed limit,
// gradient), as one self-contained SVG document.
#pragma once

#include <string>
#include <vector>

#include "authoring/line_scene.h"
#include "model/form1.h"

namespace sb {

struct PlotInput {
  std::string title;                  // UTF-8
  std::vector<TrackCell> cells;       // the track file
  std::vector<StationRecord> rows;    // the train settings file
  std::vector<Variant> line;          // the line data file; empty when there is none
};

std::string DrawScenarioSvg(const PlotInput& in);
std::string DrawScenarioSvg(const LineScene& scene);

// Text for an SVG document: &, <, >, " escaped; control characters become blanks.
std::string XmlText(const std::string& utf8);

}  // namespace sb
