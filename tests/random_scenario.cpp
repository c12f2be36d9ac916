#include "random_scenario.h"

#include <random>
#include <set>
#include <vector>

namespace sb::testing {
namespace {

class Dice {
 public:
  explicit Dice(uint32_t seed) : g_(seed) {}
  int64_t In(int64_t lo, int64_t hi) { return std::uniform_int_distribution<int64_t>(lo, hi)(g_); }
  bool Chance(int percent) { return In(1, 100) <= percent; }
  // A multiple of `step` in lo to hi.
  int64_t Step(int64_t lo, int64_t hi, int64_t step) { return step * In((lo + step - 1) / step, hi / step); }
  std::string Name() {
    static const char* const kParts[] = {"MONTE", "SAN", "PIEVE", "BORGO", "VALLE", "PORTO", "CAS\xC8", "PONTE"};
    std::string s = kParts[In(0, 7)];
    s += ' ';
    for (int64_t n = In(3, 9); n > 0; --n) s += static_cast<char>('A' + In(0, 25));
    if (Chance(10)) s += '.';
    return s;
  }

 private:
  std::mt19937 g_;
};

std::string N(int64_t v) { return std::to_string(v); }

// A line built value by value, the dice thrown in the order of the values.
struct Line {
  std::string s;
  explicit Line(std::string key) : s(std::move(key)) {}
  Line& operator()(const char* sep, int64_t v) {
    s += sep;
    s += N(v);
    return *this;
  }
  Line& operator()(const char* sep, const std::string& text) {
    s += sep;
    s += text;
    return *this;
  }
};

}  // namespace

RandomTexts RandomScenarioTexts(uint32_t seed) {
  Dice d(seed);
  const int64_t length = d.In(15000, 90000);
  std::set<int64_t> taken;                               // cells of point items
  auto free_cell = [&](int64_t cell, int64_t around) {
    for (int64_t k = cell - around; k <= cell + around; ++k)
      if (taken.count(k)) return false;
    return true;
  };
  std::vector<std::string> r = {"[generale]", "lunghezza percorso,    " + N(length)};
  const char* const km[] = {"uno", "due", "tre"};
  for (const char* w : km) {
    if (d.Chance(70))
      r.push_back(std::string("progressiva chilometrica ") + w + ",    0,    0,    0");
    else
      r.push_back(Line(std::string("progressiva chilometrica ") + w)(",    ", d.Step(0, 50000, 50))(
                      ",    ", d.Step(0, 200000, 50))(",    ", d.In(0, 2)).s);
  }
  r.push_back("sfondo uno,    " + N(d.In(0, 3)));
  r.push_back("sfondo due,    " + N(d.In(0, 3)));
  r.push_back("sfondo tre,    " + N(d.In(0, 3)));
  {
    Line rep(std::string("ripetizione segnali ") + (d.Chance(50) ? "4" : "9") + " codici");
    rep(",    ", d.Step(0, 3000, 50));
    rep(",    ", d.Chance(20) ? 0 : d.Step(1000, length, 50));
    r.push_back(rep.s);
  }
  r.push_back("[curve]");
  for (int64_t p = d.In(0, 3000); p < length - 200;) {
    const int64_t n = d.In(0, 6000);
    if (p + n > length) break;
    const std::string side = d.Chance(50) ? "curvas" : "curvad";
    r.push_back(Line(side + N(d.In(1, 6)))(",  ", p)(",  ", n).s);
    p += n + (d.Chance(20) ? 0 : d.In(1, 8000));
  }
  r.push_back("[pendenze]");
  r.push_back("pendenza,   0,    " + N(d.In(-3, 3)));
  for (int64_t p = d.Step(50, 8000, 50); p < length; p += d.Step(50, 12000, 50))
    r.push_back("pendenza,  " + N(p) + ",   " + N(d.In(-25, 25)));
  r.push_back("[montagne]");
  // Most stretches apart; some right after the one before or over its end (joined to it).
  for (int64_t p = d.Step(0, 10000, 50); p < length - 1000;) {
    const int64_t e = p + d.Step(100, 5000, 50);
    const int64_t type = d.In(1, 5);
    r.push_back(Line("montagna")(",   ", p)(",  ", e)(",  ", type + (d.Chance(60) ? 10 : 0)).s);
    const int64_t next = d.In(0, 9);
    p = next == 0 ? e : next == 1 ? e - d.Step(50, e - p, 50) : e + d.Step(1000, 20000, 50);
  }
  r.push_back("[cartelli]");
  for (int64_t n = d.In(0, 6); n > 0; --n) {
    const int64_t p = d.Step(500, length, 50), cell = p / 50 + 1;
    if (!free_cell(cell, 0)) continue;
    taken.insert(cell);
    std::string line = "indicatori_vmax,  " + N(p);
    for (int side = 0; side < 2; ++side) {
      for (int k = 0; k < 3; ++k) line += ",  " + N(d.Step(30, 250, 5));
      line += ",  " + N(d.In(0, 3));
    }
    r.push_back(line);
  }
  r.push_back("[indicazioni]");
  for (int64_t n = d.In(0, 3); n > 0; --n) {
    const int64_t p = d.Step(500, length, 50), cell = p / 50 + 1;
    if (!free_cell(cell, 0)) continue;
    taken.insert(cell);
    r.push_back("cartello_indicatore,  " + N(p) + ",   (   " + d.Name() + ")(  KM " + N(p / 1000) + ")");
  }
  r.push_back("[fine]");

  std::vector<std::string> t = {"[generale]", "numero vetture,    " + N(d.In(1, 20)),
                                "percentuale massa frenata,    " + N(d.In(50, 200)), "sabbia,    " + N(d.In(0, 100))};
  t.push_back(Line("orologio")(",    ", d.In(0, 23))("               ", d.In(0, 59))("            ", d.In(0, 59)).s + " ");
  t.push_back("[aderenze]");
  t.push_back("aderenza,   0,    " + N(d.In(60, 100)));
  for (int64_t p = d.Step(1000, 30000, 50); p < length; p += d.Step(1000, 30000, 50))
    t.push_back("aderenza,   " + N(p) + ",    " + N(d.In(40, 100)));
  t.push_back("[vel_limite]");
  t.push_back("velocita,   0,    " + N(d.Step(30, 100, 5)));
  for (int64_t p = d.Step(500, 5000, 50); p < length; p += d.Step(500, 20000, 50))
    t.push_back("velocita,    " + N(p) + ",   " + N(d.Step(30, 250, 5)));
  t.push_back("[stazioni]");
  {
    int64_t previous_end = -1000000;
    int row = 1;
    for (int64_t p = d.Step(0, 3000, 50); p <= length && row < 40; p += d.Step(2000, 20000, 50)) {
      const int kinds[] = {2, 4, 12, 12, 5, 6, 7, 8};
      const int kind = kinds[d.In(0, 7)];
      const int64_t len = d.Step(200, 1500, 100);
      const int64_t col6 = d.Chance(20) ? 1 : 0;
      int64_t start = p - len / 2, end = p + len / 2 + (col6 ? 50 : 0);
      if (kind == 5 || kind == 6) start = p - len, end = p + 150;
      if (kind == 7 || kind == 8) start = p - len, end = p + len;
      if (end <= 150 || start - 350 < previous_end) continue;
      previous_end = end;
      taken.insert(end / 50 - 1);
      Line line("stazione");
      line(",  ", p)(", ", kind)(", ", len)(",  ", d.In(0, 2))(", ", d.In(0, 1))(", ", col6);
      for (int k = 0; k < 7; ++k) line(",", d.In(0, 5));
      line(",  ", d.In(0, 23))(",", d.In(0, 59))(",", d.In(0, 59))(", ", d.Name());
      t.push_back(line.s);
      ++row;
    }
  }
  t.push_back("[rallentamenti]");
  for (int64_t n = d.In(0, 5); n > 0; --n) {
    const int64_t p = d.Step(2000, length - 3000, 50), l = d.Step(0, 2500, 50);
    const int64_t s = p / 50 + 1, e = (p + l) / 50 + 1;
    // Its own cells free; the limit markers of the compile may still find no room.
    bool ok = free_cell(s, 0) && free_cell(e, 0) && free_cell(s - 26, 2);
    if (!ok) continue;
    for (int64_t k : {s, e, s - 24, s - 25, s - 26, s - 27, s - 28}) taken.insert(k);
    Line line("rallentamento");
    line(",  ", p)(",  ", d.Step(30, 150, 10))(",  ", l)(",  ", d.In(0, 2))(",  ", d.In(0, 1));
    line(",  ", d.Chance(50) ? 0 : d.In(1, 3));
    t.push_back(line.s);
  }
  t.push_back("[segnali]");
  for (int64_t p = d.Step(400, 3000, 50); p < length; p += d.Step(d.Chance(15) ? 100 : 1000, 4000, 50)) {
    const int64_t cell = p / 50 + 1;
    if (!free_cell(cell, 0)) continue;
    taken.insert(cell);
    const int64_t sx = d.In(1, 2);
    Line line("segnale");
    line(",  ", p)(",   ", sx);
    for (int k = 0; k < 3; ++k) line(", ", d.In(0, 4));
    line(",  ", d.Chance(80) ? 0 : 1)(",    ", d.In(0, 2));
    for (int k = 0; k < 3; ++k) line(",", d.In(0, 4));
    line(", ", d.Chance(70) ? 0 : d.In(0, 200));
    t.push_back(line.s);
  }
  t.push_back("[codici]");
  for (int64_t n = d.In(0, 6); n > 0; --n) {
    const int64_t p = d.Step(1000, length, 50), cell = p / 50;
    if (!free_cell(cell, 0)) continue;
    taken.insert(cell);
    t.push_back("abbattimento,  " + N(p) + ",   " + (d.Chance(50) ? std::string("AC") : N(d.Step(30, 250, 10))));
  }
  t.push_back("[fine]");

  RandomTexts out;
  for (const std::string& l : r) out.route += l + "\r\n";
  for (const std::string& l : t) out.train += l + "\r\n";
  return out;
}

}  // namespace sb::testing
