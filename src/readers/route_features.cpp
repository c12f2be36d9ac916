#include "readers/route_features.h"

#include "model/faults.h"
#include "model/rounding.h"
#include "readers/reader_support.h"

namespace sb {

void progressive_ordina(Form1& form) {
  struct Entry { int32_t start, end, flag; };
  auto get = [&](int row) {
    const StationRecord& r = form.StationTable[row];
    return Entry{r.extentStart, r.extentEnd, r.position};
  };
  const Entry T = get(kRowKmTre), D = get(kRowKmDue), U = get(kRowKmUno);
  const Entry Z{0, 0, 0};
  Entry t = Z, d = Z, u = Z;
  int64_t sum = static_cast<int64_t>(T.start) + D.start + U.start;
  if (sum != 0) {
    if (T.start > D.start && T.start > U.start) {
      t = T;
      if (D.start > U.start) { d = D; u = U; } else { d = U; u = D; }
    } else if (D.start > T.start && D.start > U.start) {
      t = D;
      if (T.start > U.start) { d = T; u = U; } else { d = U; u = T; }
    } else if (U.start > T.start && U.start > D.start) {
      t = U;
      if (T.start > D.start) { d = T; u = D; } else { d = D; u = T; }
    }
  } else {
    if (T.end > 0) { t = T; d = D; u = U; }
    if (D.end > 0) { t = D; d = T; u = U; }
    if (U.end > 0) { t = U; d = D; u = T; }
  }
  const std::pair<int, Entry> out[] = {{kRowKmTre, t}, {kRowKmDue, d}, {kRowKmUno, u}};
  for (const auto& [row, e] : out) {
    StationRecord& r = form.StationTable[row];
    r.extentStart = e.start;
    r.extentEnd = e.end;
    r.position = e.flag;
  }
  for (const auto& [row, e] : out) {
    StationRecord& r = form.StationTable[row];
    if (r.position == 1)
      r.extentEnd = ToInt32(static_cast<int64_t>(r.extentEnd) + 100, "the kilometric value + 100");
  }
}

void memo_montagna(Form1& form, int32_t& inizio, int32_t& fine, int32_t& tipo, SourceRef where) {
  bool markers = false;
  if (tipo > 10) {
    tipo -= 10;
    markers = true;
  }
  int32_t n = ++form.MountainCount;
  if (static_cast<size_t>(n) >= form.MountainStarts.size()) {
    form.MountainStarts.resize(static_cast<size_t>(n) + 1, 0);
    form.MountainEnds.resize(static_cast<size_t>(n) + 1, 0);
  }
  form.MountainStarts[n] = inizio;
  form.MountainEnds[n] = fine;
  if (n > 1 && static_cast<int64_t>(inizio) - form.MountainEnds[n - 1] <= 150) tipo = 3;
  int64_t first = RoundDiv(inizio, 50);
  int64_t last = RoundDiv(static_cast<int64_t>(fine) - 50, 50);
  if (last > form.CellCount) last = form.CellCount;  // cut at the end of the track
  int64_t count = 0;
  for (int64_t k = first; k <= last; ++k) {
    TrackCell& c = form.Cell(k);
    ++count;
    c.mountain = static_cast<uint8_t>(tipo);
    if (markers && count % 4 == 0 && c.cellType == kCellEmpty) {
      c.cellType = kCellMountainMarker;
      form.run.cellSource[static_cast<size_t>(k)] = where;
    }
  }
}

void memo_indicatori_v_max(Form1& form, int32_t posizione, int32_t& vas, int32_t& vbs,
                           int32_t& vcs, int32_t& strisces, int32_t& vad, int32_t& vbd,
                           int32_t& vcd, int32_t& strisced, SourceRef where) {
  int64_t k = RoundDiv(static_cast<int64_t>(posizione) + 50, 50);
  TrackCell& c = form.Cell(k);
  if (!IsFree(c)) {
    NoteOccupant(form,
                 RecordFault(form, 21, std::nullopt, where,
                             "the speed indicator boards at " + std::to_string(posizione) + " m need " +
                                 CellAt(k) + ", which holds " + DescribeOccupant(form, k)),
                 k);
    return;
  }
  PlaceCell(form, c, kCellSpeedBoards, where);
  // v × 20 + w / 5, rounded: (100 v + w) / 5.
  auto pack = [](int32_t a, int32_t b) { return RoundDiv(100 * static_cast<int64_t>(a) + b, 5); };
  c.value1 = ToInt16(pack(vas, vad), "the packed board value");
  c.value2 = ToInt16(pack(vbs, vbd), "the packed board value");
  c.value3 = ToInt16(pack(vcs, vcd), "the packed board value");
  c.value4 = static_cast<int16_t>(
      static_cast<uint16_t>(static_cast<int64_t>(strisces) * 10 + strisced));
}

}  // namespace sb
