// Plan of the line: two coordinates per metre, each a tagged value.
#pragma once

#include <cstdint>
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

// Metre index varies fastest: all x values, then all y values.
class LineGrid {
 public:
  bool Exists() const { return !values_.empty(); }
  int32_t LastPoint() const { return last_; }
  void Create(int32_t last_point) {
    last_ = last_point;
    values_.assign(2 * (static_cast<size_t>(last_point) + 1), Variant());
  }
  void Clear() { values_.clear(); values_.shrink_to_fit(); last_ = -1; }
  Variant& At(int32_t metre, int component) {
    return values_[static_cast<size_t>(component) * (static_cast<size_t>(last_) + 1) + metre];
  }
  const Variant& At(int32_t metre, int component) const {
    return values_[static_cast<size_t>(component) * (static_cast<size_t>(last_) + 1) + metre];
  }
  const std::vector<Variant>& Values() const { return values_; }

 private:
  int32_t last_ = -1;
  std::vector<Variant> values_;
};

}  // namespace sb
