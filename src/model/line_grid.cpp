#include "model/line_grid.h"

namespace sb {

void LineGrid::Create(int32_t last_point) {
  Clear();
  last_ = last_point < 0 ? -1 : last_point;
}

void LineGrid::Clear() {
  last_ = -1;
  start_[0][0] = start_[0][1] = start_[1][0] = start_[1][1] = Variant();
  runs_.clear();
  runs_.shrink_to_fit();
  laid_out_ = false;
  values_.clear();
  values_.shrink_to_fit();
}

void LineGrid::Start(Variant x0, Variant y0, Variant x1, Variant y1) {
  if (laid_out_ || !runs_.empty()) {
    if (last_ >= 0) {
      At(0, 0) = x0;
      At(0, 1) = y0;
    }
    if (last_ >= 1) {
      At(1, 0) = x1;
      At(1, 1) = y1;
    }
    return;
  }
  start_[0][0] = x0;
  start_[0][1] = y0;
  start_[1][0] = x1;
  start_[1][1] = y1;
}

void LineGrid::Steps(int32_t first, int32_t last, double c) {
  if (first < 2) first = 2;
  if (last > last_) last = last_;  // never past the last point
  if (first > last) return;
  if (!laid_out_ && first == NextStep()) {
    if (!runs_.empty() && runs_.back().c == c)
      runs_.back().last = last;
    else
      runs_.push_back(Run{first, last, c});
    return;
  }
  // Steps that do not continue the plan: point by point.
  LayOut();
  for (int32_t i = first; i <= last; ++i) {
    double x, y;
    PlanStep(At(i - 2, 0).AsDouble(), At(i - 2, 1).AsDouble(), At(i - 1, 0).AsDouble(),
             At(i - 1, 1).AsDouble(), c, &x, &y);
    At(i, 0) = Variant::Double(x);
    At(i, 1) = Variant::Double(y);
  }
}

LineGrid::TagCounts LineGrid::CountTags() const {
  TagCounts n;
  auto count = [&](const Variant& v) {
    if (v.tag == Variant::kInteger) ++n.integer;
    else if (v.tag == Variant::kDouble) ++n.real;
    else ++n.empty;
  };
  if (laid_out_) {
    for (const Variant& v : values_) count(v);
    return n;
  }
  if (last_ < 0) return n;
  size_t stepped = 0;
  for (const Run& r : runs_) stepped += static_cast<size_t>(r.last - r.first + 1);
  const int32_t head = last_ < 1 ? last_ + 1 : 2;
  for (int comp = 0; comp < 2; ++comp) {
    for (int32_t m = 0; m < head; ++m) count(start_[m][comp]);
    n.real += stepped;
    n.empty += static_cast<size_t>(last_ + 1 - head) - stepped;
  }
  return n;
}

void LineGrid::LayOut() const {
  if (laid_out_) return;
  std::vector<Variant> values;
  if (last_ >= 0) {
    values.reserve(2 * (static_cast<size_t>(last_) + 1));
    ForEachElement([&](const Variant& v) { values.push_back(v); });
  }
  values_ = std::move(values);
  laid_out_ = true;
}

}  // namespace sb
