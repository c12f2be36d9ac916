#include "authoring/view_page.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "authoring/json_output.h"
#include "authoring/plot_svg.h"
#include "io/text_encoding.h"

namespace sb {

extern const char* const kViewPageStyle;
extern const char* const kViewPageScript;

namespace {

// A source place as the page names it: [file, line], file 0 the route text, 1 the train
// text; null when none.
Json Place(const SourceRef& s) {
  if (s.file == SourceFile::kNone || s.line <= 0) return Json(nullptr);
  return Json::array({s.file == SourceFile::kRoute ? 0 : 1, s.line});
}

Json RunList(const std::vector<SceneRun>& runs) {
  Json out = Json::array();
  for (const SceneRun& r : runs) {
    out.push_back(r.from);
    out.push_back(r.to);
    out.push_back(r.value);
  }
  return out;
}

Json LineMap(const std::map<int32_t, std::string>& lines) {
  Json out = Json::object();
  for (const auto& [line, text] : lines) out[std::to_string(line)] = text;
  return out;
}

int64_t Decimetres(double metres) { return std::llround(metres * 10); }

}  // namespace

std::vector<PlanLevel> PlanLevels(const ScenePlan& plan) {
  std::vector<PlanLevel> levels;
  if (plan.x.size() < 2) return levels;
  std::vector<int32_t> points(plan.x.size());
  std::iota(points.begin(), points.end(), 0);
  // Each level is simplified from the one before: its error is at most the sum of the
  // tolerances so far, which `tolerance` records.
  double step = 0.1, bound = 0;
  for (int k = 0; k < 16; ++k, step *= 4) {
    points = SimplifyPlan(plan.x, plan.y, points, step);
    bound += step;
    levels.push_back(PlanLevel{bound + 0.05, points});  // + the rounding to 0.1 m
    if (points.size() <= 300) break;
  }
  return levels;
}

std::string ViewDataJson(const LineScene& scene, const ViewSources& sources, int generation) {
  Json d;
  d["title"] = scene.title;
  d["generation"] = generation;
  d["length"] = scene.length;
  d["sourcesKnown"] = scene.sourcesKnown;
  d["files"] = Json::array({sources.routePath, sources.trainPath});
  d["lines"] = Json::array({LineMap(sources.routeLines), LineMap(sources.trainLines)});
  Json stations = Json::array();
  for (const SceneStation& st : scene.stations)
    stations.push_back(Json{{"name", st.name}, {"p", st.position}, {"a", st.extentStart},
                            {"b", st.extentEnd}, {"stops", st.stops}, {"s", Place(st.source)},
                            {"w", st.words}});
  d["stations"] = std::move(stations);
  Json items = Json::array();
  for (const SceneItem& it : scene.items) {
    Json j{{"k", SceneKindName(it.kind)}, {"p", it.position}};
    if (it.end != it.position) j["e"] = it.end;
    j["c"] = it.cell;
    j["s"] = Place(it.source);
    if (it.added) j["added"] = true;
    if (!it.label.empty()) j["l"] = it.label;
    j["w"] = it.words;
    items.push_back(std::move(j));
  }
  d["items"] = std::move(items);
  d["speed"] = RunList(scene.speed);
  d["gradient"] = RunList(scene.gradient);
  d["adhesion"] = RunList(scene.adhesion);
  d["mountain"] = RunList(scene.mountain);
  Json faults = Json::array();
  for (const SceneFault& f : scene.faults)
    faults.push_back(Json{{"code", f.code}, {"p", f.position < 0 ? Json(nullptr) : Json(f.position)},
                          {"s", Place(f.source)}, {"w", f.message}});
  d["faults"] = std::move(faults);
  // Each level: metre, x and y as differences from the point before, x and y in decimetres.
  Json plan = Json::array();
  for (const PlanLevel& level : PlanLevels(scene.plan)) {
    Json p = Json::array();
    int64_t m0 = 0, x0 = 0, y0 = 0;
    for (int32_t m : level.points) {
      const int64_t x = Decimetres(scene.plan.x[static_cast<size_t>(m)]);
      const int64_t y = Decimetres(scene.plan.y[static_cast<size_t>(m)]);
      p.push_back(m - m0);
      p.push_back(x - x0);
      p.push_back(y - y0);
      m0 = m;
      x0 = x;
      y0 = y;
    }
    plan.push_back(Json{{"t", level.tolerance}, {"p", std::move(p)}});
  }
  d["plan"] = std::move(plan);
  std::string text = d.dump(-1, ' ', false, Json::error_handler_t::replace);
  // Inside a <script> element: "</" would end it, "\/" is the same string in JSON.
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '<' && i + 1 < text.size() && text[i + 1] == '/') out += '\\';
  }
  return out;
}

std::string ViewPageHtml(const std::string& data_json, const std::string& title, bool live) {
  std::string s =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
      "style-src 'unsafe-inline'; script-src 'unsafe-inline'; img-src data:; connect-src 'self'\">\n"
      "<title>" + XmlText(title) + "</title>\n<style>\n";
  s += kViewPageStyle;
  s += "</style>\n</head>\n<body>\n"
       "<div id=\"bar\"><b id=\"title\"></b>"
       "<input id=\"goto\" type=\"text\" placeholder=\"km range (12-15.5) or station name\" "
       "title=\"A km range such as 12-15.5, a km such as 40.2, or a station's name; Enter to go\">"
       "<button id=\"whole\" title=\"the whole line (Home)\">whole line</button>"
       "<span id=\"range\"></span><span id=\"status\"></span></div>\n"
       "<div id=\"layers\"></div>\n"
       "<div id=\"views\"><canvas id=\"plan\"></canvas><canvas id=\"profile\"></canvas></div>\n"
       "<div id=\"tip\" hidden></div>\n"
       "<script id=\"sb-data\" type=\"application/json\">";
  s += data_json;
  s += "</script>\n<script>\nconst SB_LIVE = ";
  s += live ? "true" : "false";
  s += ";\n";
  s += kViewPageScript;
  s += "</script>\n</body>\n</html>\n";
  return s;
}

std::map<int32_t, std::string> QuoteLines(const std::string& text, const std::vector<int32_t>& wanted) {
  std::map<int32_t, std::string> out;
  std::vector<int32_t> sorted = wanted;
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  size_t at = 0;
  int32_t line = 1;
  size_t next = 0;
  while (at <= text.size() && next < sorted.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    if (line == sorted[next]) {
      std::string_view l(text.data() + at, end - at);
      if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
      std::string quoted = Cp1252ToUtf8(l.substr(0, 160));
      if (l.size() > 160) quoted += " ...";
      out[line] = quoted;
      ++next;
    }
    if (end == text.size()) break;
    at = end + 1;
    ++line;
  }
  return out;
}

}  // namespace sb
