#include "authoring/plot_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "authoring/settings_rows.h"
#include "io/text_encoding.h"

namespace sb {
namespace {

constexpr double kWidth = 1400;
constexpr double kHeight = 1200;

// Plan panel.
constexpr double kPlanLeft = 40, kPlanTop = 50, kPlanRight = 1360, kPlanBottom = 540;
// Profile panel: one x scale for every strip.
constexpr double kProfLeft = 150, kProfRight = 1300;
constexpr double kLabelBase = 690;                     // station names stand on this line
constexpr double kExtentRow = 700;                     // station extents
constexpr double kSignalRow = 722, kSlowRow = 746, kReductionRow = 770;
constexpr double kBoardRow = 794, kIndicationRow = 818;
constexpr double kSpeedTop = 840, kSpeedBottom = 930;
constexpr double kGradTop = 945, kGradBottom = 1035;
constexpr double kAdhesionTop = 1050, kAdhesionBottom = 1100;
constexpr double kAxisTop = 1110;

std::string F(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s == "-0.0") s = "0.0";
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

using Station = SceneStation;

// A round step (1, 2 or 5 times a power of ten) close to `target`.
double NiceStep(double target) {
  if (target <= 0) return 1;
  double p = std::pow(10.0, std::floor(std::log10(target)));
  for (double m : {1.0, 2.0, 5.0, 10.0})
    if (m * p >= target) return m * p;
  return 10 * p;
}

// A shape with its tooltip: `open` is the element up to its attributes, without its end.
void Titled(std::string& s, const std::string& open, const std::string& title) {
  s += open + "><title>" + XmlText(title) + "</title></" + open.substr(1, open.find(' ') - 1) + ">\n";
}

void Text(std::string& s, double x, double y, const std::string& text, const char* attrs = "") {
  s += "<text x=\"" + F(x) + "\" y=\"" + F(y) + "\"" + (*attrs ? " " : "") + attrs + ">" +
       XmlText(text) + "</text>\n";
}

void Line(std::string& s, double x1, double y1, double x2, double y2, const char* attrs) {
  s += "<line x1=\"" + F(x1) + "\" y1=\"" + F(y1) + "\" x2=\"" + F(x2) + "\" y2=\"" + F(y2) +
       "\" " + attrs + "/>\n";
}

// ---- Plan --------------------------------------------------------------------------------

// Label positions along one side: each at least `gap` after the one before it.
std::vector<double> Spread(const std::vector<double>& xs, double gap) {
  std::vector<double> out;
  for (double x : xs) out.push_back(out.empty() ? x : std::max(x, out.back() + gap));
  return out;
}

// A name standing on its point at an angle, with a leader when it had to move aside.
void Label(std::string& s, double px, double py, double lx, double ly, bool above,
           const std::string& name) {
  if (std::abs(lx - px) > 0.5 || std::abs(ly - py) > 0.5)
    Line(s, px, py, lx, ly, "class=\"leader\"");
  s += "<text class=\"name\" transform=\"translate(" + F(lx) + "," + F(ly) + ") rotate(" +
       (above ? "-35" : "35") + ")\"" + (above ? "" : " dy=\"8\"") + ">" + XmlText(name) +
       "</text>\n";
}

void DrawPlan(std::string& s, const ScenePlan& plan, const std::vector<Station>& stations) {
  s += "<rect x=\"" + F(kPlanLeft) + "\" y=\"" + F(kPlanTop) + "\" width=\"" +
       F(kPlanRight - kPlanLeft) + "\" height=\"" + F(kPlanBottom - kPlanTop) +
       "\" fill=\"#f7f9fb\" stroke=\"#c8d0d8\"/>\n";
  Text(s, kPlanLeft + 10, kPlanTop + 20, "Plan of the line", "class=\"head\"");
  // The plan ends where the route ends (BuildScene cut the 7000 m after it).
  const size_t n = plan.x.size();
  auto has = [&](size_t m) { return m < n; };
  const size_t last = n == 0 ? 0 : n - 1;
  if (last == 0) {
    Text(s, (kPlanLeft + kPlanRight) / 2, (kPlanTop + kPlanBottom) / 2,
         "no line data file: the scenario was compiled without it",
         "text-anchor=\"middle\" class=\"note\"");
    return;
  }
  // The plan is turned so that the line runs from left to right, start to end; turning
  // keeps the hand of the curves (a right-hand curve still bends clockwise).
  const double ex = plan.x[last] - plan.x[0];
  const double ey = plan.y[last] - plan.y[0];
  const double chord = std::hypot(ex, ey);
  const double cs = chord > 1 ? ex / chord : 0, sn = chord > 1 ? ey / chord : 1;
  auto U = [&](size_t m) { return plan.x[m] * cs + plan.y[m] * sn; };
  auto V = [&](size_t m) { return -plan.x[m] * sn + plan.y[m] * cs; };

  const size_t step = std::max<size_t>(1, last / 4000);
  std::vector<size_t> samples;
  for (size_t m = 0; m <= last; m += step)
    if (has(m)) samples.push_back(m);
  if (samples.back() != last) samples.push_back(last);
  double minu = 1e300, maxu = -1e300, minv = 1e300, maxv = -1e300;
  for (size_t m : samples) {
    minu = std::min(minu, U(m));
    maxu = std::max(maxu, U(m));
    minv = std::min(minv, V(m));
    maxv = std::max(maxv, V(m));
  }
  const double side = 60, above = 130, below = 120;  // room for the names
  const double bw = kPlanRight - kPlanLeft - 2 * side;
  const double bh = kPlanBottom - kPlanTop - above - below;
  const double scale = std::min(bw / std::max(maxu - minu, 1.0), bh / std::max(maxv - minv, 1.0));
  const double offx = kPlanLeft + side + (bw - (maxu - minu) * scale) / 2;
  const double offy = kPlanTop + above + (bh - (maxv - minv) * scale) / 2;
  auto X = [&](size_t m) { return offx + (U(m) - minu) * scale; };
  auto Y = [&](size_t m) { return offy + (maxv - V(m)) * scale; };

  s += "<polyline class=\"track\" points=\"";
  for (size_t m : samples) {
    s += F(X(m));
    s += ',';
    s += F(Y(m));
    s += ' ';
  }
  s += "\"/>\n";

  // Kilometre points along the line.
  const double km_step = NiceStep(static_cast<double>(last) / 8);
  for (double m = km_step; m < static_cast<double>(last); m += km_step) {
    size_t k = static_cast<size_t>(m);
    if (!has(k)) continue;
    s += "<circle cx=\"" + F(X(k)) + "\" cy=\"" + F(Y(k)) + "\" r=\"2.5\" fill=\"#8a96a3\"/>\n";
    Text(s, X(k), Y(k) + 16, F(m / 1000) + " km", "class=\"km\" text-anchor=\"middle\"");
  }
  // Stations, their names alternately above and below the line.
  std::vector<size_t> at;
  for (const Station& st : stations) {
    size_t m = static_cast<size_t>(std::clamp<int64_t>(st.position, 0, static_cast<int64_t>(last)));
    at.push_back(has(m) ? m : 0);
  }
  for (int up = 1; up >= 0; --up) {
    std::vector<size_t> idx;
    std::vector<double> xs;
    for (size_t i = 0; i < stations.size(); ++i)
      if (static_cast<int>(i % 2 == 0) == up) {
        idx.push_back(i);
        xs.push_back(X(at[i]));
      }
    std::vector<double> lx = Spread(xs, 13);
    for (size_t k = 0; k < idx.size(); ++k) {
      size_t m = at[idx[k]];
      double ly = up ? offy - 10 : offy + (maxv - minv) * scale + 12;
      Label(s, X(m), Y(m), lx[k], ly, up == 1, stations[idx[k]].name);
    }
  }
  for (size_t i = 0; i < stations.size(); ++i)
    Titled(s, "<circle class=\"station\" cx=\"" + F(X(at[i])) + "\" cy=\"" + F(Y(at[i])) +
                  "\" r=\"4.5\"", stations[i].words);
  // Scale bar, and the starting direction of the line.
  const double bar_m = NiceStep((kPlanRight - kPlanLeft) / 8 / scale);
  const double bx = kPlanLeft + 20, by = kPlanBottom - 18;
  Line(s, bx, by, bx + bar_m * scale, by, "stroke=\"#333\" stroke-width=\"2\"");
  Line(s, bx, by - 4, bx, by + 4, "stroke=\"#333\"");
  Line(s, bx + bar_m * scale, by - 4, bx + bar_m * scale, by + 4, "stroke=\"#333\"");
  Text(s, bx + bar_m * scale + 8, by + 4, F(bar_m / 1000) + " km", "class=\"km\"");
  const double ax = kPlanRight - 40, ay = kPlanTop + 40;
  // The starting direction +y, turned like the plan: (sn, cs) in (u, v), v up the page.
  Line(s, ax - sn * 18, ay + cs * 18, ax + sn * 18, ay - cs * 18,
       "stroke=\"#333\" stroke-width=\"1.5\" marker-end=\"url(#arrow)\"");
  Text(s, ax - 30, ay + 4, "starting direction", "text-anchor=\"end\" class=\"note\"");
}

// ---- Profile -----------------------------------------------------------------------------

double PX(double metre, double length) {
  return kProfLeft + std::clamp(metre / length, 0.0, 1.0) * (kProfRight - kProfLeft);
}

// A step path through runs of values.
template <typename YOf>
std::string StepPath(const std::vector<SceneRun>& runs, double length, YOf y) {
  std::string d;
  for (size_t i = 0; i < runs.size(); ++i) {
    if (i == 0) {
      d += 'M';
      d += F(PX(runs[i].from, length)) + " " + F(y(runs[i].value));
    } else {
      d += 'H';
      d += F(PX(runs[i].from, length)) + "V" + F(y(runs[i].value));
    }
  }
  if (!runs.empty()) {
    d += 'H';
    d += F(PX(runs.back().to, length));
  }
  return d;
}

// The runs of a graph as thin transparent bars, each with its value as tooltip.
void RunTitles(std::string& s, const std::vector<SceneRun>& runs, double length, double top,
               double bottom, const char* what, const char* unit) {
  if (runs.size() > 2000) return;  // the picture stays small; the viewer tells them all
  for (const SceneRun& r : runs) {
    const double x1 = PX(r.from, length), x2 = PX(r.to, length);
    Titled(s, "<rect class=\"hit\" x=\"" + F(x1) + "\" y=\"" + F(top) + "\" width=\"" +
                  F(std::max(x2 - x1, 0.5)) + "\" height=\"" + F(bottom - top) + "\"",
           std::string(what) + " " + std::to_string(r.value) + " " + unit + " from " +
               std::to_string(r.from) + " m to " + std::to_string(r.to) + " m");
  }
}

std::string Diamond(const char* cls, double x, double y) {
  return "<path class=\"" + std::string(cls) + "\" d=\"M" + F(x) + " " + F(y - 6) + "l6 6l-6 6l-6 -6z\"";
}

void DrawProfile(std::string& s, const LineScene& sc) {
  const double length = std::max<double>(sc.length, 50);
  auto px = [&](double m) { return PX(m, length); };
  const std::vector<Station>& stations = sc.stations;

  Text(s, kPlanLeft, 578, "Profile along the line", "class=\"head\"");
  for (auto [top, bottom] : {std::pair{kSpeedTop, kSpeedBottom}, std::pair{kGradTop, kGradBottom},
                             std::pair{kAdhesionTop, kAdhesionBottom}})
    s += "<rect x=\"" + F(kProfLeft) + "\" y=\"" + F(top) + "\" width=\"" +
         F(kProfRight - kProfLeft) + "\" height=\"" + F(bottom - top) +
         "\" fill=\"#fbfbfb\" stroke=\"#c8d0d8\"/>\n";
  const std::pair<double, const char*> lanes[] = {
      {kExtentRow, "station extents"}, {kSignalRow, "signals"}, {kSlowRow, "slowdowns"},
      {kReductionRow, "code reductions"}, {kBoardRow, "speed boards"},
      {kIndicationRow, "indication boards"}};
  for (const auto& [y, name] : lanes)
    Text(s, kProfLeft - 10, y + 4, name, "text-anchor=\"end\" class=\"lane\"");

  // Mountain stretches, shaded behind the gradient.
  for (const SceneRun& r : sc.mountain) {
    const double x1 = px(r.from), x2 = px(r.to);
    Titled(s, "<rect x=\"" + F(x1) + "\" y=\"" + F(kGradTop) + "\" width=\"" + F(std::max(x2 - x1, 0.8)) +
                  "\" height=\"" + F(kGradBottom - kGradTop) + "\" fill=\"#efe3cf\"",
           "mountain stretch of type " + std::to_string(r.value) + " from " + std::to_string(r.from) +
               " m to " + std::to_string(r.to) + " m");
  }

  // Stations: a line through every strip, the extent as a bar, the name above, moved aside
  // from a close neighbour.
  std::vector<double> xs;
  for (const Station& st : stations) xs.push_back(px(st.position));
  std::vector<double> label_x = Spread(xs, 12);
  for (size_t i = 0; i < stations.size(); ++i) {
    const Station& st = stations[i];
    Line(s, xs[i], kLabelBase + 6, xs[i], kAdhesionBottom, "class=\"stationline\"");
    const double e1 = px(std::min(st.extentStart, st.position)), e2 = px(std::max(st.extentEnd, st.position));
    Titled(s, "<rect class=\"extent\" x=\"" + F(e1) + "\" y=\"" + F(kExtentRow - 5) + "\" width=\"" +
                  F(std::max(e2 - e1, 1.5)) + "\" height=\"10\"", st.words);
    for (int32_t stop : st.stops)
      Titled(s, "<path class=\"stop\" d=\"M" + F(px(stop)) + " " + F(kExtentRow + 5) + "l3 5h-6z\"",
             "stop mark of '" + st.name + "' at " + std::to_string(stop) + " m");
    if (label_x[i] - xs[i] > 0.5)
      Line(s, xs[i], kLabelBase + 6, label_x[i], kLabelBase, "class=\"leader\"");
    s += "<text class=\"name\" transform=\"translate(" + F(label_x[i] + 2) + "," + F(kLabelBase) +
         ") rotate(-40)\"><title>" + XmlText(st.words) + "</title>" + XmlText(st.name) + "</text>\n";
  }

  // Speed limit.
  int max_speed = 0;
  for (const SceneRun& r : sc.speed) max_speed = std::max(max_speed, r.value);
  const double speed_top = std::max(50.0, std::ceil(max_speed / 50.0) * 50);
  auto speed_y = [&](int v) { return kSpeedBottom - v / speed_top * (kSpeedBottom - kSpeedTop); };
  for (double v = 0; v <= speed_top; v += speed_top / 2) {
    Line(s, kProfLeft - 4, speed_y(static_cast<int>(v)), kProfLeft, speed_y(static_cast<int>(v)), "stroke=\"#666\"");
    Text(s, kProfLeft - 7, speed_y(static_cast<int>(v)) + 4, F(v), "text-anchor=\"end\" class=\"tick\"");
  }
  Text(s, kPlanLeft, (kSpeedTop + kSpeedBottom) / 2, "speed limit", "class=\"lane\"");
  Text(s, kPlanLeft, (kSpeedTop + kSpeedBottom) / 2 + 14, "km/h", "class=\"tick\"");
  s += "<path class=\"speed\" d=\"" + StepPath(sc.speed, length, speed_y) + "\"/>\n";
  RunTitles(s, sc.speed, length, kSpeedTop, kSpeedBottom, "speed limit", "km/h");

  // Gradient, around its zero line.
  int max_grad = 5;
  for (const SceneRun& r : sc.gradient) max_grad = std::max(max_grad, std::abs(r.value));
  const double mid = (kGradTop + kGradBottom) / 2, half = (kGradBottom - kGradTop) / 2 - 4;
  auto grad_y = [&](int g) { return mid - g * half / max_grad; };
  std::string grad = StepPath(sc.gradient, length, grad_y);
  if (!grad.empty())
    s += "<path class=\"gradient\" d=\"M" + F(kProfLeft) + " " + F(mid) + "L" + grad.substr(1) + "V" +
         F(mid) + "Z\"/>\n";
  Line(s, kProfLeft, mid, kProfRight, mid, "stroke=\"#888\" stroke-width=\"0.6\"");
  for (int g : {max_grad, 0, -max_grad})
    Text(s, kProfLeft - 7, grad_y(g) + 4, std::to_string(g), "text-anchor=\"end\" class=\"tick\"");
  Text(s, kPlanLeft, mid - 4, "gradient", "class=\"lane\"");
  Text(s, kPlanLeft, mid + 10, "mountains shaded", "class=\"tick\"");
  RunTitles(s, sc.gradient, length, kGradTop, kGradBottom, "gradient", "per mille");

  // Adhesion.
  auto adhesion_y = [&](int a) { return kAdhesionBottom - a / 100.0 * (kAdhesionBottom - kAdhesionTop); };
  s += "<path class=\"adhesion\" d=\"" + StepPath(sc.adhesion, length, adhesion_y) + "\"/>\n";
  Text(s, kPlanLeft, (kAdhesionTop + kAdhesionBottom) / 2 + 4, "adhesion %", "class=\"lane\"");
  for (int a : {0, 100})
    Text(s, kProfLeft - 7, adhesion_y(a) + 4, std::to_string(a), "text-anchor=\"end\" class=\"tick\"");
  RunTitles(s, sc.adhesion, length, kAdhesionTop, kAdhesionBottom, "adhesion", "%");

  // The items of the track, each with its tooltip.
  double board_right = -1e9, text_right = -1e9;
  for (const SceneItem& it : sc.items) {
    const double x = px(it.position);
    switch (it.kind) {
      case SceneKind::kSignal:
        Titled(s, "<line class=\"signal\" x1=\"" + F(x) + "\" y1=\"" + F(kSignalRow - 8) + "\" x2=\"" +
                      F(x) + "\" y2=\"" + F(kSignalRow + 8) + "\"", it.words);
        break;
      case SceneKind::kSlowdown: {
        const double x2 = px(it.end);
        Titled(s, "<rect class=\"slowdown\" x=\"" + F(x) + "\" y=\"" + F(kSlowRow - 6) + "\" width=\"" +
                      F(std::max(x2 - x, 2.0)) + "\" height=\"12\"", it.words);
        Text(s, x, kSlowRow - 9, it.label, "class=\"tick\"");
        break;
      }
      case SceneKind::kSlowdownWarning:
        Titled(s, "<path class=\"slowdown\" d=\"M" + F(x) + " " + F(kSlowRow - 6) + "l5 12h-10z\"", it.words);
        break;
      case SceneKind::kPreannounce:
        break;  // four cells before the warning: too close to tell apart at this scale
      case SceneKind::kLimitMarker:
        // Put by the compiler around a slowdown: drawn hollow, on the slowdown row.
        if (it.added)
          Titled(s, Diamond("limit added", x, kSlowRow), it.words);
        else
          Titled(s, Diamond("limit", x, kReductionRow), it.words);
        break;
      case SceneKind::kCodeReduction:
        Titled(s, Diamond("reduction", x, kReductionRow), it.words);
        break;
      case SceneKind::kSpeedBoards:
        Titled(s, "<rect class=\"board\" x=\"" + F(x - 2.5) + "\" y=\"" + F(kBoardRow - 7) +
                      "\" width=\"5\" height=\"14\"", it.words);
        if (x > board_right + 4) {
          Text(s, x + 4, kBoardRow + 4, it.label, "class=\"tick\"");
          board_right = x + 4 + 5.5 * static_cast<double>(it.label.size());
        }
        break;
      case SceneKind::kIndicationBoard:
        Titled(s, "<rect class=\"indication\" x=\"" + F(x - 2.5) + "\" y=\"" + F(kIndicationRow - 7) +
                      "\" width=\"5\" height=\"14\"", it.words);
        if (x > text_right + 4) {
          Text(s, x + 4, kIndicationRow + 4, it.label, "class=\"tick\"");
          text_right = x + 4 + 5.5 * static_cast<double>(it.label.size());
        }
        break;
      case SceneKind::kKmReference:
        break;
    }
  }

  // Kilometres.
  const double km_step = NiceStep(length / 16);
  for (double m = 0; m <= length + 1; m += km_step) {
    Line(s, px(m), kAdhesionBottom, px(m), kAxisTop, "stroke=\"#666\"");
    Text(s, px(m), kAxisTop + 14, F(m / 1000), "text-anchor=\"middle\" class=\"tick\"");
  }
  Text(s, kProfRight, kAxisTop + 34, "kilometres from the start of the line",
       "text-anchor=\"end\" class=\"note\"");
  // Legend.
  double lx = kProfLeft;
  const double ly = kAxisTop + 34;
  s += "<rect class=\"slowdown\" x=\"" + F(lx) + "\" y=\"" + F(ly - 9) + "\" width=\"14\" height=\"10\"/>\n";
  Text(s, lx + 20, ly, "slowdown (km/h), triangle: its warning point", "class=\"note\"");
  lx += 290;
  s += Diamond("limit added", lx + 6, ly - 4) + "/>\n";
  Text(s, lx + 16, ly, "limit marker added by the compiler", "class=\"note\"");
  lx += 235;
  s += Diamond("limit", lx + 6, ly - 4) + "/>\n";
  Text(s, lx + 16, ly, "limit marker", "class=\"note\"");
  lx += 90;
  s += Diamond("reduction", lx + 6, ly - 4) + "/>\n";
  Text(s, lx + 16, ly, "code reduction without a speed", "class=\"note\"");
  Text(s, kPlanLeft, kHeight - 12, "Hover an item for its values.", "class=\"note\"");
}

}  // namespace

std::string XmlText(const std::string& utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default:
        out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
    }
  }
  return out;
}

