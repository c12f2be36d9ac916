// What the pictures of a scenario show, worked out once from the track cells, the settings
// rows and the plan: stations with their extents, every item of the track in words, the
// profile as runs of equal values, and the plan cut where the route ends. The SVG plot and
// the interactive viewer draw from it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/form1.h"

namespace sb {

enum class SceneKind : uint8_t {
  kSignal,
  kSlowdown,         // start to end, at one speed
  kSlowdownWarning,  // 1200 m before the start
  kPreannounce,      // the four cells before the warning point
  kLimitMarker,      // a code reduction with a speed; `added` when the cell pass put it
  kCodeReduction,    // without a speed
  kSpeedBoards,
  kIndicationBoard,
  kKmReference,
};

// "signal", "slowdown", ...: the layer an item belongs to.
const char* SceneKindName(SceneKind kind);

struct SceneItem {
  SceneKind kind;
  int32_t position;     // metres: the position of the cell's point items, (cell - 1) x 50
  int32_t end;          // slowdowns: where they end; otherwise = position
  int32_t cell;
  SourceRef source;     // the line that placed it; none when unknown
  bool added = false;   // put by the compile, not by a line of the texts
  std::string label;    // a few words drawn beside it (UTF-8): a speed, a board's text
  std::string words;    // its values in words (UTF-8)
};

struct SceneStation {
  std::string name;  // UTF-8
  int32_t row;
  int32_t position, extentStart, extentEnd;
  std::vector<int32_t> stops;  // positions of its stop marks
  SourceRef source;            // the line of its first stop mark
  std::string words;
};

// Cells first to last (fills: cell k covers k x 50 to k x 50 + 50 m) hold `value`.
struct SceneRun {
  int32_t from, to;  // metres
  int value;         // km/h, per mille, per cent, mountain type
};

struct SceneFault {
  int32_t code;
  int32_t position;  // metres; -1 when the fault has none
  SourceRef source;
  std::string message;  // UTF-8
};

struct ScenePlan {
  std::vector<double> x, y;  // point m at index m, 0 to the route length (or less)
};

struct LineScene {
  std::string title;
  int32_t length = 0;  // the route length; the profile and the plan end here
  std::vector<SceneStation> stations;
  std::vector<SceneItem> items;  // by position
  std::vector<SceneRun> speed, gradient, adhesion, mountain;
  std::vector<SceneFault> faults;
  ScenePlan plan;  // empty without a plan
  bool sourcesKnown = false;  // made from the texts: items name their lines, added ones are told
};

struct SceneInput {
  std::string title;
  const std::vector<TrackCell>* cells;
  const std::vector<StationRecord>* rows;
  // The plan: all x values, then all y values (the line data file's order); may be empty.
  const std::vector<Variant>* line = nullptr;
  const LineGrid* grid = nullptr;  // instead of `line`, from a compile
  const std::vector<SourceRef>* cellSource = nullptr;  // from a compile
  const std::vector<FaultRecord>* faults = nullptr;    // from a compile
};

LineScene BuildScene(const SceneInput& in);

// Plan points kept so that no dropped point lies farther than `tolerance` metres from the
// polyline of those kept (Douglas-Peucker); the first and last points stay. Indices into
// xs/ys, increasing.
std::vector<int32_t> SimplifyPlan(const std::vector<double>& xs, const std::vector<double>& ys,
                                  const std::vector<int32_t>& points, double tolerance);

}  // namespace sb
