#include "authoring/decompile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string_view>

#include "compiler/binary_decode.h"
#include "compiler/compile.h"
#include "io/file_system.h"
#include "model/form1.h"
#include "model/line_grid.h"
#include "model/rounding.h"
#include "readers/route_features.h"

namespace sb {
namespace {

// ---- Compiling in memory ------------------------------------------------------------------

// A folder in memory that holds the two texts and receives the binary files.
class TextFolder : public FileSystem {
 public:
  bool Exists(const std::string& path) override { return files.count(path) != 0; }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    auto it = files.find(path);
    if (it == files.end()) {
      *err = "no such file";
      return false;
    }
    *contents = it->second;
    return true;
  }
  bool ReplaceFiles(const std::vector<FileToWrite>& list, ReplaceError*) override {
    for (const FileToWrite& f : list) {
      std::string bytes;
      bytes.reserve(f.size);
      f.produce([&](std::string_view piece) { bytes.append(piece); });
      files[f.path] = std::move(bytes);
    }
    return true;
  }
  bool RemoveFile(const std::string& path, std::string*) override {
    files.erase(path);
    return true;
  }
  bool MakeFolders(const std::string&, std::string*) override { return true; }
  std::unique_ptr<FolderLock> LockFolder(const std::string&, std::chrono::milliseconds) override {
    return std::make_unique<FolderLock>();
  }

  std::map<std::string, std::string> files;
};

// ---- Text layout --------------------------------------------------------------------------

std::string Num(int64_t v) { return std::to_string(v); }

// Lines of one section, their columns aligned: "key," then each value right-aligned, at
// least `gap` blanks before it; a last column of text follows ", ".
class Block {
 public:
  // `text_gap`: the blanks before a last column of text; none when the last column is a value.
  explicit Block(size_t gap = 2, size_t text_gap = 0) : gap_(gap), text_gap_(text_gap) {}
  void Add(std::vector<std::string> row) { rows_.push_back(std::move(row)); }
  bool Empty() const { return rows_.empty(); }

  void RenderTo(std::vector<std::string>* out) const {
    std::vector<size_t> width;
    for (const auto& r : rows_)
      for (size_t i = 0; i < r.size(); ++i) {
        if (width.size() <= i) width.push_back(0);
        width[i] = std::max(width[i], r[i].size());
      }
    for (const auto& r : rows_) {
      std::string line = r[0] + ",";
      line.append(width[0] - r[0].size(), ' ');
      for (size_t i = 1; i < r.size(); ++i) {
        if (i > 1) line += ',';
        if (text_gap_ > 0 && i + 1 == r.size()) {
          line.append(text_gap_, ' ');
          line += r[i];
        } else {
          line.append(gap_ + width[i] - r[i].size(), ' ');
          line += r[i];
        }
      }
      out->push_back(std::move(line));
    }
  }

 private:
  size_t gap_;
  size_t text_gap_;
  std::vector<std::vector<std::string>> rows_;
};

// ---- What the files hold ------------------------------------------------------------------

struct Model {
  std::vector<TrackCell> cells;
  std::vector<StationRecord> rows;  // 87 rows
  bool hasLine = false;
  std::vector<Variant> elements;    // line data file: x block, then y block
  int64_t last = 0;                 // CellCount: the index of the last cell
  int64_t routeLength = 0;
  // The train text lists the signals before the stations, whose approach marks then win
  // where the two meet.
  bool signalsFirst = false;

