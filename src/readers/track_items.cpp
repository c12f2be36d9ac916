#include "readers/track_items.h"

#include <string>

#include "model/faults.h"
#include "model/rounding.h"

namespace sb {
namespace {

// Cell of a point item at position q: q / 50 + 1, rounded.
int64_t PointCell(int64_t q) { return RoundDiv(q + 50, 50); }

// "cell k, which holds ..." for a refusal.
std::string CellAndOccupant(const Form1& form, int64_t k) {
  return CellAt(k) + ", which holds " + DescribeOccupant(form, k);
}

}  // namespace

void memo_segnale(Form1& form, int32_t posizione, int32_t sx, int32_t s1, int32_t s2,
                  int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                  int32_t tempo, SourceRef where) {
  int64_t i = PointCell(posizione);
  TrackCell& c = form.Cell(i);
  if (!IsFree(c)) {
    NoteOccupant(form,
                 RecordFault(form, 16, std::nullopt, where,
                             "the signal at " + std::to_string(posizione) + " m needs " + CellAndOccupant(form, i)),
                 i);
    return;
  }
  auto low16 = [](int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); };
  PlaceCell(form, c, kCellSignal, where);
  c.value4 = low16(int64_t{rapp} * 10 + int64_t{sx} * 3 + dx);
  c.value1 = low16(int64_t{s1} * 10 + d1);
  c.value2 = low16(int64_t{s2} * 10 + d2);
  c.value3 = low16(int64_t{s3} * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  c.value5 = sx == 2 ? static_cast<uint8_t>(tempo) : 0;
  for (int k = 1; k <= 4; ++k)
    form.Cell(i - 2 * k).approachMark = static_cast<uint8_t>(int64_t{sx} * 30 + int64_t{dx} * 10 + k);
}

void memo_rallentamento(Form1& form, int32_t posizione, int32_t v, int32_t l, int32_t f_tt,
                        int32_t f_ta, int32_t d_v, SourceRef where) {
  const int64_t pos = posizione;
  const int64_t s = PointCell(pos);
  const int64_t e = PointCell(pos + l);
  const bool warning = pos > 1500;
  const int64_t w = warning ? PointCell(pos - 1200) : 0;
  if (!warning) f_ta = 0;
  const std::string at = "the slowdown at " + std::to_string(posizione) + " m";
  if (warning && !IsFree(form.Cell(w))) {
    NoteOccupant(form,
                 RecordFault(form, 17, std::nullopt, where,
                             at + " has its warning point 1200 m before in " + CellAndOccupant(form, w)),
                 w);
    return;
  }
  if (!IsFree(form.Cell(s))) {
    NoteOccupant(form, RecordFault(form, 18, std::nullopt, where, at + " starts in " + CellAndOccupant(form, s)), s);
    return;
  }
  if (!IsFree(form.Cell(e))) {
    NoteOccupant(form, RecordFault(form, 19, std::nullopt, where, at + " ends in " + CellAndOccupant(form, e)), e);
    return;
  }
  auto low16 = [](int64_t x) { return static_cast<int16_t>(static_cast<uint16_t>(x)); };
  TrackCell& ce = form.Cell(e);
  PlaceCell(form, ce, kCellSlowdownEnd, where);
  if (d_v != 0) ce.value2 = low16(d_v);
  TrackCell& cs = form.Cell(s);
  PlaceCell(form, cs, kCellSlowdownStart, where);
  if (d_v != 0) cs.value2 = low16(d_v);
  if (warning) {
    TrackCell& cw = form.Cell(w);
    PlaceCell(form, cw, kCellSlowdownWarning, where);
    if (d_v != 0) cw.value2 = low16(d_v);
    cw.value1 = low16(v);
  }
  cs.value1 = low16(v);
  cs.value3 = low16(f_tt);
  ce.value1 = low16(v);
  ce.value3 = low16(f_tt);
  if (f_ta != 0) {
    const int64_t p = RoundDiv(pos - 1200, 50);
    for (int k = 0; k <= 3; ++k) {
      if (!IsFree(form.Cell(p - k))) {
        NoteOccupant(form,
                     RecordFault(form, 20, std::nullopt, where,
                                 at + " has its pre-announcement in " + CellAndOccupant(form, p - k)),
                     p - k);
        return;
      }
    }
    for (int k = 0; k <= 3; ++k) {
      TrackCell& cp = form.Cell(p - k);
      PlaceCell(form, cp, kCellSlowdownPreannounce, where);
      cp.value1 = static_cast<int16_t>(k + 1);
      if (d_v != 0) cp.value2 = static_cast<int16_t>(k + 1);
    }
  }
}

}  // namespace sb
