#include "authoring/settings_rows.h"

#include <cstdio>

namespace sb {
namespace {

bool NumbersCleared(const StationRecord& r) {
  return r.kind == 0 && r.extentStart == 0 && r.extentEnd == 0 && r.position == 0 &&
         r.stationFlag1 == 0 && r.stationValue1 == 0 && r.stationValue2 == 0 &&
         r.stationValue3 == 0 && r.stationValue4 == 0 && r.stationValue5 == 0 &&
         r.stationFlag4 == 0 && r.stationFlag5 == 0 && r.stationFlag3 == 0 &&
         r.stationFlag2 == 0 && r.timetableSeconds == 0;
}

std::string N(int64_t v) { return std::to_string(v); }

// Columns 4 to 13 of a station line, in the order of the train text.
std::string StationColumns(const StationRecord& r) {
  const int64_t cols[] = {r.stationFlag1,  r.stationFlag2,  r.stationFlag3, r.stationValue1,
                          r.stationValue2, r.stationFlag4,  r.stationValue3, r.stationValue4,
                          r.stationValue5, r.stationFlag5};
  std::string s;
  for (int64_t c : cols) {
    if (!s.empty()) s += ' ';
    s += N(c);
  }
  return s;
}

std::string AllFields(const StationRecord& r) {
  return "kind " + N(r.kind) + ", values " + N(r.extentStart) + " " + N(r.extentEnd) + " " +
         N(r.position) + ", flag " + N(r.stationFlag1) + ", text '" + r.name + "', values " +
         N(r.stationValue1) + " " + N(r.stationValue2) + " " + N(r.stationValue3) + " " +
         N(r.stationValue4) + " " + N(r.stationValue5) + ", flags " + N(r.stationFlag4) + " " +
         N(r.stationFlag5) + " " + N(r.stationFlag3) + " " + N(r.stationFlag2) + ", time " +
         N(r.timetableSeconds);
}

std::string ClockParts(int64_t h, int64_t m, int64_t s) {
  char buf[80];
  std::snprintf(buf, sizeof buf, "%02lld:%02lld:%02lld", static_cast<long long>(h),
                static_cast<long long>(m), static_cast<long long>(s));
  return buf;
}

// "hh:mm:ss" of a time of day in seconds.
std::string ClockText(int64_t seconds) {
  if (seconds < 0) return N(seconds) + " s";
  return ClockParts(seconds / 3600, seconds / 60 % 60, seconds % 60);
}

}  // namespace

RowUse UseOfRow(const std::vector<StationRecord>& rows, size_t row) {
  const StationRecord& r = rows[row];
  bool cleared = NumbersCleared(r);
  if (cleared && r.name.empty()) return RowUse::kCleared;
  if (rows.size() != kStationRows || row == 0) return RowUse::kOther;
  if (row == kRowKmTre || row == kRowKmDue || row == kRowKmUno) return RowUse::kKmReference;
  if (row == kRowTrain) return RowUse::kTrain;
  if (row == kRowLine) return RowUse::kLine;
  if (row == kRowSignals) return RowUse::kSignals;
  return cleared ? RowUse::kBoardText : RowUse::kStation;
}

std::string DescribeRow(const std::vector<StationRecord>& rows, size_t row) {
  const StationRecord& r = rows[row];
  switch (UseOfRow(rows, row)) {
    case RowUse::kCleared:
      return "cleared";
    case RowUse::kStation:
      return "station '" + r.name + "' at " + N(r.position) + " m: kind " + N(r.kind) +
             ", extent " + N(r.extentStart) + " to " + N(r.extentEnd) + " m, timetable " +
             ClockText(r.timetableSeconds) + "; columns 4 to 13: " + StationColumns(r);
    case RowUse::kBoardText:
      return "indication board text '" + r.name + "'";
    case RowUse::kKmReference: {
      const char* which = row == kRowKmTre ? "tre" : row == kRowKmDue ? "due" : "uno";
      return std::string("kilometric reference ") + which + ": " + N(r.extentStart) + ", " +
             N(r.extentEnd) + ", " + N(r.position);
    }
    case RowUse::kTrain:
      return "train: braked mass " + N(r.extentStart) + " %, route length " + N(r.extentEnd) +
             " m, " + N(r.position) + " coaches";
    case RowUse::kLine:
      return "line '" + r.name + "': backgrounds uno " + N(r.extentStart) + ", due " +
             N(r.position) + ", tre " + N(r.extentEnd) + "; fixed value " + N(r.stationValue1) +
             "; st scenario code " + N(r.timetableSeconds);
    case RowUse::kSignals:
      return "train number '" + r.name + "': signal repetition " + N(r.extentStart) + " and " +
             N(r.extentEnd) + " m, " + N(r.position) + " codes; sand " + N(r.stationValue1) +
             "; clock " + ClockParts(r.stationValue3, r.stationValue4, r.stationValue5);
    case RowUse::kOther:
      break;
  }
  return AllFields(r);
}

}  // namespace sb