  int64_t LastPoint() const { return static_cast<int64_t>(elements.size() / 2) - 1; }
  const Variant& X(int64_t m) const { return elements[static_cast<size_t>(m)]; }
  const Variant& Y(int64_t m) const { return elements[static_cast<size_t>(LastPoint() + 1 + m)]; }
};

// ---- Runs of cells: gradients, speed limits, adhesion --------------------------------------

// The lines (cell, value) that fill values[0..last] as a fill of the readers does: a line at
// cell k > 0 fills from the fill cursor up to cell k - 1, at least one cell, with the value
// in force, and its own value is in force after it; at the end of the text the value in
// force fills up to cell last - 3, at least one cell. The last three cells keep 0 unless
// lines reach them: lines at the last cell a line may name (last - 2) each fill one more.
std::vector<std::pair<int64_t, int64_t>> FillLines(const std::vector<int64_t>& v, int64_t last) {
  std::vector<std::pair<int64_t, int64_t>> lines;
  int64_t filled_to = last - 3;  // the last cell the fill reaches
  for (int64_t k = last; k > last - 3; --k)
    if (v[static_cast<size_t>(k)] != 0) {
      filled_to = k;
      break;
    }
  lines.emplace_back(0, v[0]);
  for (int64_t k = 1; k <= std::min(filled_to, last - 3); ++k)
    if (v[static_cast<size_t>(k)] != v[static_cast<size_t>(k - 1)]) lines.emplace_back(k, v[static_cast<size_t>(k)]);
  for (int64_t k = last - 2; k <= filled_to; ++k) lines.emplace_back(last - 2, v[static_cast<size_t>(k)]);
  return lines;
}

// ---- The route text -----------------------------------------------------------------------

bool SameBits(const Variant& a, const Variant& b) {
  if (a.tag != b.tag) return false;
  if (a.tag == Variant::kInteger) return a.i == b.i;
  if (a.tag == Variant::kDouble) return std::memcmp(&a.d, &b.d, sizeof a.d) == 0;
  return true;
}

constexpr double kCurvatures[] = {0.0001, 0.0002, 0.0004, 0.001, 0.002, 0.003};

// The curvature of each step of the plan, from point 2 on: the one whose step gives the
// stored point bit for bit (the step before first when several do), or the nearest.
std::vector<double> StepCurvatures(const Model& m) {
  std::vector<double> c;
  const int64_t last = m.LastPoint();
  std::vector<double> candidates = {0.0};
  for (double k : kCurvatures) {
    candidates.push_back(k);
    candidates.push_back(-k);
  }
  double previous = 0.0;
  for (int64_t i = 2; i <= last; ++i) {
    if (m.X(i).tag == Variant::kEmpty) break;  // the straight extension stops at the end
    const double x0 = m.X(i - 2).AsDouble(), y0 = m.Y(i - 2).AsDouble();
    const double x1 = m.X(i - 1).AsDouble(), y1 = m.Y(i - 1).AsDouble();
    auto step = [&](double k) {
      double x, y;
      PlanStep(x0, y0, x1, y1, k, &x, &y);
      return std::make_pair(Variant::Double(x), Variant::Double(y));
    };
    auto exact = [&](double k) {
      auto [x, y] = step(k);
      return SameBits(x, m.X(i)) && SameBits(y, m.Y(i));
    };
    double chosen = previous;
    if (!exact(previous)) {
      double best = INFINITY;
      for (double k : candidates) {
        if (exact(k)) {
          chosen = k;
          break;
        }
        auto [x, y] = step(k);
        double d = std::hypot(x.d - m.X(i).AsDouble(), y.d - m.Y(i).AsDouble());
        if (d < best) {
          best = d;
          chosen = k;
        }
      }
    }
    c.push_back(chosen);
    previous = chosen;
  }
  return c;
}

std::string CurveKey(double c) {
  const double a = std::fabs(c);
  int digit = 1;
  for (int k = 0; k < 6; ++k)
    if (kCurvatures[k] == a) digit = k + 1;
  return std::string(c < 0 ? "curvas" : "curvad") + static_cast<char>('0' + digit);
}

// A speed board value v = vas × 20 + vad / 5 as (vas, vad): vad a multiple of 5, the pair
// as near to each other as the packing allows.
std::pair<int64_t, int64_t> UnpackBoard(int64_t v) {
  const int64_t r = ((v % 20) + 20) % 20;
  std::pair<int64_t, int64_t> best{0, 0};
  int64_t best_cost = INT64_MAX;
  for (int64_t q = r; q <= r + 20 * 200; q += 20) {
    const int64_t vas = (v - q) / 20, vad = 5 * q;
    const int64_t cost = std::llabs(vad - vas);
    if (cost < best_cost) {
      best_cost = cost;
      best = {vas, vad};
    }
  }
  return best;
}

// v as a digit pair (v div 10, v mod 10), the second digit in 0 to 9.
std::pair<int64_t, int64_t> Digits(int64_t v) {
  int64_t hi = v >= 0 ? v / 10 : -((-v + 9) / 10);
  return {hi, v - 10 * hi};
}

bool RowCleared(const StationRecord& r) { return r == StationRecord(); }

// A row that holds a text and nothing else: the text of an indication board.
bool TextOnly(const StationRecord& r) {
  StationRecord numbers = r;
  numbers.name.clear();
  return !r.name.empty() && RowCleared(numbers);
}

// Rows that hold the text of an indication board placed in a cell.
std::set<int64_t> BoardRows(const Model& m) {
  std::set<int64_t> rows;
  for (const TrackCell& c : m.cells)
    if (c.cellType == kCellIndicationBoard) rows.insert(c.value1);
  return rows;
}

// Stations take rows 1 upward; a station always has a number that is not 0.
int64_t StationCount(const Model& m) {
  const std::set<int64_t> boards = BoardRows(m);
  int64_t r = 1;
  while (r < kFirstBoardRow && !RowCleared(m.rows[static_cast<size_t>(r)]) &&
         !TextOnly(m.rows[static_cast<size_t>(r)]) && !boards.count(r))
    ++r;
  return r - 1;
}

// Cells where a station's stop mark overwrote a speed board pair: its type and first value
// are the mark's, the other values the boards'.
std::set<int64_t> BoardsUnderStops(const Model& m) {
  std::set<int64_t> cells;
  for (int64_t k = 0; k <= m.last; ++k) {
    const TrackCell& c = m.cells[static_cast<size_t>(k)];
    if (c.cellType == kCellStationStop && c.value5 == 0 && (c.value2 != 0 || c.value3 != 0 || c.value4 != 0))
      cells.insert(k);
  }
  return cells;
}

// The input lines of the three kilometric references that progressive_ordina turns into
// rows 81 to 83 as stored: entries for (uno, due, tre).
std::array<std::array<int32_t, 3>, 3> KilometricLines(const Model& m) {
  const int rows[3] = {kRowKmTre, kRowKmDue, kRowKmUno};
  std::array<std::array<int32_t, 3>, 3> stored;
  for (int i = 0; i < 3; ++i) {
    const StationRecord& r = m.rows[static_cast<size_t>(rows[i])];
    stored[static_cast<size_t>(i)] = {r.extentStart, r.position == 1 ? static_cast<int32_t>(r.extentEnd - 100) : r.extentEnd,
                                      r.position};
  }
  std::array<int, 3> perm = {0, 1, 2};  // input of tre, due, uno taken from stored entry perm[i]
  do {
    Form1 f;
    for (int i = 0; i < 3; ++i) {
      StationRecord& r = f.StationTable[static_cast<size_t>(rows[i])];
      const auto& e = stored[static_cast<size_t>(perm[static_cast<size_t>(i)])];
      r.extentStart = e[0];
      r.extentEnd = e[1];
      r.position = e[2];
    }
    progressive_ordina(f);
    bool same = true;
    for (int i = 0; i < 3; ++i) {
      const StationRecord& a = f.StationTable[static_cast<size_t>(rows[i])];
      const StationRecord& b = m.rows[static_cast<size_t>(rows[i])];
      same = same && a.extentStart == b.extentStart && a.extentEnd == b.extentEnd && a.position == b.position;
    }
    if (same) {
      std::array<std::array<int32_t, 3>, 3> lines;
      for (int i = 0; i < 3; ++i) lines[static_cast<size_t>(2 - i)] = stored[static_cast<size_t>(perm[static_cast<size_t>(i)])];
      return lines;
    }
  } while (std::next_permutation(perm.begin(), perm.end()));
  return {stored[2], stored[1], stored[0]};
}

// A mountain stretch over cells first to last, of one type, with or without markers.
struct Stretch {
  int64_t first, last;
  int64_t type;
  bool markers;
  int64_t needed;  // the last cell whose marker only this stretch gives
};

// The stretches that give the cells' mountain types and markers. Each run of one type
// starts a stretch, which covers the run at least. A later stretch overwrites the type of
// an earlier one, but not its markers, and marks only cells that are still empty: so a
// marker off the pattern of the stretch in force (every fourth cell from its start) comes
// from an earlier stretch that reached over it, or else from a stretch that starts three
// cells before it; an empty cell on the pattern of a stretch with markers ends it.
std::vector<Stretch> MountainStretches(const Model& m) {
  auto cell = [&](int64_t k) -> const TrackCell& { return m.cells[static_cast<size_t>(k)]; };
  auto on = [](const Stretch& s, int64_t k) { return k >= s.first && (k - s.first) % 4 == 3; };
  std::vector<Stretch> out;
  for (int64_t c = 0; c <= m.last;) {
    if (cell(c).mountain == 0) {
      ++c;
      continue;
    }
    int64_t block_end = c;
    while (block_end + 1 <= m.last && cell(block_end + 1).mountain != 0) ++block_end;
    const size_t block_first = out.size();
    auto start = [&](int64_t s) {
      int64_t r = s;
      while (r + 1 <= block_end && cell(r + 1).mountain == cell(s).mountain) ++r;
      // With markers when a marker comes first on its pattern; then it ends before the first
      // empty cell there, and another stretch goes on from that cell.
      bool markers = false;
      for (int64_t k = s + 3; k <= r; k += 4) {
        if (cell(k).cellType == kCellMountainMarker) markers = true;
        if (cell(k).cellType != kCellEmpty) continue;
        if (markers) r = k - 1;
        break;
      }
      out.push_back(Stretch{s, r, cell(s).mountain, markers, s});
    };
    start(c);
    for (int64_t x = c + 1; x <= block_end; ++x) {
      if (x > out.back().last) start(x);
      if (cell(x).cellType != kCellMountainMarker) continue;
      Stretch& now = out.back();
      if (now.markers && on(now, x)) {
        now.needed = x;
        continue;
      }
      bool explained = false;
      for (size_t j = out.size() - 1; j-- > block_first && !explained;) {
        Stretch& p = out[j];
        if (!on(p, x)) continue;
        // No empty cell on its pattern where it would reach (from its start when it had no
        // markers yet).
        bool clear = true;
        for (int64_t k = p.markers ? p.last + 1 : p.first; k <= x && clear; ++k)
          clear = !(on(p, k) && cell(k).cellType == kCellEmpty);
        if (clear) {
          p.markers = true;
          p.last = std::max(p.last, x);
          p.needed = x;
          explained = true;
        }
      }
      if (explained) continue;
      const int64_t s = x - 3;
      if (s > now.first && cell(s).mountain == now.type) {
        now.last = std::max(s - 1, now.needed);
        start(s);
        out.back().needed = x;
      } else if (s < now.first && now.needed == now.first && out.size() > block_first + 1 &&
                 s > out[out.size() - 2].first && cell(s).mountain == now.type) {
        // The stretch in force starts three cells before the marker instead, the one
        // before it ending there.
        out.pop_back();
        Stretch& before = out.back();
        before.last = std::max(s - 1, before.needed);
        start(s);
        out.back().needed = x;
      }
    }
    c = block_end + 1;
  }
  return out;
}

std::vector<std::string> RouteText(const Model& m) {
  std::vector<std::string> out;
  std::string note =
      "-- decompiled from the binary files: comments, blank lines and the order of the lines "
      "are not recovered; speed board values come as the pair nearest each other that packs the same, "
      "and a pair under a station's stop mark with 0 for what the mark overwrote";
  if (!m.hasLine) note += "; there was no line data file, so the curves are unknown: compile with --no-line-data";
  out.push_back(note);
  out.push_back("[generale]");
  out.push_back("lunghezza percorso,    " + Num(m.routeLength));
  const auto km = KilometricLines(m);
  const char* const km_names[3] = {"uno", "due", "tre"};
  for (int i = 0; i < 3; ++i) {
    const auto& e = km[static_cast<size_t>(i)];
    out.push_back(std::string("progressiva chilometrica ") + km_names[i] + ",    " + Num(e[0]) + ",    " +
                  Num(e[1]) + ",    " + Num(e[2]));
  }
  const StationRecord& line = m.rows[kRowLine];
  out.push_back("sfondo uno,    " + Num(line.extentStart));
  out.push_back("sfondo due,    " + Num(line.position));
  out.push_back("sfondo tre,    " + Num(line.extentEnd));
  const StationRecord& rep = m.rows[kRowSignals];
  out.push_back(std::string("ripetizione segnali ") + (rep.position == 4 ? "4" : "9") + " codici,    " +
                Num(rep.extentStart) + ",    " + Num(rep.extentEnd));

  // Curves: runs of steps of one curvature, each a curve line whose straight run up to it
  // is the straight steps before it. A run that starts where no line may start is written
  // from the last position a line may have, behind the cursor: it bends from the cursor on.
  if (m.hasLine) {
    out.push_back("[curve]");
    Block curves;
    const std::vector<double> c = StepCurvatures(m);
    const int64_t latest_start = 50 * m.last - 100;
    for (size_t i = 0; i < c.size();) {
      size_t j = i;
      while (j + 1 < c.size() && c[j + 1] == c[i]) ++j;
      if (c[i] != 0.0) {
        const int64_t first = static_cast<int64_t>(i) + 2, last = static_cast<int64_t>(j) + 2;
        const int64_t s = std::min(first - 1, latest_start);
        curves.Add({CurveKey(c[i]), Num(s), Num(last - s)});
      }
      i = j + 1;
    }
    curves.RenderTo(&out);
  }

  out.push_back("[pendenze]");
  {
    std::vector<int64_t> g;
    for (const TrackCell& cell : m.cells) g.push_back(cell.gradient);
    Block b;
    for (const auto& [k, v] : FillLines(g, m.last)) b.Add({"pendenza", Num(50 * k), Num(v - 100)});
    b.RenderTo(&out);
  }

  // Mountain stretches in the order of their starts. A stretch that starts within 150 m of
  // the end of the one before it in the text is joined (type 3); a stretch of no cells
  // ending far before the line keeps one that is not from being joined.
  out.push_back("[montagne]");
  {
    Block b;
    int64_t previous_end = INT64_MIN / 2;
    for (const Stretch& st : MountainStretches(m)) {
      const int64_t start = 50 * st.first, end = 50 * (st.last + 1);
      if (start - previous_end <= 150 && st.type != 3) b.Add({"montagna", "0", "-1000", "0"});
      const int64_t tipo = st.markers ? st.type + 10 : (st.type > 10 ? st.type - 256 : st.type);
      b.Add({"montagna", Num(start), Num(end), Num(tipo)});
      previous_end = end;
    }
    b.RenderTo(&out);
  }

  out.push_back("[cartelli]");
  {
    const std::set<int64_t> under = BoardsUnderStops(m);
    Block b;
    for (int64_t k = 0; k <= m.last; ++k) {
      const TrackCell& c = m.cells[static_cast<size_t>(k)];
      const bool under_stop = under.count(k) != 0;
      if (c.cellType != kCellSpeedBoards && !under_stop) continue;
      auto [vas, vad] = UnpackBoard(under_stop ? 0 : c.value1);
      auto [vbs, vbd] = UnpackBoard(c.value2);
      auto [vcs, vcd] = UnpackBoard(c.value3);
      auto [ss, sd] = Digits(c.value4);
      b.Add({"indicatori_vmax", Num(50 * (k - 1)), Num(vas), Num(vbs), Num(vcs), Num(ss), Num(vad), Num(vbd),
             Num(vcd), Num(sd)});
    }
    b.RenderTo(&out);
  }

  // Indication boards in the order of their rows, 80 first. A board whose cell a station's
  // stop mark took later left only its text: it goes to a stop mark's cell again.
  out.push_back("[indicazioni]");
  {
    std::map<int64_t, int64_t> cell_of_row;
    for (int64_t k = 0; k <= m.last; ++k)
      if (m.cells[static_cast<size_t>(k)].cellType == kCellIndicationBoard)
        cell_of_row[m.cells[static_cast<size_t>(k)].value1] = k;
    const int64_t stations = StationCount(m);
    int64_t lowest = kFirstBoardRow + 1;
    for (const auto& [row, k] : cell_of_row) lowest = std::min(lowest, row);
    for (int64_t r = stations + 1; r <= kFirstBoardRow; ++r)
      if (TextOnly(m.rows[static_cast<size_t>(r)])) lowest = std::min(lowest, r);
    std::vector<int64_t> stop_cells;
    const std::set<int64_t> under = BoardsUnderStops(m);
    for (int64_t k = m.last; k >= 0; --k)
      if (m.cells[static_cast<size_t>(k)].cellType == kCellStationStop && !under.count(k)) stop_cells.push_back(k);
    Block b(2, 3);
    for (int64_t row = kFirstBoardRow; row >= lowest; --row) {
      int64_t k;
      if (auto it = cell_of_row.find(row); it != cell_of_row.end()) {
        k = it->second;
      } else if (!stop_cells.empty()) {
        k = stop_cells.back();
        stop_cells.pop_back();
      } else {
        continue;
      }
      const std::string text = row >= 0 && row < kStationRows ? m.rows[static_cast<size_t>(row)].name : "";
      b.Add({"cartello_indicatore", Num(50 * (k - 1)), text});
    }
    b.RenderTo(&out);
  }
  out.push_back("[fine]");
  return out;
}

// ---- The train text -----------------------------------------------------------------------

void StationLines(const Model& m, std::vector<std::string>* out) {
  Block b(1, 1);
  const int64_t stations = StationCount(m);
  for (int64_t r = 1; r <= stations; ++r) {
    const StationRecord& s = m.rows[static_cast<size_t>(r)];
    const int64_t p = s.position;
    int64_t length;
    int64_t column6 = s.stationFlag3;
    if (s.kind == 5 || s.kind == 6 || s.kind == 7 || s.kind == 8) {
      length = p - s.extentStart;
    } else {
      length = 2 * (p - s.extentStart);
      // The first station's column 6 is cleared after it lengthened the extent.
      if (column6 == 0 && s.extentEnd == p + length / 2 + 50) column6 = 1;
    }
    int64_t t = s.timetableSeconds, hour = 0, minute = 0, second = t;
    if (t >= 0) {
      hour = t / 3600;
      minute = t % 3600 / 60;
      second = t % 60;
    }
    b.Add({"stazione", Num(p), Num(s.kind), Num(length), Num(s.stationFlag1), Num(s.stationFlag2), Num(column6),
           Num(s.stationValue1), Num(s.stationValue2), Num(s.stationFlag4), Num(s.stationValue3),
           Num(s.stationValue4), Num(s.stationValue5), Num(s.stationFlag5), Num(hour), Num(minute), Num(second),
           s.name});
  }
  b.RenderTo(out);
}

// Slowdowns: each start with the first end after it that carries its speed and its two
// values and no other start took; without one, the slowdown is shorter than a cell.
void SlowdownLines(const Model& m, std::vector<std::string>* out) {
  Block b;
  std::set<int64_t> ends_taken;
  for (int64_t i = 0; i <= m.last; ++i) {
    const TrackCell& s = m.cells[static_cast<size_t>(i)];
    if (s.cellType != kCellSlowdownStart) continue;
    int64_t e = i;
    for (int64_t k = i + 1; k <= m.last; ++k) {
      const TrackCell& c = m.cells[static_cast<size_t>(k)];
      if (c.cellType == kCellSlowdownEnd && !ends_taken.count(k) && c.value1 == s.value1 &&
          c.value2 == s.value2 && c.value3 == s.value3) {
        e = k;
        ends_taken.insert(k);
        break;
      }
    }
    const int64_t pos = 50 * (i - 1);
    int64_t preannounce = 0;
    if (pos > 1500) {
      const int64_t p = i - 25;
      preannounce = 1;
      for (int64_t k = 0; k <= 3; ++k)
        if (p - k < 0 || m.cells[static_cast<size_t>(p - k)].cellType != kCellSlowdownPreannounce) preannounce = 0;
    }
    b.Add({"rallentamento", Num(pos), Num(s.value1), Num(50 * (e - i)), Num(s.value3), Num(preannounce),
           Num(s.value2)});
  }
  b.RenderTo(out);
}

void SignalLines(const Model& m, std::vector<std::string>* out) {
  std::vector<int64_t> signals;
  for (int64_t i = 0; i <= m.last; ++i)
    if (m.cells[static_cast<size_t>(i)].cellType == kCellSignal) signals.push_back(i);
  // The approach marks of a signal are overwritten by those of the signals after it: the
  // marks of each are read from the cells that no later signal marks.
  std::set<int64_t> claimed;
  std::vector<std::vector<std::string>> rows(signals.size());
  for (size_t n = signals.size(); n-- > 0;) {
    const int64_t i = signals[n];
    const TrackCell& c = m.cells[static_cast<size_t>(i)];
    std::map<int64_t, int> votes;  // sx × 30 + dx × 10, low 8 bits
    for (int64_t k = 1; k <= 4; ++k) {
      const int64_t cell = i - 2 * k;
      if (cell < 0 || claimed.count(cell)) continue;
      ++votes[(m.cells[static_cast<size_t>(cell)].approachMark - k + 256) % 256];
      claimed.insert(cell);
    }
    for (int64_t k = 1; k <= 4; ++k) claimed.insert(i - 2 * k);
    std::optional<int64_t> mark;
    int most = 0;
    for (const auto& [v, count] : votes)
      if (count > most) {
        most = count;
        mark = v;
      }
    // sx, dx and rapp with value4 = rapp × 10 + sx × 3 + dx and the marks sx × 30 + dx × 10 + k.
    const int sx_order[] = {2, 1, 3, 4, 5, 6, 7, 8, 9, 0};
    const int dx_order[] = {2, 0, 1, 3, 4, 5, 6, 7, 8, 9};
    int64_t sx = 2, dx = 0, rapp = 0;
    bool found = false;
    for (int pass = 0; pass < 2 && !found; ++pass)
      for (int a : sx_order) {
        if (found) break;
        if (c.value5 != 0 && a != 2) continue;
        for (int d : dx_order) {
          if (pass == 0 && mark && (30 * a + 10 * d) % 256 != *mark) continue;
          const int64_t rest = c.value4 - 3 * a - d;
          if (rest % 10 != 0) continue;
          sx = a;
          dx = d;
          rapp = rest / 10;
          found = true;
          break;
        }
      }
    auto [s1, d1] = Digits(c.value1);
    auto [s2, d2] = Digits(c.value2);
    auto [s3, d3] = Digits(c.value3);
    int64_t tempo = c.value5;
    if (tempo >= 1 && tempo <= 100) tempo += 256;  // 1 to 100 would be raised to 101
    rows[n] = {"segnale", Num(50 * (i - 1)), Num(sx), Num(s1), Num(s2), Num(s3), Num(rapp), Num(dx), Num(d1),
               Num(d2), Num(d3), Num(tempo)};
  }
  Block b;
  for (auto& r : rows) b.Add(std::move(r));
  b.RenderTo(out);
}

std::vector<std::string> TrainText(const Model& m, const std::set<int64_t>& code_limits) {
  std::vector<std::string> out;
  out.push_back(
      "-- decompiled from the binary files: comments, blank lines and the order of the lines are not "
      "recovered, nor what the compile overwrote (column 6 of the first station and of kinds 5 to 8, "
      "column 5 of stations shorter than 600 m, code reduction speeds above 180 lowered near signals); "
      "the limit markers around slowdowns and the fixed stamps and codes are left to the compile" +
      std::string(m.signalsFirst ? "; the signals come before the stations, whose approach marks lie over theirs"
                                 : ""));
  out.push_back("[generale]");
  const StationRecord& train = m.rows[kRowTrain];
  const StationRecord& sig = m.rows[kRowSignals];
  out.push_back("numero vetture,    " + Num(train.position));
  out.push_back("percentuale massa frenata,    " + Num(train.extentStart));
  out.push_back("sabbia,    " + Num(sig.stationValue1));
  {
    std::string h = Num(sig.stationValue3), mi = Num(sig.stationValue4), s = Num(sig.stationValue5);
    std::string line = "orologio,    " + h;
    line.append(mi.size() < 17 ? 17 - mi.size() : 1, ' ');
    line += mi;
    line.append(s.size() < 14 ? 14 - s.size() : 1, ' ');
    line += s + " ";
    out.push_back(line);
  }
  out.push_back("[aderenze]");
  {
    std::vector<int64_t> a;
    for (const TrackCell& c : m.cells) a.push_back(c.adhesion);
    Block b;
    for (const auto& [k, v] : FillLines(a, m.last)) b.Add({"aderenza", Num(50 * k), Num(v)});
    b.RenderTo(&out);
  }
  out.push_back("[vel_limite]");
  {
    std::vector<int64_t> s;
    for (const TrackCell& c : m.cells) s.push_back(c.speedLimit);
    Block b;
    for (const auto& [k, v] : FillLines(s, m.last)) b.Add({"velocita", Num(50 * k), Num(5 * v)});
    b.RenderTo(&out);
  }
  if (m.signalsFirst) {
    out.push_back("[segnali]");
    SignalLines(m, &out);
  }
  out.push_back("[stazioni]");
  StationLines(m, &out);
  out.push_back("[rallentamenti]");
  SlowdownLines(m, &out);
  if (!m.signalsFirst) {
    out.push_back("[segnali]");
    SignalLines(m, &out);
  }
  out.push_back("[codici]");
  {
    Block b;
    for (int64_t k = 0; k <= m.last; ++k) {
      const TrackCell& c = m.cells[static_cast<size_t>(k)];
      if (c.cellType == kCellCodeReduction)
        b.Add({"abbattimento", Num(50 * k), "AC"});
      else if (c.cellType == kCellLimitMarker && code_limits.count(k))
        b.Add({"abbattimento", Num(50 * k), Num(c.value1)});
    }
    b.RenderTo(&out);
  }
  out.push_back("[fine]");
  return out;
}

// ---- Comparing ----------------------------------------------------------------------------

std::string Said(int64_t want, int64_t got) {
  return "is " + Num(want) + " in the file, " + Num(got) + " from the texts";
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

void CompareTrack(const std::string& want_bytes, const std::string& got_bytes, std::vector<FileDifference>* out) {
  std::vector<TrackCell> want, got;
  std::string err;
  DecodeTrack(want_bytes, &want, &err);
  DecodeTrack(got_bytes, &got, &err);
  auto add = [&](std::string what) { out->push_back({ScenarioFile::kTrack, std::move(what)}); };
  if (want.size() != got.size())
    add("the file has " + Num(static_cast<int64_t>(want.size())) + " cells, the texts give " +
        Num(static_cast<int64_t>(got.size())));
  const size_t n = std::min(want.size(), got.size());
  for (size_t k = 0; k < n; ++k) {
    const TrackCell& a = want[k];
    const TrackCell& b = got[k];
    const std::pair<const char*, std::pair<int64_t, int64_t>> fields[] = {
        {"cellType", {a.cellType, b.cellType}},       {"value1", {a.value1, b.value1}},
        {"value2", {a.value2, b.value2}},             {"value3", {a.value3, b.value3}},
        {"value4", {a.value4, b.value4}},             {"value5", {a.value5, b.value5}},
        {"approachMark", {a.approachMark, b.approachMark}}, {"mountain", {a.mountain, b.mountain}},
        {"speedLimit", {a.speedLimit, b.speedLimit}}, {"gradient", {a.gradient, b.gradient}},
        {"adhesion", {a.adhesion, b.adhesion}}};
    std::string what;
    for (const auto& [name, v] : fields)
      if (v.first != v.second) what += std::string(what.empty() ? "" : "; ") + name + " " + Said(v.first, v.second);
    if (!what.empty()) add("cell " + Num(static_cast<int64_t>(k)) + " (" + Num(50 * static_cast<int64_t>(k)) + " m): " + what);
  }
}

void CompareSettings(const std::string& want_bytes, const std::string& got_bytes, std::vector<FileDifference>* out) {
  std::vector<StationRecord> want, got;
  std::string err;
  DecodeTrainSettings(want_bytes, &want, &err);
  DecodeTrainSettings(got_bytes, &got, &err);
  auto add = [&](std::string what) { out->push_back({ScenarioFile::kTrainSettings, std::move(what)}); };
  if (want.size() != got.size())
    add("the file has " + Num(static_cast<int64_t>(want.size())) + " rows, the texts give " +
        Num(static_cast<int64_t>(got.size())));
  const size_t n = std::min(want.size(), got.size());
  for (size_t r = 0; r < n; ++r) {
    const StationRecord& a = want[r];
    const StationRecord& b = got[r];
    const std::pair<const char*, std::pair<int64_t, int64_t>> fields[] = {
        {"kind", {a.kind, b.kind}},
        {"extentStart", {a.extentStart, b.extentStart}},
        {"extentEnd", {a.extentEnd, b.extentEnd}},
        {"position", {a.position, b.position}},
        {"stationFlag1", {a.stationFlag1, b.stationFlag1}},
        {"stationValue1", {a.stationValue1, b.stationValue1}},
        {"stationValue2", {a.stationValue2, b.stationValue2}},
        {"stationValue3", {a.stationValue3, b.stationValue3}},
        {"stationValue4", {a.stationValue4, b.stationValue4}},
        {"stationValue5", {a.stationValue5, b.stationValue5}},
        {"stationFlag4", {a.stationFlag4, b.stationFlag4}},
        {"stationFlag5", {a.stationFlag5, b.stationFlag5}},
        {"stationFlag3", {a.stationFlag3, b.stationFlag3}},
        {"stationFlag2", {a.stationFlag2, b.stationFlag2}},
        {"timetableSeconds", {a.timetableSeconds, b.timetableSeconds}}};
    std::string what;
    for (const auto& [name, v] : fields)
      if (v.first != v.second) what += std::string(what.empty() ? "" : "; ") + name + " " + Said(v.first, v.second);
    if (a.name != b.name)
      what += std::string(what.empty() ? "" : "; ") + "name is " + Quote(a.name) + " in the file, " + Quote(b.name) +
              " from the texts";
    if (!what.empty()) add("row " + Num(static_cast<int64_t>(r)) + ": " + what);
  }
}

std::string PointText(const Variant& x, const Variant& y) {
  auto one = [](const Variant& v) {
    if (v.tag == Variant::kEmpty) return std::string("empty");
    if (v.tag == Variant::kInteger) return Num(v.i);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v.d);
    return std::string(buf);
  };
  return "(" + one(x) + ", " + one(y) + ")";
}

void CompareLine(const std::optional<std::string>& want_bytes, const std::optional<std::string>& got_bytes,
                 std::vector<FileDifference>* out) {
  auto add = [&](std::string what) { out->push_back({ScenarioFile::kLineData, std::move(what)}); };
  if (!want_bytes && !got_bytes) return;
  if (!want_bytes) return add("there is no line data file, the texts give one");
  if (!got_bytes) return add("the texts give no line data file");
  if (*want_bytes == *got_bytes) return;
  std::vector<Variant> want, got;
  std::string err;
  DecodeLineData(*want_bytes, &want, &err);
  DecodeLineData(*got_bytes, &got, &err);
  const int64_t nw = static_cast<int64_t>(want.size() / 2), ng = static_cast<int64_t>(got.size() / 2);
  if (nw != ng) add("the file has " + Num(nw) + " points, the texts give " + Num(ng));
  const int64_t n = std::min(nw, ng);
  auto differs = [&](int64_t m) {
    return !SameBits(want[static_cast<size_t>(m)], got[static_cast<size_t>(m)]) ||
           !SameBits(want[static_cast<size_t>(nw + m)], got[static_cast<size_t>(ng + m)]);
  };
  // Runs of points that differ: one point off puts every point after it off as well.
  for (int64_t m = 0; m < n; ++m) {
    if (!differs(m)) continue;
    int64_t e = m;
    while (e + 1 < n && differs(e + 1)) ++e;
    add((e == m ? "point " + Num(m) : "points " + Num(m) + " to " + Num(e)) + ": the first is " +
        PointText(want[static_cast<size_t>(m)], want[static_cast<size_t>(nw + m)]) + " in the file, " +
        PointText(got[static_cast<size_t>(m)], got[static_cast<size_t>(ng + m)]) + " from the texts");
    m = e;
  }
}

// Limit markers that the compile does not place itself are code reductions. Those of
// another speed than the compile's 180 km/h certainly are. Of the others, first those that
// the compile of the texts leaves out are added, until none is left out; then, where the
// limit markers still differ, the code reductions near the first difference are changed
// one at a time, for as long as that moves the first difference on or makes fewer; when
// that ends short of the file, the same search is made from the certain ones alone. The
// pass places its markers from the start of the line on, each where the cells before
// leave room, so a difference is mended from the first on. The search compiles the track
// file alone: the line data file does not depend on the train text.
std::set<int64_t> CodeLimits(const Model& m, const std::string& route, const std::string& scenario,
                             const std::string& train) {
  std::set<int64_t> limits;
  for (int64_t k = 0; k <= m.last; ++k) {
    const TrackCell& c = m.cells[static_cast<size_t>(k)];
    if (c.cellType == kCellLimitMarker && c.value1 > 0 && c.value1 != 180) limits.insert(k);
  }
  const std::set<int64_t> sure = limits;
  auto track_of = [&](const std::set<int64_t>& with, std::vector<TrackCell>* got) {
    CompiledTexts c = CompileTexts(route, TextBytes(TrainText(m, with)), scenario, train, false);
    std::string err;
    return c.failure.empty() && DecodeTrack(c.files.track, got, &err) && got->size() == m.cells.size();
  };
  auto marker = [](const TrackCell& c) { return c.cellType == kCellLimitMarker; };
  auto same = [](const TrackCell& a, const TrackCell& b) {
    return a.cellType == b.cellType && a.value1 == b.value1 && a.value2 == b.value2 && a.value3 == b.value3 &&
           a.value4 == b.value4 && a.value5 == b.value5;
  };
  auto candidate = [&](int64_t k) {
    return k >= 0 && k <= m.last && marker(m.cells[static_cast<size_t>(k)]) && m.cells[static_cast<size_t>(k)].value1 > 0;
  };
  std::vector<TrackCell> got;
  for (int round = 0; round < 8; ++round) {
    if (!track_of(limits, &got)) return limits;
    bool added = false;
    for (int64_t k = 0; k <= m.last; ++k) {
      const TrackCell& want = m.cells[static_cast<size_t>(k)];
      if (candidate(k) && !limits.count(k) && !(marker(got[static_cast<size_t>(k)]) && same(got[static_cast<size_t>(k)], want))) {
        limits.insert(k);
        added = true;
      }
    }
    if (!added) break;
  }
  // The first cell where a limit marker differs, how many do, and whether the compile
  // records a fault (the cell of a fault of the pass stands for the first difference when
  // none is left).
  struct Measure {
    int64_t first = 0, count = 0;
    bool fault = false;
    int64_t focus = 0;
    bool Done(int64_t end) const { return first == end && !fault; }
    bool Better(const Measure& o) const {
      if (first != o.first) return first > o.first;
      if (count != o.count) return count < o.count;
      return !fault && o.fault;
    }
  };
  auto measure = [&](const std::set<int64_t>& with, Measure* out) {
    CompiledTexts c = CompileTexts(route, TextBytes(TrainText(m, with)), scenario, train, false);
    std::vector<TrackCell> cells;
    std::string err;
    if (!c.failure.empty() || !DecodeTrack(c.files.track, &cells, &err) || cells.size() != m.cells.size())
      return false;
    *out = Measure{m.last + 1, 0, c.errorCode != 0, 0};
    for (int64_t k = m.last; k >= 0; --k) {
      const TrackCell& a = m.cells[static_cast<size_t>(k)];
      const TrackCell& b = cells[static_cast<size_t>(k)];
      if ((marker(a) || marker(b)) && !same(a, b)) {
        out->first = k;
        ++out->count;
      }
    }
    out->focus = out->first <= m.last ? out->first : c.errorPosition / 50;
    return true;
  };
  auto search = [&](std::set<int64_t> with, Measure* now) {
    if (!measure(with, now)) return with;
    for (int64_t round = 0; round <= 2 * m.last && !now->Done(m.last + 1); ++round) {
      Measure best = *now;
      std::set<int64_t> best_limits = with;
      // The pass looks back up to 20 cells (before a slowdown start) and forward 8 cells
      // at a time (through a slowdown).
      for (int64_t k = now->focus - 20; k <= now->focus + 3; ++k) {
        if (!candidate(k)) continue;
        std::set<int64_t> trial = with;
        if (!trial.erase(k)) trial.insert(k);
        Measure m2;
        if (measure(trial, &m2) && m2.Better(best)) {
          best = m2;
          best_limits = std::move(trial);
        }
      }
      if (!best.Better(*now)) break;
      *now = best;
      with = std::move(best_limits);
    }
    return with;
  };
  Measure after_bulk, one_by_one;
  std::set<int64_t> found = search(limits, &after_bulk);
  if (after_bulk.Done(m.last + 1)) return found;
  std::set<int64_t> other = search(sure, &one_by_one);
  return one_by_one.Better(after_bulk) ? other : found;
}

}  // namespace

