#include "authoring/line_scene.h"

#include <algorithm>
#include <cmath>

#include "authoring/settings_rows.h"
#include "io/text_encoding.h"

namespace sb {

const char* SceneKindName(SceneKind kind) {
  switch (kind) {
    case SceneKind::kSignal: return "signal";
    case SceneKind::kSlowdown: return "slowdown";
    case SceneKind::kSlowdownWarning: return "slowdown warning";
    case SceneKind::kPreannounce: return "slowdown pre-announcement";
    case SceneKind::kLimitMarker: return "limit marker";
    case SceneKind::kCodeReduction: return "code reduction";
    case SceneKind::kSpeedBoards: return "speed indicator boards";
    case SceneKind::kIndicationBoard: return "indication board";
    case SceneKind::kKmReference: return "kilometric reference";
  }
  return "item";
}

namespace {

std::string Metres(int64_t m) { return std::to_string(m) + " m"; }

std::string CellWords(int32_t cell, int32_t position) {
  return "cell " + std::to_string(cell) + " (" + Metres(position) + ")";
}

// Runs of equal values over the cells along the line.
template <typename ValueOf>
std::vector<SceneRun> Runs(const std::vector<TrackCell>& cells, int32_t length, ValueOf value,
                           bool skip_zero) {
  std::vector<SceneRun> out;
  for (size_t k = 0; k < cells.size(); ++k) {
    const int64_t from = static_cast<int64_t>(k) * 50;
    if (from >= length) break;
    const int32_t to = static_cast<int32_t>(std::min<int64_t>(from + 50, length));
    const int v = value(cells[k]);
    if (!out.empty() && out.back().value == v && out.back().to == from)
      out.back().to = to;
    else if (!(skip_zero && v == 0))
      out.push_back(SceneRun{static_cast<int32_t>(from), to, v});
  }
  return out;
}

// A pair of speed indicator boards: each packed value is left x 20 + right / 5.
void DescribeBoards(const TrackCell& c, SceneItem* item) {
  const int packed[3] = {c.value1, c.value2, c.value3};
  std::string left, right;
  for (int i = 0; i < 3; ++i) {
    const int l = packed[i] / 20, r = (packed[i] % 20) * 5;
    if (i > 0) {
      left += ", ";
      right += ", ";
    }
    left += std::to_string(l);
    right += std::to_string(r);
  }
  const int stripes_left = c.value4 / 10, stripes_right = c.value4 % 10;
  item->label = left + " | " + right;
  item->words = "left board " + left + " km/h, " + std::to_string(stripes_left) +
                " stripes; right board " + right + " km/h, " + std::to_string(stripes_right) +
                " stripes";
}

void AddPlan(const SceneInput& in, int32_t length, ScenePlan* plan) {
  size_t n = 0;
  std::vector<double>& x = plan->x;
  std::vector<double>& y = plan->y;
  if (in.grid != nullptr && in.grid->Exists()) {
    n = static_cast<size_t>(in.grid->LastPoint()) + 1;
    x.reserve(n);
    y.reserve(n);
    size_t i = 0;
    bool empty_seen[2] = {false, false};
    in.grid->ForEachElement([&](const Variant& v) {
      const size_t comp = i < n ? 0 : 1;
      std::vector<double>& to = comp == 0 ? x : y;
      ++i;
      if (v.tag == Variant::kEmpty) empty_seen[comp] = true;
      if (!empty_seen[comp]) to.push_back(v.AsDouble());
    });
  } else if (in.line != nullptr && in.line->size() >= 4) {
    const std::vector<Variant>& el = *in.line;
    n = el.size() / 2;
    for (size_t m = 0; m < n && el[m].tag != Variant::kEmpty && el[n + m].tag != Variant::kEmpty; ++m) {
      x.push_back(el[m].AsDouble());
      y.push_back(el[n + m].AsDouble());
    }
  }
  // The plan runs on past the route's end, where the track file adds its 7000 m: cut it.
  size_t keep = std::min({x.size(), y.size(), static_cast<size_t>(std::max(length, 0)) + 1});
  if (keep < 2) keep = 0;
  x.resize(keep);
  y.resize(keep);
}

}  // namespace

// Without the sources: whether a limit marker stands where the cell pass puts its own, in
// the 22 cells before a warning point or a slowdown start, or from a start to 13 cells
// after its end.
std::vector<char> NearSlowdowns(const std::vector<TrackCell>& cells) {
  std::vector<char> near(cells.size(), 0);
  auto mark = [&](int64_t from, int64_t to) {
    for (int64_t k = std::max<int64_t>(from, 0); k <= to && k < static_cast<int64_t>(cells.size()); ++k)
      near[static_cast<size_t>(k)] = 1;
  };
  for (size_t k = 0; k < cells.size(); ++k) {
    const int64_t i = static_cast<int64_t>(k);
    if (cells[k].cellType == kCellSlowdownWarning) mark(i - 22, i);
    if (cells[k].cellType == kCellSlowdownStart) {
      size_t e = k + 1;
      while (e < cells.size() && cells[e].cellType != kCellSlowdownEnd) ++e;
      mark(i - 22, static_cast<int64_t>(e) + 13);
    }
  }
  return near;
}

LineScene BuildScene(const SceneInput& in) {
  LineScene s;
  s.title = in.title;
  const std::vector<TrackCell>& cells = *in.cells;
  const std::vector<StationRecord>& rows = *in.rows;
  s.sourcesKnown = in.cellSource != nullptr;
  auto source_of = [&](size_t k) {
    return in.cellSource != nullptr && k < in.cellSource->size() ? (*in.cellSource)[k] : SourceRef{};
  };

  if (rows.size() > static_cast<size_t>(kRowTrain)) s.length = rows[kRowTrain].extentEnd;
  if (s.length <= 0)
    s.length = std::max<int32_t>(50, static_cast<int32_t>(cells.size()) * 50 - 7050);

  for (size_t r = 0; r < rows.size(); ++r) {
    if (UseOfRow(rows, r) != RowUse::kStation) continue;
    SceneStation st;
    st.name = Cp1252ToUtf8(rows[r].name);
    st.row = static_cast<int32_t>(r);
    st.position = rows[r].position;
    st.extentStart = rows[r].extentStart;
    st.extentEnd = rows[r].extentEnd;
    s.stations.push_back(std::move(st));
  }
  auto station_of_row = [&](int row) -> SceneStation* {
    for (SceneStation& st : s.stations)
      if (st.row == row) return &st;
    return nullptr;
  };

  const std::vector<char> near = in.cellSource == nullptr ? NearSlowdowns(cells) : std::vector<char>();
  for (size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    const int32_t cell = static_cast<int32_t>(k);
    const int32_t at = (cell - 1) * 50;
    SceneItem item{SceneKind::kSignal, at, at, cell, source_of(k), false, "", ""};
    switch (c.cellType) {
      case kCellSignal:
        item.words = "aspect codes " + std::to_string(c.value1) + ", " + std::to_string(c.value2) +
                     ", " + std::to_string(c.value3) + "; layout " + std::to_string(c.value4) +
                     "; waiting time " + std::to_string(c.value5) + " s";
        break;
      case kCellSlowdownStart: {
        item.kind = SceneKind::kSlowdown;
        size_t e = k + 1;
        while (e < cells.size() && cells[e].cellType != kCellSlowdownEnd) ++e;
        if (e < cells.size()) item.end = (static_cast<int32_t>(e) - 1) * 50;
        item.label = std::to_string(c.value1);
        item.words = std::to_string(c.value1) + " km/h from " + Metres(at) + " to " +
                     (e < cells.size() ? Metres(item.end) : std::string("no end found")) +
                     (c.value2 != 0 ? ", d_v " + std::to_string(c.value2) : std::string()) +
                     ", f_tt " + std::to_string(c.value3);
        break;
      }
      case kCellSlowdownWarning:
        item.kind = SceneKind::kSlowdownWarning;
        item.label = std::to_string(c.value1);
        item.words = "warning point of a slowdown at " + std::to_string(c.value1) +
                     " km/h, 1200 m before its start";
        break;
      case kCellSlowdownPreannounce:
        item.kind = SceneKind::kPreannounce;
        item.words = "pre-announcement " + std::to_string(c.value1) + " of 4 (1 next to the warning point)";
        break;
      case kCellLimitMarker:
        item.kind = SceneKind::kLimitMarker;
        item.label = std::to_string(c.value1);
        item.added = in.cellSource != nullptr ? item.source.file == SourceFile::kNone : near[k] != 0;
        item.words = "limit " + std::to_string(c.value1) + " km/h; " +
                     (in.cellSource == nullptr
                          ? item.added ? "added by the compiler around a slowdown (told by its place)"
                                       : "a code reduction with a speed (told by its place)"
                      : item.added ? "added by the compiler around a slowdown"
                                   : "a code reduction with a speed");
        break;
      case kCellCodeReduction:
        item.kind = SceneKind::kCodeReduction;
        item.words = "code reduction without a speed";
        break;
      case kCellSpeedBoards:
        item.kind = SceneKind::kSpeedBoards;
        DescribeBoards(c, &item);
        break;
      case kCellIndicationBoard: {
        item.kind = SceneKind::kIndicationBoard;
        const bool known = c.value1 >= 0 && static_cast<size_t>(c.value1) < rows.size();
        item.label = known ? Cp1252ToUtf8(rows[static_cast<size_t>(c.value1)].name) : "";
        item.words = "text '" + item.label + "' (row " + std::to_string(c.value1) + ")";
        break;
      }
      case kCellStationStop:
        if (SceneStation* st = station_of_row(c.value1)) {
          if (st->stops.empty()) st->source = item.source;
          st->stops.push_back(at);
        }
        continue;
      default:
        continue;
    }
    item.words = std::string(SceneKindName(item.kind)) + " in " + CellWords(cell, at) + ": " + item.words;
    s.items.push_back(std::move(item));
  }

  for (int row : {kRowKmUno, kRowKmDue, kRowKmTre}) {
    if (rows.size() <= static_cast<size_t>(row)) break;
    const StationRecord& r = rows[static_cast<size_t>(row)];
    if (r.extentStart == 0 && r.extentEnd == 0 && r.position == 0) continue;
    const char* name = row == kRowKmUno ? "uno" : row == kRowKmDue ? "due" : "tre";
    SceneItem item{SceneKind::kKmReference, r.extentStart, r.extentStart, r.extentStart / 50 + 1,
                   SourceRef{}, false, name, ""};
    item.words = std::string("kilometric reference '") + name + "': " + std::to_string(r.extentStart) +
                 ", " + std::to_string(r.extentEnd) + ", " + std::to_string(r.position);
    s.items.push_back(std::move(item));
  }
  std::stable_sort(s.items.begin(), s.items.end(),
                   [](const SceneItem& a, const SceneItem& b) { return a.position < b.position; });

  for (SceneStation& st : s.stations) {
    st.words = "station '" + st.name + "' (row " + std::to_string(st.row) + ") at " +
               Metres(st.position) + ", extent " + Metres(st.extentStart) + " to " +
               Metres(st.extentEnd);
    if (!st.stops.empty()) {
      st.words += ", stop mark" + std::string(st.stops.size() > 1 ? "s" : "") + " at";
      for (size_t i = 0; i < st.stops.size(); ++i) {
        st.words += i > 0 ? ", " : " ";
        st.words += Metres(st.stops[i]);
      }
    }
  }

  s.speed = Runs(cells, s.length, [](const TrackCell& c) { return c.speedLimit * 5; }, false);
  s.gradient = Runs(cells, s.length, [](const TrackCell& c) { return c.gradient - 100; }, false);
  s.adhesion = Runs(cells, s.length, [](const TrackCell& c) { return int{c.adhesion}; }, false);
  s.mountain = Runs(cells, s.length, [](const TrackCell& c) { return int{c.mountain}; }, true);

  if (in.faults != nullptr) {
    for (const FaultRecord& f : *in.faults) {
      int32_t at = f.position ? *f.position : f.cell ? (*f.cell - 1) * 50 : -1;
      s.faults.push_back(SceneFault{f.code, at, f.where, f.message});
    }
  }
  AddPlan(in, s.length, &s.plan);
  return s;
}

std::vector<int32_t> SimplifyPlan(const std::vector<double>& xs, const std::vector<double>& ys,
                                  const std::vector<int32_t>& points, double tolerance) {
  const size_t n = points.size();
  if (n <= 2) return points;
  std::vector<char> keep(n, 0);
  keep[0] = keep[n - 1] = 1;
  std::vector<std::pair<size_t, size_t>> stack{{0, n - 1}};
  const double tol2 = tolerance * tolerance;
  while (!stack.empty()) {
    auto [a, b] = stack.back();
    stack.pop_back();
    if (b <= a + 1) continue;
    const double ax = xs[static_cast<size_t>(points[a])], ay = ys[static_cast<size_t>(points[a])];
    const double dx = xs[static_cast<size_t>(points[b])] - ax, dy = ys[static_cast<size_t>(points[b])] - ay;
    const double len2 = dx * dx + dy * dy;
    double worst = -1;
    size_t at = a;
    for (size_t i = a + 1; i < b; ++i) {
      const double px = xs[static_cast<size_t>(points[i])] - ax, py = ys[static_cast<size_t>(points[i])] - ay;
      double d2;
      const double t = len2 > 0 ? (px * dx + py * dy) / len2 : 0;
      if (t <= 0) {
        d2 = px * px + py * py;
      } else if (t >= 1) {
        const double qx = px - dx, qy = py - dy;
        d2 = qx * qx + qy * qy;
      } else {
        const double cross = px * dy - py * dx;
        d2 = cross * cross / len2;
      }
      if (d2 > worst) {
        worst = d2;
        at = i;
      }
    }
    if (worst > tol2) {
      keep[at] = 1;
      stack.push_back({a, at});
      stack.push_back({at, b});
    }
  }
  std::vector<int32_t> out;
  for (size_t i = 0; i < n; ++i)
    if (keep[i]) out.push_back(points[i]);
  return out;
}

}  // namespace sb
