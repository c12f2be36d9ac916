// Plan of the line: two coordinates per metre, each a tagged value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

namespace sb {

// Tagged value: the tag travels into the line data file.
struct Variant {
  enum Tag : uint16_t { kEmpty = 0, kInteger = 2, kDouble = 5 };
  Tag tag = kEmpty;
  int16_t i = 0;
  double d = 0.0;

  static Variant Integer(int16_t v) { Variant r; r.tag = kInteger; r.i = v; return r; }
  static Variant Double(double v) { Variant r; r.tag = kDouble; r.d = v; return r; }
  double AsDouble() const { return tag == kInteger ? i : tag == kDouble ? d : 0.0; }
};

// One step of the plan: point i from points i - 1 = (x1, y1) and i - 2 = (x0, y0). With
// d = P(i - 1) - P(i - 2), P(i) = P(i - 1) + d on a straight step (c = 0), and
// P(i) = P(i - 1) + (d.x + c d.y, d.y - c d.x) on a curved one.
template <bool kCurved>
inline void PlanStepOf(double x0, double y0, double x1, double y1, double c, double* x, double* y) {
  double dx = x1 - x0;
  double dy = y1 - y0;
  if constexpr (kCurved) {
    double nx = dx + c * dy;
    double ny = dy - c * dx;
    *x = x1 + nx;
    *y = y1 + ny;
  } else {
    *x = x1 + dx;
    *y = y1 + dy;
  }
}

inline void PlanStep(double x0, double y0, double x1, double y1, double c, double* x, double* y) {
  if (c != 0.0)
    PlanStepOf<true>(x0, y0, x1, y1, c, x, y);
  else
    PlanStepOf<false>(x0, y0, x1, y1, c, x, y);
}

// Metre index varies fastest: all x values, then all y values.
//
// The route reader builds the plan as its first two points and the runs of steps that
// follow, not point by point: the points are worked out again, in order, when the line
// data file is written. Stored one by one they would take 16 bytes each, 12 MB for the
// built-in line, and taking that much fresh memory costs more than writing the files.
// At() and Values() give the points one by one; their first call lays the whole grid out
// in memory, and from then on the grid is kept point by point.
class LineGrid {
 public:
  bool Exists() const { return last_ >= 0; }
  int32_t LastPoint() const { return last_; }
  // Points 0 to last_point, all empty.
  void Create(int32_t last_point);
  void Clear();

  // Sets points 0 and 1, those of them that the grid has.
  void Start(Variant x0, Variant y0, Variant x1, Variant y1);
  // Steps points first to last with curvature c, each from the two points before it;
  // c = 0 for straight steps. Points before 2 or after LastPoint() are not stepped.
  void Steps(int32_t first, int32_t last, double c);

  Variant& At(int32_t metre, int component) {
    LayOut();
    return values_[Index(metre, component)];
  }
  const Variant& At(int32_t metre, int component) const {
    LayOut();
    return values_[Index(metre, component)];
  }
  const std::vector<Variant>& Values() const {
    LayOut();
    return values_;
  }

  // How many elements carry each tag, counted without laying out the grid.
  struct TagCounts {
    size_t empty = 0, integer = 0, real = 0;
  };
  TagCounts CountTags() const;

  // Calls f(const Variant&) for every element in storage order, without laying out the grid.
  template <class F>
  void ForEachElement(F&& f) const;

 private:
  struct Run {
    int32_t first, last;
    double c;
  };

  size_t Index(int32_t metre, int component) const {
    return static_cast<size_t>(component) * (static_cast<size_t>(last_) + 1) +
           static_cast<size_t>(metre);
  }
  int32_t NextStep() const { return runs_.empty() ? 2 : runs_.back().last + 1; }
  void LayOut() const;

  int32_t last_ = -1;
  // The plan while laid_out_ is false: points 0 and 1, then runs_ from point 2 on, one
  // after the other; the points after the last run are empty.
  Variant start_[2][2];  // [metre][component]
  std::vector<Run> runs_;
  // The points one by one, once laid out.
  mutable bool laid_out_ = false;
  mutable std::vector<Variant> values_;
};

template <class F>
void LineGrid::ForEachElement(F&& f) const {
  if (laid_out_) {
    for (const Variant& v : values_) f(v);
    return;
  }
  if (last_ < 0) return;
  const Variant empty;
  for (int comp = 0; comp < 2; ++comp) {
    int32_t m = 0;
    for (; m <= last_ && m < 2; ++m) f(start_[m][comp]);
    double x0 = start_[0][0].AsDouble(), y0 = start_[0][1].AsDouble();
    double x1 = start_[1][0].AsDouble(), y1 = start_[1][1].AsDouble();
    for (const Run& r : runs_) {
      // One loop per kind of step and coordinate, without tests inside.
      const int32_t last = r.last;
      const double c = r.c;
      auto walk = [&](auto curved, auto y_block) {
        for (int32_t i = r.first; i <= last; ++i) {
          double x, y;
          PlanStepOf<decltype(curved)::value>(x0, y0, x1, y1, c, &x, &y);
          x0 = x1;
          y0 = y1;
          x1 = x;
          y1 = y;
          f(Variant::Double(decltype(y_block)::value ? y : x));
        }
      };
      if (c != 0.0)
        comp == 0 ? walk(std::true_type{}, std::false_type{}) : walk(std::true_type{}, std::true_type{});
      else
        comp == 0 ? walk(std::false_type{}, std::false_type{}) : walk(std::false_type{}, std::true_type{});
      m = last + 1;
    }
    for (; m <= last_; ++m) f(empty);
  }
}

}  // namespace sb