std::string DrawScenarioSvg(const PlotInput& in) {
  SceneInput scene{in.title, &in.cells, &in.rows, &in.line};
  return DrawScenarioSvg(BuildScene(scene));
}

std::string DrawScenarioSvg(const LineScene& scene) {
  std::string s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + F(kWidth) + "\" height=\"" +
      F(kHeight) + "\" viewBox=\"0 0 " + F(kWidth) + " " + F(kHeight) + "\">\n"
      "<style>\n"
      "text{font-family:'DejaVu Sans',Verdana,Arial,sans-serif;font-size:11px;fill:#222}\n"
      ".title{font-size:18px;font-weight:bold}.head{font-size:14px;font-weight:bold}\n"
      ".note{font-size:11px;fill:#555}.km{font-size:10px;fill:#6a7683}.tick{font-size:10px;fill:#444}\n"
      ".lane{font-size:11px;font-weight:bold;fill:#333}.name{font-size:11px;fill:#1d3557}\n"
      ".track{fill:none;stroke:#2a4d69;stroke-width:2.2;stroke-linejoin:round}\n"
      ".station{fill:#fff;stroke:#c0392b;stroke-width:2}\n"
      ".stationline{stroke:#c0392b;stroke-width:0.7;stroke-dasharray:3 3;opacity:0.7}\n"
      ".leader{stroke:#9aa5b1;stroke-width:0.6}\n"
      ".signal{stroke:#1f6fb2;stroke-width:1.2}.slowdown{fill:#e67e22}\n"
      ".limit{fill:#8e44ad}.reduction{fill:#fff;stroke:#8e44ad;stroke-width:1.5}\n"
      ".limit.added{fill:#fff;stroke:#8e44ad;stroke-width:1.5;stroke-dasharray:2 2}\n"
      ".extent{fill:#c0392b;fill-opacity:0.15;stroke:#c0392b;stroke-width:0.8}.stop{fill:#222}\n"
      ".board{fill:#16a085}.indication{fill:#6d4c41}.hit{fill:#000;fill-opacity:0}\n"
      ".adhesion{fill:none;stroke:#2e86c1;stroke-width:1.4}\n"
      ".speed{fill:none;stroke:#27ae60;stroke-width:1.6}\n"
      ".gradient{fill:#95a5a6;fill-opacity:0.55;stroke:#5d6d7e;stroke-width:0.8}\n"
      "</style>\n"
      "<defs><marker id=\"arrow\" viewBox=\"0 0 10 10\" refX=\"8\" refY=\"5\" markerWidth=\"7\" "
      "markerHeight=\"7\" orient=\"auto\"><path d=\"M0 0L10 5L0 10z\" fill=\"#333\"/></marker></defs>\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
  Text(s, kPlanLeft, 32, scene.title, "class=\"title\"");
  DrawPlan(s, scene.plan, scene.stations);
  DrawProfile(s, scene);
  s += "</svg>\n";
  return s;
}


}  // namespace sb