CompiledTexts CompileTexts(const std::string& route, const std::string& train, const std::string& scenario,
                           const std::string& trainNumber, bool lineData) {
  TextFolder folder;
  Form1 form;
  form.run.fs = &folder;
  form.run.folder = "texts";
  form.run.separator = '/';
  form.run.deleteSources = false;
  form.ScenarioName = scenario;
  form.TrainNumber = trainNumber;
  folder.files[ScenarioFilePath(form, ScenarioFile::kRouteSource)] = route;
  folder.files[ScenarioFilePath(form, ScenarioFile::kTrainSource)] = train;
  CompiledTexts result;
  int32_t j = lineData ? 1 : 0;
  try {
    memorizza_percorso(form, j, BinaryFiles::kWrite);
  } catch (const std::exception& e) {
    result.failure = e.what();
    return result;
  }
  result.errorCode = form.ErrorCode;
  result.errorPosition = form.ErrorPosition;
  auto take = [&](ScenarioFile f) { return folder.files[ScenarioFilePath(form, f)]; };
  result.files.track = take(ScenarioFile::kTrack);
  result.files.settings = take(ScenarioFile::kTrainSettings);
  if (lineData) result.files.lineData = take(ScenarioFile::kLineData);
  return result;
}

std::string TextBytes(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

std::vector<FileDifference> CompareBinaries(const ScenarioBinaries& want, const ScenarioBinaries& got) {
  std::vector<FileDifference> out;
  CompareLine(want.lineData, got.lineData, &out);
  if (want.settings != got.settings) CompareSettings(want.settings, got.settings, &out);
  if (want.track != got.track) CompareTrack(want.track, got.track, &out);
  return out;
}

bool Decompile(const ScenarioBinaries& files, const std::string& scenario, const std::string& trainNumber,
               Decompiled* out, std::string* err) {
  Model m;
  if (!DecodeTrack(files.track, &m.cells, err)) return false;
  if (m.cells.size() < 3) {
    *err = "the track file holds " + Num(static_cast<int64_t>(m.cells.size())) + " cells, too few for a line";
    return false;
  }
  if (!DecodeTrainSettings(files.settings, &m.rows, err)) return false;
  m.rows.resize(kStationRows);
  out->storedScenario = m.rows[kRowLine].name;
  out->storedTrain = m.rows[kRowSignals].name;
  if (files.lineData) {
    if (!DecodeLineData(*files.lineData, &m.elements, err)) return false;
    m.hasLine = m.elements.size() >= 4;
  }
  m.last = static_cast<int64_t>(m.cells.size()) - 1;
  // The route length as read is kept in row 84; the number of cells (and the points of the
  // plan) say it to within 25 m.
  const int64_t stored = m.rows[kRowTrain].extentEnd;
  if (stored >= 0 && RoundDiv(stored + 7000, 50) == m.last)
    m.routeLength = stored;
  else if (m.hasLine && RoundDiv(m.LastPoint(), 50) == m.last)
    m.routeLength = m.LastPoint() - 7000;
  else
    m.routeLength = 50 * m.last - 7000;

  out->routeLines = RouteText(m);
  const std::string route = TextBytes(out->routeLines);
  CompiledTexts compiled;
  auto attempt = [&]() {
    out->trainLines = TrainText(m, CodeLimits(m, route, scenario, trainNumber));
    compiled = CompileTexts(route, TextBytes(out->trainLines), scenario, trainNumber, m.hasLine);
    return compiled.failure.empty() ? CompareBinaries(files, compiled.files).size() : SIZE_MAX;
  };
  const size_t differences = attempt();
  if (differences > 0 && StationCount(m) > 0) {
    // Approach marks of stations over those of signals: the signals first.
    const std::vector<std::string> stations_first = out->trainLines;
    const CompiledTexts kept = compiled;
    m.signalsFirst = true;
    if (attempt() >= differences) {
      out->trainLines = stations_first;
      compiled = kept;
    }
  }
  out->differences.clear();
  out->compileFaults.clear();
  if (!compiled.failure.empty()) {
    out->differences.push_back({ScenarioFile::kTrack, "the texts do not compile: " + compiled.failure});
    return true;
  }
  if (compiled.errorCode != 0)
    out->compileFaults.push_back("the texts compile with fault " + Num(compiled.errorCode) + " (position " +
                                 Num(compiled.errorPosition) + " m)");
  out->differences = CompareBinaries(files, compiled.files);
  return true;
}

}  // namespace sb
