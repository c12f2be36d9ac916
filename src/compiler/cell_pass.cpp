#include "compiler/cell_pass.h"

#include <string>

#include "model/faults.h"

namespace sb {
namespace {

constexpr int16_t kMarkerSpeed = 180;

struct CellPass {
  Form1& f;

  bool InTrack(int64_t k) const { return k >= 0 && k <= f.CellCount; }
  TrackCell& At(int64_t k) { return f.TrackCells[static_cast<size_t>(k)]; }
  // Cells outside the track are never free.
  bool Free(int64_t k) { return InTrack(k) && IsFree(At(k)); }
  int Type(int64_t k) { return InTrack(k) ? At(k).cellType : -1; }

  void PlaceMarker(int64_t k) {
    TrackCell& c = At(k);
    c.cellType = kCellLimitMarker;
    c.value1 = kMarkerSpeed;
    f.run.cellSource[static_cast<size_t>(k)] = SourceRef{};
  }

  // A limit marker already in place keeps the lower of its speed and the marker speed.
  void CapMarkerSpeed(int64_t k) {
    Variant r = minimo(Variant::Integer(kMarkerSpeed), Variant::Integer(At(k).value1));
    At(k).value1 = r.i;
  }

  SourceRef SourceOf(int64_t k) const {
    return InTrack(k) ? f.run.cellSource[static_cast<size_t>(k)] : SourceRef{};
  }

  // A fault of the pass, at the position of its cell, pointing at the line of the slowdown
  // whose cell `cause` made the pass's work.
  FaultRecord& Fault(int32_t code, int64_t cell, int64_t cause, std::string message) {
    FaultRecord& r = RecordFault(f, code, static_cast<int32_t>(cell * 50), SourceOf(cause), std::move(message));
    r.cell = static_cast<int32_t>(cell);
    return r;
  }

  // Rule 1: a limit marker before every signal within 20 cells before a warning point.
  void MarkBeforeWarningPoint(int64_t i) {
    for (int64_t k = 1; k <= 20; ++k) {
      int64_t d = i - k;
      if (d < 3) break;
      if (Type(d) != kCellSignal) continue;
      if (Free(d - 1)) PlaceMarker(d - 1);
      else if (Free(d - 2)) PlaceMarker(d - 2);
      else if (Type(d - 1) == kCellLimitMarker) CapMarkerSpeed(d - 1);
      else if (Type(d - 2) == kCellLimitMarker) CapMarkerSpeed(d - 2);
      else {
        FaultRecord& r =
            Fault(11, d, i, "no room for a limit marker before the signal in " + CellAt(d) +
                                ", which precedes the slowdown warning point in " + CellAt(i) + ": cells " +
                                std::to_string(d - 1) + " and " + std::to_string(d - 2) + " hold " +
                                DescribeOccupant(f, d - 1) + " and " + DescribeOccupant(f, d - 2));
        if (SourceOf(d).file != SourceFile::kNone)
          r.notes.push_back(DiagnosticNote{SourceOf(d), "the signal in " + CellAt(d) + " was placed here"});
      }
    }
  }

  // Rule 2: markers before a slowdown start, through a slow slowdown, and before the
  // first signal after its end.
  void MarkAroundSlowdown(int64_t i) {
    static const int kWindows[3][3] = {{5, 6, 7}, {11, 12, 13}, {18, 19, 20}};
    for (const auto& w : kWindows) {
      if (i <= w[2]) continue;
      bool placed = false;
      for (int off : w) {
        if (Free(i - off)) {
          PlaceMarker(i - off);
          placed = true;
          break;
        }
      }
      if (!placed)
        Fault(12, i, i, "no free cell among cells " + std::to_string(i - w[0]) + ", " +
                            std::to_string(i - w[1]) + ", " + std::to_string(i - w[2]) +
                            " for a limit marker before the slowdown start in " + CellAt(i));
    }
    if (At(i).value1 >= 110) return;
    int64_t m = 0, k = i;
    for (;;) {
      ++k;
      ++m;
      if (m == 8) {
        if (Free(k)) { PlaceMarker(k); m = 0; }
        else if (Free(k - 1)) { PlaceMarker(k - 1); m = 1; }
        else if (Free(k + 1)) { PlaceMarker(k + 1); m = -1; }
        else
          Fault(13, k, i, "no room for a limit marker in the slowdown from cell " + std::to_string(i) +
                           " near cell " + std::to_string(k) + " (cells " + std::to_string(k - 1) +
                           " to " + std::to_string(k + 1) + " are taken)");
      }
      if (Type(k) == kCellSlowdownEnd || k >= f.CellCount) break;
    }
    m = 0;
    int64_t last = std::min<int64_t>(k + 12, f.CellCount);
    for (int64_t n = k; n <= last; ++n) {
      if (Type(n) == kCellSignal) {
        m = n - 1;
        break;
      }
    }
    if (m > 0) {
      if (Free(m)) PlaceMarker(m);
      else if (Free(m - 1)) PlaceMarker(m - 1);
      else
        Fault(13, k, i, "no room for a limit marker before the first signal after the slowdown "
                     "ending in cell " + std::to_string(k) + " (cells " + std::to_string(m) +
                     " and " + std::to_string(m - 1) + " are taken)");
    }
  }

  void Run() {
    for (int64_t i = 1; i <= static_cast<int64_t>(f.CellCount) - 2; ++i) {
      if (At(i).cellType == kCellSlowdownWarning) MarkBeforeWarningPoint(i);
      if (At(i).cellType == kCellSlowdownStart) MarkAroundSlowdown(i);
    }
  }
};

}  // namespace

Variant minimo(const Variant& x, const Variant& y) {
  return x.AsDouble() > y.AsDouble() ? y : x;
}

void RunCellPass(Form1& form) { CellPass{form}.Run(); }

}  // namespace sb
